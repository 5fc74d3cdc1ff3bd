#include "adapters/win32/win32_small_services.h"

#include <windows.h>

#include "adapters/win32/main_window_ids.h"

namespace vt2::win32 {

HWND Win32MessageBoxes::owner() const {
    if (ownerOf_) {
        if (HWND window = ownerOf_()) return window;
    }
    return GetActiveWindow();
}

void Win32MessageBoxes::showMessage(const std::string& text) {
    MessageBoxA(owner(), text.c_str(), kMainWindowCaption, MB_OK);
}

MessageAnswer Win32MessageBoxes::ask(const std::string& text, const std::string& title, MessageButtons buttons,
                                     MessageIcon icon) {
    UINT style = buttons == MessageButtons::YesNo ? MB_YESNO : MB_OK;
    if (icon == MessageIcon::Information) style |= MB_ICONINFORMATION;
    if (icon == MessageIcon::Exclamation) style |= MB_ICONEXCLAMATION;
    const int answer = MessageBoxA(owner(), text.c_str(), title.empty() ? kMainWindowCaption : title.c_str(), style);
    if (answer == IDYES) return MessageAnswer::Yes;
    if (answer == IDNO) return MessageAnswer::No;
    return MessageAnswer::Ok;
}

std::int16_t Win32KeyboardState::asyncKeyState(int virtualKey) { return GetAsyncKeyState(virtualKey); }

std::int16_t Win32KeyboardState::keyState(int virtualKey) { return GetKeyState(virtualKey); }

Win32UserLocale::Win32UserLocale() {
    char separator[8] = {};
    if (GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, separator, sizeof separator) >= 2) separator_ = separator[0];
}

}  // namespace vt2::win32
