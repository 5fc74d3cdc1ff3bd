#include "adapters/win32/win32_synthetic_input.h"

#include <windows.h>

namespace vt2::win32 {

ScreenSize Win32SyntheticInput::primaryScreenSize() {
    return {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

void Win32SyntheticInput::setCursorPosition(int x, int y) { SetCursorPos(x, y); }

void Win32SyntheticInput::mouseEvent(std::uint32_t flags) { mouse_event(flags, 0, 0, 0, kSyntheticInputTag); }

std::uint32_t Win32SyntheticInput::scanCodeOf(std::uint32_t virtualKey) { return MapVirtualKeyA(virtualKey, 0); }

void Win32SyntheticInput::keyEvent(std::uint8_t virtualKey, std::uint8_t scanCode, std::uint32_t flags) {
    keybd_event(virtualKey, scanCode, flags, 0);
}

}  // namespace vt2::win32
