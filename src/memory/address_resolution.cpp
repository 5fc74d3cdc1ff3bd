#include "memory/address_resolution.h"

#include <vector>

#include "common/numbers.h"
#include "common/text.h"
#include "platform/module_list.h"

namespace vt2 {

std::optional<ModuleEntry> FindProgramModule(ModuleList& modules, std::uint32_t processId, const std::string& moduleName) {
    for (const ModuleEntry& module : modules.modulesOf(processId)) {
        const std::string lower = ToLowerAscii(module.name);
        if (moduleName.empty() ? lower.find(".exe") != std::string::npos : lower == ToLowerAscii(moduleName)) return module;
    }
    return std::nullopt;
}

GameAddress GetModuleBase(ModuleList& modules, std::uint32_t processId, std::string& moduleName) {
    const std::optional<ModuleEntry> module = FindProgramModule(modules, processId, moduleName);
    if (!module) return 0;
    if (moduleName.empty()) moduleName = module->name;
    return module->base;
}

std::optional<GameAddress> EnsureModuleBase(GameModule& module) {
    // Without the game's process there is nothing to look up (a process id of 0 would have the
    // lookup walk this program's own modules).
    if (module.base == 0 && module.memory && module.memory->PID() != 0) {
        module.base = GetModuleBase(module.modules, static_cast<std::uint32_t>(module.memory->PID()), module.exeName);
    }
    if (module.base == 0) return std::nullopt;
    return module.base;
}

std::optional<GameAddress> ResolvePointer(GameModule& module, const std::string& pointerText) {
    const AddressWidth width = AddressWidthOf(module);
    std::vector<std::string> fields = SplitText(pointerText, '|');
    fields.resize(3);
    GameAddress offsets[3] = {};
    for (int i = 0; i < 3; ++i) {
        const std::string& field = fields[static_cast<std::size_t>(i)];
        if (TrimBlanks(field).empty()) continue;
        const auto value = ToAddress(field, width);
        if (!value) return std::nullopt;
        offsets[i] = *value;
    }
    // Sums wrap round the game's address space, as the game's own pointer arithmetic does.
    const GameAddress top = TopAddress(width);
    auto add = [&](GameAddress a, GameAddress b) { return (a + b) & top; };
    // A chain from a module that is not there would lead to the offsets themselves, which may be
    // somebody else's memory: it leads nowhere instead.
    const std::optional<GameAddress> found = EnsureModuleBase(module);
    if (!found) {
        if (module.chainsNotFollowed) ++*module.chainsNotFollowed;
        return std::nullopt;
    }
    const GameAddress base = *found;
    // The pointer at an address: 8 bytes in a 64-bit game, 4 in a 32-bit one.
    auto dereference = [&](GameAddress at) -> GameAddress {
        if (!module.memory) return 0;
        if (width == AddressWidth::Bits64) return static_cast<GameAddress>(module.memory->readInt64(at));
        return static_cast<std::uint32_t>(module.memory->readLong(at));
    };
    const bool hasA = !TrimBlanks(fields[0]).empty();
    const bool hasB = !TrimBlanks(fields[1]).empty();
    if (hasB) return add(dereference(add(dereference(add(base, offsets[0])), offsets[1])), offsets[2]);
    if (hasA) return add(dereference(add(base, offsets[0])), offsets[2]);
    return add(base, offsets[2]);
}

GameAddress ResolveTargetAddress(GameModule& module, const std::string& pointerText, const std::string& addressText) {
    if (!pointerText.empty()) return ResolvePointer(module, pointerText).value_or(0);
    return ToAddress(addressText, AddressWidthOf(module)).value_or(0);
}

}  // namespace vt2
