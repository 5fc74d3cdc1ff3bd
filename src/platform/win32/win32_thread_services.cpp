#include "platform/win32/win32_thread_services.h"

#include <windows.h>

namespace vt2::win32 {

void Win32Clock::sleepMs(unsigned milliseconds) { Sleep(milliseconds); }

std::uint64_t Win32SteadyClock::nowMs() { return GetTickCount64(); }

void Win32MessagePump::pumpPendingMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) continue;  // the hook run ends only through its own stop
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

void Win32ProcessExit::endProcess(int exitCode) { ExitProcess(static_cast<UINT>(exitCode)); }

}  // namespace vt2::win32
