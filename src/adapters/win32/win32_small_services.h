#pragma once
// The small operating-system services: message boxes, key state, the user's number format.

#include <windows.h>

#include <deque>
#include <functional>

#include "platform/keyboard_state.h"
#include "platform/message_boxes.h"
#include "platform/user_locale.h"

namespace vt2::win32 {

// Each box is modal to the window it is shown for: the window of the program whose action shows
// it (ownerOf tells which), else the active one. The owner takes no input until the box is
// answered, so a second click cannot start the same action inside the first.
class Win32MessageBoxes final : public MessageBoxes {
public:
    explicit Win32MessageBoxes(std::function<HWND()> ownerOf = {}) : ownerOf_(std::move(ownerOf)) {}
    void showMessage(const std::string& text) override;
    MessageAnswer ask(const std::string& text, const std::string& title, MessageButtons buttons,
                      MessageIcon icon) override;
    // From a thread timer of 0 ms: its message comes only when the queue holds nothing else, and
    // whichever loop runs then (the program's, a modal window's) shows the box.
    void tellLater(const std::string& text, const std::string& title, MessageIcon icon) override;
    ~Win32MessageBoxes() override;

private:
    struct Later {
        std::string text, title;
        MessageIcon icon;
    };
    static void CALLBACK ShowLater(HWND, UINT, UINT_PTR timer, DWORD);
    HWND owner() const;
    std::function<HWND()> ownerOf_;
    std::deque<Later> later_;
    UINT_PTR timer_ = 0;
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
