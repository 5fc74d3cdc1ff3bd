#pragma once

#include "platform/synthetic_input.h"

namespace vt2::win32 {

class Win32SyntheticInput final : public SyntheticInput {
public:
    ScreenSize primaryScreenSize() override;
    void setCursorPosition(int x, int y) override;
    std::optional<CursorPoint> cursorPosition() override;
    void confineCursor(const std::optional<PixelRect>& rect) override;
    void mouseEvent(std::uint32_t flags) override;
    std::uint32_t scanCodeOf(std::uint32_t virtualKey) override;
    void keyEvent(std::uint8_t virtualKey, std::uint8_t scanCode, std::uint32_t flags) override;
};

}  // namespace vt2::win32
