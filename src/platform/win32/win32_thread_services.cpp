#include "platform/win32/win32_thread_services.h"

#include <windows.h>

#include <algorithm>

#include "common/text.h"
#include "platform/win32/unique_handle.h"

namespace vt2::win32 {

void Win32Clock::sleepMs(unsigned milliseconds) { Sleep(milliseconds); }

std::uint64_t Win32Clock::nowMs() { return GetTickCount64(); }

std::uint64_t Win32SteadyClock::nowMs() { return GetTickCount64(); }

namespace {
class Win32RunLock final : public RunLock {
public:
    explicit Win32RunLock(unique_kernel_handle mutex) : mutex_(std::move(mutex)) {}

private:
    unique_kernel_handle mutex_;
};
}  // namespace

std::unique_ptr<RunLock> Win32RunLocks::lock(const std::string& name) {
    // A mutex name may hold no backslash after its namespace; names are compared without case,
    // as the file names they stand for are.
    std::string object = "VT2 run " + ToLowerAscii(name);
    std::replace(object.begin(), object.end(), '\\', '/');
    const std::string mutexName = "Local\\" + object;
    unique_kernel_handle mutex(CreateMutexA(nullptr, FALSE, mutexName.c_str()));
    if (!mutex || GetLastError() == ERROR_ALREADY_EXISTS) return nullptr;
    return std::make_unique<Win32RunLock>(std::move(mutex));
}

void Win32MessagePump::pumpPendingMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) continue;  // the hook run ends only through its own stop
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

void Win32MessagePump::pumpNextMessage() {
    MSG message;
    if (!PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE) || message.message == WM_QUIT) return;
    TranslateMessage(&message);
    DispatchMessageA(&message);
}

void Win32ProcessExit::endProcess(int exitCode) { ExitProcess(static_cast<UINT>(exitCode)); }

}  // namespace vt2::win32
