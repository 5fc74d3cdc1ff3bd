#include "memory/address_resolution.h"

#include <vector>

#include "common/numbers.h"
#include "common/text.h"
#include "platform/module_list.h"

namespace vt2 {

GameAddress GetModuleBase(ModuleList& modules, std::uint32_t processId, std::string& moduleName) {
    for (const ModuleEntry& module : modules.modulesOf(processId)) {
        const std::string lower = ToLowerAscii(module.name);
        if (moduleName.empty() && lower.find(".exe") != std::string::npos) moduleName = module.name;
        if (lower == ToLowerAscii(moduleName)) return module.base;
    }
    return 0;
}

GameAddress EnsureModuleBase(GameModule& module) {
    // Without the game's process there is nothing to look up (a process id of 0 would have the
    // lookup walk this program's own modules).
    if (module.base == 0 && module.memory && module.memory->PID() != 0) {
        module.base = GetModuleBase(module.modules, static_cast<std::uint32_t>(module.memory->PID()), module.exeName);
    }
    return module.base;
}

std::optional<GameAddress> ResolvePointer(GameModule& module, const std::string& pointerText) {
    std::vector<std::string> fields = SplitText(pointerText, '|');
    fields.resize(3);
    std::uint32_t offsets[3] = {};
    for (int i = 0; i < 3; ++i) {
        const std::string& field = fields[static_cast<std::size_t>(i)];
        if (TrimBlanks(field).empty()) continue;
        const auto value = ToAddress(field);
        if (!value) return std::nullopt;
        offsets[i] = *value;
    }
    const GameAddress base = EnsureModuleBase(module);
    auto dereference = [&](GameAddress at) -> GameAddress {
        if (!module.memory) return 0;
        return static_cast<GameAddress>(module.memory->readLong(at));
    };
    const bool hasA = !TrimBlanks(fields[0]).empty();
    const bool hasB = !TrimBlanks(fields[1]).empty();
    if (hasB) return dereference(dereference(base + offsets[0]) + offsets[1]) + offsets[2];
    if (hasA) return dereference(base + offsets[0]) + offsets[2];
    return base + offsets[2];
}

GameAddress ResolveTargetAddress(GameModule& module, const std::string& pointerText, const std::string& addressText) {
    if (!pointerText.empty()) return ResolvePointer(module, pointerText).value_or(0);
    return ToAddress(addressText).value_or(0);
}

}  // namespace vt2
