#include "adapters/win32/win32_module_list.h"

#include <windows.h>
#include <psapi.h>
#include <tlhelp32.h>

#include <cstring>

#include "adapters/win32/unique_handle.h"

namespace vt2::win32 {

static_assert(sizeof(void*) != 4 || sizeof(MODULEENTRY32) == 548, "the ANSI module record of a 32-bit program");

namespace {

std::vector<ModuleEntry> SnapshotModules(std::uint32_t processId) {
    std::vector<ModuleEntry> modules;
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

// Whether the process runs as a 32-bit program beside this 64-bit one (WOW64).
bool IsThirtyTwoBitBesideUs(HANDLE process) {
    if (sizeof(void*) != 8) return false;
    BOOL wow64 = FALSE;
    return IsWow64Process(process, &wow64) && wow64 != FALSE;
}

}  // namespace

std::vector<ModuleEntry> EnumeratedModules(std::uint32_t processId, ModuleListing listing) {
    std::vector<ModuleEntry> modules;
    unique_kernel_handle process(OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId));
    if (!process) return modules;
    DWORD filter = LIST_MODULES_DEFAULT;
    if (listing == ModuleListing::ThirtyTwoBit || (listing == ModuleListing::AsTheGameIs && IsThirtyTwoBitBesideUs(process.get()))) {
        filter = LIST_MODULES_32BIT;
    }
    // The list may grow between the call that sizes it and the one that fills it.
    std::vector<HMODULE> handles(64);
    for (int attempt = 0; attempt < 4; ++attempt) {
        DWORD needed = 0;
        const auto room = static_cast<DWORD>(handles.size() * sizeof(HMODULE));
        if (!EnumProcessModulesEx(process.get(), handles.data(), room, &needed, filter)) return modules;
        if (needed <= room) {
            handles.resize(needed / sizeof(HMODULE));
            break;
        }
        handles.resize(needed / sizeof(HMODULE) + 16);
        if (attempt == 3) return modules;
    }
    for (HMODULE handle : handles) {
        char name[MAX_PATH] = {};
        char path[MAX_PATH] = {};
        MODULEINFO info{};
        if (GetModuleBaseNameA(process.get(), handle, name, sizeof name) == 0) continue;  // unloaded meanwhile
        GetModuleFileNameExA(process.get(), handle, path, sizeof path);
        GetModuleInformation(process.get(), handle, &info, sizeof info);
        modules.push_back({std::string(name, strnlen(name, sizeof name)),
                           static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(handle)),
                           std::string(path, strnlen(path, sizeof path)), info.SizeOfImage});
    }
    return modules;
}

std::vector<ModuleEntry> Win32ModuleList::modulesOf(std::uint32_t processId) {
    // A 32-bit game seen from this 64-bit program: its own modules, listed the way the system
    // documents for such a process (Wine refuses a module snapshot of it).
    {
        unique_kernel_handle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
        if (process && IsThirtyTwoBitBesideUs(process.get())) return EnumeratedModules(processId, ModuleListing::ThirtyTwoBit);
    }
    std::vector<ModuleEntry> modules = SnapshotModules(processId);
    if (modules.empty()) modules = EnumeratedModules(processId, ModuleListing::AsTheGameIs);
    return modules;
}

}  // namespace vt2::win32
