#pragma once

#include "platform/module_list.h"

namespace vt2::win32 {

// The game's modules, program first. A 32-bit game beside the 64-bit VT2 is listed by
// EnumProcessModulesEx with its 32-bit modules; any other by a Toolhelp module snapshot, walked
// with the ANSI module record, and by EnumProcessModulesEx when the snapshot is refused.
class Win32ModuleList final : public ModuleList {
public:
    std::vector<ModuleEntry> modulesOf(std::uint32_t processId) override;
};

enum class ModuleListing {
    AsTheGameIs,   // the game's own width: its 32-bit modules when it runs 32-bit beside a 64-bit VT2
    ThirtyTwoBit,  // LIST_MODULES_32BIT
};

// EnumProcessModulesEx's list with each module's name, base, image size and file; empty when the
// process cannot be opened or listed. Public for the adapter's tests, which hold it to the snapshot.
std::vector<ModuleEntry> EnumeratedModules(std::uint32_t processId, ModuleListing listing);

}  // namespace vt2::win32
