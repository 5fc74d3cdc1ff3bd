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

namespace {
// The boxes waiting for the thread's timer: one thread, one adapter that asks (the timer's
// procedure gets no pointer of its own).
Win32MessageBoxes* g_waitingBoxes = nullptr;
}  // namespace

void Win32MessageBoxes::tellLater(const std::string& text, const std::string& title, MessageIcon icon) {
    later_.push_back({text, title, icon});
    if (timer_ != 0) return;
    g_waitingBoxes = this;
    timer_ = SetTimer(nullptr, 0, 0, &Win32MessageBoxes::ShowLater);
    if (timer_ == 0) {  // no timer to be had: at once, as before
        g_waitingBoxes = nullptr;
        while (!later_.empty()) {
            const Later box = std::move(later_.front());
            later_.pop_front();
            ask(box.text, box.title, MessageButtons::Ok, box.icon);
        }
    }
}

void CALLBACK Win32MessageBoxes::ShowLater(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    Win32MessageBoxes* self = g_waitingBoxes;
    if (!self || self->timer_ != timer) return;
    self->timer_ = 0;
    g_waitingBoxes = nullptr;
    while (!self->later_.empty()) {
        const Later box = std::move(self->later_.front());
        self->later_.pop_front();
        self->ask(box.text, box.title, MessageButtons::Ok, box.icon);
    }
}

Win32MessageBoxes::~Win32MessageBoxes() {
    if (timer_ != 0) KillTimer(nullptr, timer_);
    if (g_waitingBoxes == this) g_waitingBoxes = nullptr;
}

std::int16_t Win32KeyboardState::asyncKeyState(int virtualKey) { return GetAsyncKeyState(virtualKey); }

std::int16_t Win32KeyboardState::keyState(int virtualKey) { return GetKeyState(virtualKey); }

Win32UserLocale::Win32UserLocale() {
    char separator[8] = {};
    if (GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, separator, sizeof separator) >= 2) separator_ = separator[0];
}

}  // namespace vt2::win32
