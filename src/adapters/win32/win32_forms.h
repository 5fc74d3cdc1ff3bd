#pragma once
// The windows of the models as real windows of standard controls: built from their design at
// the window's own DPI in the system's message font, Tab through the controls in reading order,
// Enter and Esc on the dialogs, the "&" shortcuts, and every control kept as its model says.

#include <windows.h>

#include <map>
#include <memory>
#include <vector>

#include "platform/forms.h"

namespace vt2::win32 {

class Win32Forms final : public Forms {
public:
    explicit Win32Forms(HINSTANCE instance);
    ~Win32Forms() override;
    Win32Forms(const Win32Forms&) = delete;
    Win32Forms& operator=(const Win32Forms&) = delete;

    void show(FormModel& model) override;
    void runModal(FormModel& model, unsigned timerMs) override;
    void close(FormModel& model) override;
    bool isOpen(const FormModel& model) override;
    void focus(FormModel& model, const std::string& control = {}) override;
    void refresh(FormModel& model) override;
    void startTimer(FormModel& model, unsigned intervalMs) override;
    void stopTimer(FormModel& model) override;
    [[noreturn]] void endProgram() override;

    // For the thread's message loop: Tab, Enter, Esc and the shortcuts of the form windows.
    // True when the message was handled as such.
    bool preTranslate(MSG& message);

    // The window whose model is handling something the user did (the innermost, when one action
    // leads to another window's), or null: a message box shown meanwhile belongs to it.
    HWND actingWindow() const { return acting_.empty() ? nullptr : acting_.back(); }

    class Window;

private:
    Window* windowOf(const FormModel& model);

    HINSTANCE instance_;
    std::map<const FormModel*, std::unique_ptr<Window>> windows_;
    std::vector<HWND> acting_;
};

}  // namespace vt2::win32
