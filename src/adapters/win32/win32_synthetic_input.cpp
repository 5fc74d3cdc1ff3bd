#include "adapters/win32/win32_synthetic_input.h"

#include <windows.h>

namespace vt2::win32 {

ScreenSize Win32SyntheticInput::primaryScreenSize() {
    return {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

// A move made as input, tagged as this program's own, rather than SetCursorPos: under Wine a
// SetCursorPos comes back through raw input as a move of the player's mouse by the jump, which
// would move the aim it was made from; a tagged move comes back tagged, and the mice leave it.
void Win32SyntheticInput::setCursorPosition(int x, int y) {
    const int left = GetSystemMetrics(SM_XVIRTUALSCREEN), top = GetSystemMetrics(SM_YVIRTUALSCREEN);
    const int width = GetSystemMetrics(SM_CXVIRTUALSCREEN), height = GetSystemMetrics(SM_CYVIRTUALSCREEN);
    if (width <= 0 || height <= 0) {
        SetCursorPos(x, y);
        return;
    }
    // The system puts a normalised n on pixel (n * size) / 65536: the smallest n of the pixel.
    auto normalised = [](int offset, int size) {
        const long long n = (static_cast<long long>(offset) * 65536 + size - 1) / size;
        return static_cast<LONG>(n < 0 ? 0 : (n > 65535 ? 65535 : n));
    };
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = normalised(x - left, width);
    input.mi.dy = normalised(y - top, height);
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_VIRTUALDESK;
    input.mi.dwExtraInfo = kSyntheticInputTag;
    // Input the system refuses (a desktop that takes none) still gets the cursor where it belongs.
    if (SendInput(1, &input, sizeof input) != 1) SetCursorPos(x, y);
}

std::optional<CursorPoint> Win32SyntheticInput::cursorPosition() {
    POINT at{};
    if (!GetCursorPos(&at)) return std::nullopt;
    return CursorPoint{at.x, at.y};
}

void Win32SyntheticInput::confineCursor(const std::optional<PixelRect>& rect) {
    if (!rect) {
        ClipCursor(nullptr);
        return;
    }
    const RECT clip{rect->left, rect->top, rect->right, rect->bottom};
    ClipCursor(&clip);
}

void Win32SyntheticInput::mouseEvent(std::uint32_t flags) { mouse_event(flags, 0, 0, 0, kSyntheticInputTag); }

std::uint32_t Win32SyntheticInput::scanCodeOf(std::uint32_t virtualKey) { return MapVirtualKeyA(virtualKey, 0); }

void Win32SyntheticInput::keyEvent(std::uint8_t virtualKey, std::uint8_t scanCode, std::uint32_t flags) {
    keybd_event(virtualKey, scanCode, flags, 0);
}

}  // namespace vt2::win32
