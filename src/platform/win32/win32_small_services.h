#pragma once
// The small operating-system services: message boxes, key state, the user's number format.

#include "platform/keyboard_state.h"
#include "platform/message_boxes.h"
#include "platform/user_locale.h"

namespace vt2::win32 {

class Win32MessageBoxes final : public MessageBoxes {
public:
    void showMessage(const std::string& text) override;
    MessageAnswer ask(const std::string& text, const std::string& title, MessageButtons buttons,
                      MessageIcon icon) override;
};

// GetAsyncKeyState: the keys as the whole system sees them, while the game has the focus;
// GetKeyState: as this thread's messages left them.
class Win32KeyboardState final : public KeyboardState {
public:
    std::int16_t asyncKeyState(int virtualKey) override;
    std::int16_t keyState(int virtualKey) override;
};

// Read once: the pass writes numbers on every pass, and the user's format does not change under it.
class Win32UserLocale final : public UserLocale {
public:
    Win32UserLocale();
    char decimalSeparator() override { return separator_; }

private:
    char separator_ = '.';
};

}  // namespace vt2::win32
