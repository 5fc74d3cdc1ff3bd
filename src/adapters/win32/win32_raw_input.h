#pragma once
// Raw input for the main window: the mice's reports reach the core from the window's own
// procedure, replaced for as long as reports are wanted.

#include <windows.h>

#include <deque>

#include "platform/raw_input.h"

namespace vt2::win32 {

class Win32RawInput final : public RawInputSystem {
public:
    explicit Win32RawInput(HWND window) : window_(window) {}
    ~Win32RawInput() override { stopReports(); }
    Win32RawInput(const Win32RawInput&) = delete;
    Win32RawInput& operator=(const Win32RawInput&) = delete;

    std::optional<std::vector<RawInputDevice>> deviceList() override;
    bool registerMice() override;
    void startReports(RawMouseReportSink& sink) override;
    void stopReports() override;

private:
    static LRESULT CALLBACK RawInputWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    // The adapter whose procedure is in place, found without asking the system for the window's
    // property on every message (under Wine each such question is a round trip to the server);
    // the program has one main window, so one adapter at most reports at a time.
    static inline Win32RawInput* reporting_ = nullptr;

    HWND window_;
    WNDPROC previous_ = nullptr;
    RawMouseReportSink* sink_ = nullptr;
    std::deque<RawMouseReport> waiting_;  // reports that came while one was being delivered
    bool delivering_ = false;
};

}  // namespace vt2::win32
