#include "adapters/win32/win32_thread_services.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>

#include "common/text.h"
#include "adapters/win32/pass_trace.h"
#include "adapters/win32/unique_handle.h"

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

namespace {
// A kernel object's name may be at most MAX_PATH characters long: a longer game name is cut, and
// the whole name's hash makes the cut name its own.
std::string MutexNameFor(const std::string& name) {
    constexpr std::size_t kKeptCharacters = 200;
    std::string object = "VT2 run " + ToLowerAscii(name);
    std::replace(object.begin(), object.end(), '\\', '/');  // no backslash after the namespace
    if (object.size() > kKeptCharacters) {
        std::uint64_t hash = 14695981039346656037ull;  // FNV-1a over the whole name
        for (unsigned char c : object) hash = (hash ^ c) * 1099511628211ull;
        char hex[17] = {};
        wsprintfA(hex, "%08lx%08lx", static_cast<unsigned long>(hash >> 32), static_cast<unsigned long>(hash));
        object = object.substr(0, kKeptCharacters) + " #" + hex;
    }
    return "Local\\" + object;
}
}  // namespace

std::unique_ptr<RunLock> Win32RunLocks::lock(const std::string& name) {
    // Names are compared without case, as the file names they stand for are.
    unique_kernel_handle mutex(CreateMutexA(nullptr, FALSE, MutexNameFor(name).c_str()));
    if (mutex && GetLastError() == ERROR_ALREADY_EXISTS) return nullptr;
    // A lock the system cannot make at all is no second run: this run goes on without one.
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
    pass_trace::Mark(pass_trace::Point::MessageLook);
    if (!PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE) || message.message == WM_QUIT) return;
    pass_trace::Mark(pass_trace::Point::MessageTaken, message.message);
    TranslateMessage(&message);
    DispatchMessageA(&message);
}

void Win32ProcessExit::endProcess(int exitCode) {
    pass_trace::WriteOut();
    ExitProcess(static_cast<UINT>(exitCode));
}

}  // namespace vt2::win32
