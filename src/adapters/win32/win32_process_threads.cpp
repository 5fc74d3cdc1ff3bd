#include "adapters/win32/win32_process_threads.h"

#include <windows.h>
#include <tlhelp32.h>

#include <vector>

#include "adapters/win32/unique_handle.h"

namespace vt2::win32 {
namespace {

class SuspendedThreads final : public PausedThreads {
public:
    explicit SuspendedThreads(std::vector<unique_kernel_handle> threads) : threads_(std::move(threads)) {}
    ~SuspendedThreads() override {
        for (const auto& thread : threads_) ResumeThread(thread.get());
    }
    SuspendedThreads(const SuspendedThreads&) = delete;
    SuspendedThreads& operator=(const SuspendedThreads&) = delete;

private:
    std::vector<unique_kernel_handle> threads_;
};

}  // namespace

std::unique_ptr<PausedThreads> Win32ProcessThreads::pause(std::uint32_t processId) {
    // Suspending our own threads would suspend the one doing the work.
    if (processId == 0 || processId == GetCurrentProcessId()) return nullptr;
    unique_file_handle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
    if (!snapshot) return nullptr;

    std::vector<unique_kernel_handle> suspended;
    THREADENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Thread32First(snapshot.get(), &entry); more; more = Thread32Next(snapshot.get(), &entry)) {
        if (entry.th32OwnerProcessID != processId) continue;
        unique_kernel_handle thread(OpenThread(THREAD_SUSPEND_RESUME, FALSE, entry.th32ThreadID));
        if (!thread || SuspendThread(thread.get()) == static_cast<DWORD>(-1)) continue;
        suspended.push_back(std::move(thread));
    }
    if (suspended.empty()) return nullptr;
    return std::make_unique<SuspendedThreads>(std::move(suspended));
}

}  // namespace vt2::win32
