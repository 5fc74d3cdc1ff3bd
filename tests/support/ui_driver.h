#pragma once
// Driving another program's windows as a user would, through their standard controls: a window
// found by its caption, a control by its caption or by the label on its left, and clicks,
// choices, typing, reading and message boxes answered.

#include <windows.h>

#include <string>
#include <vector>

namespace vt2::test {

class UiWindow {
public:
    // The top-level window of that process with exactly that caption, once it is there.
    static UiWindow WaitFor(DWORD processId, const std::string& caption, int timeoutMs = 20000);
    explicit UiWindow(HWND window = nullptr) : window_(window) {}
    HWND handle() const { return window_; }
    explicit operator bool() const { return window_ != nullptr && IsWindow(window_); }

    // The control whose caption is caption ("&" aside); null when there is none.
    HWND control(const std::string& caption) const;
    // The field right of the label with that caption, on its row: the nearest control to its right.
    HWND field(const std::string& labelCaption) const;
    // The field left of the control with that caption, on its row (the "Set Accel" fields).
    HWND fieldLeftOf(const std::string& caption) const;
    // Every control, frames' contents included.
    std::vector<HWND> controls() const;

    void click(HWND control) const;
    // A click into a field (the key boxes open the key detector on it).
    void clickInto(HWND field) const;
    void type(HWND field, const std::string& text) const;
    void choose(HWND list, const std::string& entry) const;
    static std::string text(HWND control);
    static bool checked(HWND control);
    static std::vector<std::string> entries(HWND list);
    static std::string chosen(HWND list);

private:
    HWND window_;
};

// A message box of that process with that title, once it is there; its text; and a button pressed.
HWND WaitForMessageBox(DWORD processId, const std::string& title, int timeoutMs = 20000);
std::string MessageBoxText(HWND box);
void PressButton(HWND box, const std::string& caption);
// Waits for the message box of that title, presses button and waits for the box to go; its text,
// or a text naming the box that did not come.
std::string AnswerMessageBox(DWORD processId, const std::string& title, const std::string& button = "OK");
// Every window of the process with that caption closed, or none there: true when none is left.
bool NoWindowTitled(DWORD processId, const std::string& title);
// The configuration window of that process on its second page, once player 1's device list shows
// that entry (the page's start-up step has loaded the game); a null window when it does not come.
UiWindow ConfigurationPage2(DWORD processId, const std::string& player1Device);

}  // namespace vt2::test
