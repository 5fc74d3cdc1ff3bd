#include "adapters/win32/win32_process_memory.h"

#include <windows.h>

#include <cstdint>

#include "adapters/win32/pass_trace.h"
#include "adapters/win32/unique_handle.h"

namespace vt2::win32 {

namespace {

constexpr DWORD kAllAccess = 0x1F0FFF;

// An address this program's own pointers can hold: all of them in a 64-bit program, the low 4 GB
// in a 32-bit one.
bool InThisProgramsReach(std::uint64_t address, std::size_t length) {
    const std::uint64_t top = static_cast<std::uint64_t>(UINTPTR_MAX);
    return length == 0 || (address <= top && length - 1 <= top - address);
}

MemoryAccess AccessOf(const MEMORY_BASIC_INFORMATION& info) {
    const DWORD protect = info.Protect & 0xFF;
    if (info.State != MEM_COMMIT || protect == PAGE_NOACCESS || (info.Protect & PAGE_GUARD)) return MemoryAccess::Unmapped;
    const bool writable = protect == PAGE_READWRITE || protect == PAGE_WRITECOPY || protect == PAGE_EXECUTE_READWRITE ||
                          protect == PAGE_EXECUTE_WRITECOPY;
    return writable ? MemoryAccess::Writable : MemoryAccess::ReadOnly;
}

class Win32OpenProcessMemory final : public OpenProcessMemory {
public:
    explicit Win32OpenProcessMemory(unique_kernel_handle process) : process_(std::move(process)) {}

    bool read(std::uint64_t address, void* buffer, std::size_t length) override {
        if (!InThisProgramsReach(address, length)) return false;
        SIZE_T copied = 0;
        return ReadProcessMemory(process_.get(), reinterpret_cast<LPCVOID>(static_cast<std::uintptr_t>(address)),
                                 buffer, length, &copied) != FALSE;
    }

    bool write(std::uint64_t address, const void* buffer, std::size_t length) override {
        if (!InThisProgramsReach(address, length)) return false;
        SIZE_T copied = 0;
        pass_trace::Mark(pass_trace::Point::WriteIssued, static_cast<std::uint32_t>(address));
        const bool written = WriteProcessMemory(process_.get(), reinterpret_cast<LPVOID>(static_cast<std::uintptr_t>(address)),
                                                buffer, length, &copied) != FALSE;
        pass_trace::Mark(pass_trace::Point::WriteReturned, written ? 1 : 0);
        return written;
    }

    // Whether the game is 64-bit: IsWow64Process says whether a process runs as a 32-bit one on
    // 64-bit Windows. A 64-bit program sees a 64-bit game as one that does not; a 32-bit program
    // sees one when it runs that way itself and the game does not.
    bool is64Bit() override {
        BOOL gameIs32Bit = FALSE;
        if (!IsWow64Process(process_.get(), &gameIs32Bit)) return false;
        if (sizeof(void*) == 8) return gameIs32Bit == FALSE;
        BOOL selfIs32BitOn64 = FALSE;
        IsWow64Process(GetCurrentProcess(), &selfIs32BitOn64);
        return selfIs32BitOn64 != FALSE && gameIs32Bit == FALSE;
    }

    bool reachable() override { return sizeof(void*) == 8 || !is64Bit(); }

    MemoryAccess accessAt(std::uint64_t address) override {
        if (!InThisProgramsReach(address, 1)) return MemoryAccess::Unmapped;
        MEMORY_BASIC_INFORMATION info{};
        if (VirtualQueryEx(process_.get(), reinterpret_cast<LPCVOID>(static_cast<std::uintptr_t>(address)), &info,
                           sizeof info) != sizeof info) {
            return MemoryAccess::Unmapped;
        }
        return AccessOf(info);
    }

    std::vector<WritableRegion> writableRegions() override {
        std::vector<WritableRegion> regions;
        MEMORY_BASIC_INFORMATION info{};
        std::uintptr_t at = 0;
        while (VirtualQueryEx(process_.get(), reinterpret_cast<LPCVOID>(at), &info, sizeof info) == sizeof info) {
            const auto start = reinterpret_cast<std::uintptr_t>(info.BaseAddress);
            if (AccessOf(info) == MemoryAccess::Writable) {
                if (!regions.empty() && regions.back().start + regions.back().size == start) {
                    regions.back().size += info.RegionSize;  // one stretch, told in parts
                } else {
                    regions.push_back({start, info.RegionSize});
                }
            }
            const std::uintptr_t next = start + info.RegionSize;
            if (next <= at) break;  // the top of the address space
            at = next;
        }
        return regions;
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
