#include "adapters/win32/win32_process_memory.h"

#include <windows.h>

#include "adapters/win32/pass_trace.h"
#include "adapters/win32/unique_handle.h"

namespace vt2::win32 {

namespace {

constexpr DWORD kAllAccess = 0x1F0FFF;

class Win32OpenProcessMemory final : public OpenProcessMemory {
public:
    explicit Win32OpenProcessMemory(unique_kernel_handle process) : process_(std::move(process)) {}

    bool read(std::uint32_t address, void* buffer, std::size_t length) override {
        SIZE_T copied = 0;
        return ReadProcessMemory(process_.get(), reinterpret_cast<LPCVOID>(static_cast<std::uintptr_t>(address)),
                                 buffer, length, &copied) != FALSE;
    }

    bool write(std::uint32_t address, const void* buffer, std::size_t length) override {
        SIZE_T copied = 0;
        pass_trace::Mark(pass_trace::Point::WriteIssued, address);
        const bool written = WriteProcessMemory(process_.get(), reinterpret_cast<LPVOID>(static_cast<std::uintptr_t>(address)),
                                                buffer, length, &copied) != FALSE;
        pass_trace::Mark(pass_trace::Point::WriteReturned, written ? 1 : 0);
        return written;
    }

    bool hasEnded() override { return WaitForSingleObject(process_.get(), 0) == WAIT_OBJECT_0; }

private:
    unique_kernel_handle process_;
};

}  // namespace

std::unique_ptr<OpenProcessMemory> Win32ProcessMemory::openProcess(std::uint32_t processId) {
    unique_kernel_handle process(OpenProcess(kAllAccess, FALSE, processId));
    if (!process) return nullptr;
    return std::make_unique<Win32OpenProcessMemory>(std::move(process));
}

}  // namespace vt2::win32
