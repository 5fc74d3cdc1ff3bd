#include "adapters/win32/win32_module_list.h"

#include <windows.h>
#include <tlhelp32.h>

#include <cstring>

#include "adapters/win32/unique_handle.h"

namespace vt2::win32 {

static_assert(sizeof(void*) != 4 || sizeof(MODULEENTRY32) == 548, "the ANSI module record of a 32-bit program");

std::vector<ModuleEntry> Win32ModuleList::modulesOf(std::uint32_t processId) {
    std::vector<ModuleEntry> modules;
    // A 64-bit VT2 sees a 32-bit game's own modules only when it asks for them as well.
    unique_file_handle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPMODULE | TH32CS_SNAPMODULE32, processId));
    if (!snapshot) return modules;
    MODULEENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Module32First(snapshot.get(), &entry); more; more = Module32Next(snapshot.get(), &entry)) {
        const std::size_t length = strnlen(entry.szModule, sizeof entry.szModule);
        modules.push_back({std::string(entry.szModule, length),
                           static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(entry.modBaseAddr)),
                           std::string(entry.szExePath, strnlen(entry.szExePath, sizeof entry.szExePath)), entry.modBaseSize});
    }
    return modules;
}

}  // namespace vt2::win32
