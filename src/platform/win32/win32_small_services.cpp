#include "platform/win32/win32_small_services.h"

#include <windows.h>

#include "platform/win32/main_window_ids.h"

namespace vt2::win32 {

void Win32MessageBoxes::showMessage(const std::string& text) {
    MessageBoxA(nullptr, text.c_str(), kMainWindowCaption, MB_OK);
}

std::int16_t Win32KeyboardState::asyncKeyState(int virtualKey) { return GetAsyncKeyState(virtualKey); }

Win32UserLocale::Win32UserLocale() {
    char separator[8] = {};
    if (GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, separator, sizeof separator) >= 2) separator_ = separator[0];
}

}  // namespace vt2::win32
