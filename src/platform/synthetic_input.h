#pragma once
// Input this program makes for the game: the system cursor, system mouse buttons and key events.

#include <cstdint>
#include <optional>

#include "platform/desktop_rect.h"

namespace vt2 {

// The extra information that marks the mouse events this program makes itself, so that its own
// raw input can tell them from a player's ("VT2" in ASCII).
inline constexpr std::uint32_t kSyntheticInputTag = 0x00325456;

struct CursorPoint {
    int x = 0, y = 0;
    bool operator==(const CursorPoint&) const = default;
};

struct ScreenSize {
    int width;
    int height;
};

class SyntheticInput {
public:
    virtual ~SyntheticInput() = default;
    virtual ScreenSize primaryScreenSize() = 0;
    virtual void setCursorPosition(int x, int y) = 0;
    // Where the system cursor is now; none when the system will not say.
    virtual std::optional<CursorPoint> cursorPosition() = 0;
    // Keeps the system cursor inside the rectangle (none: free again).
    virtual void confineCursor(const std::optional<PixelRect>& rect) = 0;
    // A system mouse event with these flags, no motion or data, tagged kSyntheticInputTag.
    virtual void mouseEvent(std::uint32_t flags) = 0;
    // The scan code of a virtual key.
    virtual std::uint32_t scanCodeOf(std::uint32_t virtualKey) = 0;
    // A key event as if typed: flags 0 presses, 0x0002 releases.
    virtual void keyEvent(std::uint8_t virtualKey, std::uint8_t scanCode, std::uint32_t flags) = 0;
};

}  // namespace vt2
