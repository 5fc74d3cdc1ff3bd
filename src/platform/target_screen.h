#pragma once
// A borderless window over one monitor, above every other window, that shows a target, a line of
// text and a mark where a device points: where a gun is calibrated.

#include <optional>
#include <string>

#include "platform/desktop_rect.h"

namespace vt2 {

struct DesktopPixel {
    int x = 0, y = 0;
    bool operator==(const DesktopPixel&) const = default;
};

// What the window shows, at pixels of the desktop.
struct TargetScreenView {
    std::optional<DesktopPixel> target;
    std::optional<DesktopPixel> mark;
    std::string text;
    bool operator==(const TargetScreenView&) const = default;
};

class TargetScreenKeys {
public:
    virtual ~TargetScreenKeys() = default;
    virtual void escapePressed() = 0;
    virtual void enterPressed() = 0;
};

class TargetScreen {
public:
    virtual ~TargetScreen() = default;
    // Covers the monitor and takes the keyboard; the keys go to keys until it is closed.
    virtual void open(const PixelRect& monitor, TargetScreenKeys& keys) = 0;
    virtual void show(const TargetScreenView& view) = 0;
    virtual void close() = 0;
};

}  // namespace vt2
