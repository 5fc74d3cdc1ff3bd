#pragma once
// A rectangle of the desktop in physical pixels. The virtual desktop's origin is the primary
// screen's top-left corner, so a monitor left of or above it has negative coordinates.

namespace vt2 {

struct PixelRect {
    int left = 0, top = 0, right = 0, bottom = 0;  // right and bottom just outside
    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool empty() const { return width() <= 0 || height() <= 0; }
    bool operator==(const PixelRect&) const = default;
};

}  // namespace vt2
