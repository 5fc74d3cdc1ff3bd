#pragma once
// Pointer chains of the descriptor ("PTR" keys), followed from the base of the game's program
// module: "a|b|c" is [[base + a] + b] + c, "a||c" is [base + a] + c, "||c" is base + c, where
// [x] is the pointer at x: 4 bytes in a 32-bit game, 8 in a 64-bit one. Each field is empty or an
// address text of the game's width (decimal or "&H").

#include <cstdint>
#include <optional>
#include <string>

#include "memory/memory_manager.h"
#include "platform/module_list.h"

namespace vt2 {

// The game's program module as the run knows it, and how to look it up: where pointer chains
// start. The base and the name belong to the run; looking the base up may fill both.
struct GameModule {
    ModuleList& modules;
    MemoryManager* memory;  // the game's memory; none before the game is hooked
    GameAddress& base;      // 0 until found (no program is loaded at 0)
    std::string& exeName;   // the descriptor's ExeName; an empty one is adopted from the game
    int* chainsNotFollowed = nullptr;  // counts the chains given up on for want of the module
};

// The width of the game's addresses: 32 bits until its process is open.
inline AddressWidth AddressWidthOf(const GameModule& module) {
    return module.memory ? module.memory->addressWidth() : AddressWidth::Bits32;
}

// The module named moduleName in that process (case aside), or with an empty name the first whose
// name contains ".exe"; none when there is no such module.
std::optional<ModuleEntry> FindProgramModule(ModuleList& modules, std::uint32_t processId, const std::string& moduleName);

// The base of the module named moduleName in that process, or 0. With an empty name, the first
// module whose name contains ".exe" is taken, and moduleName becomes its name.
GameAddress GetModuleBase(ModuleList& modules, std::uint32_t processId, std::string& moduleName);

// Finds the game's module base once; after it was found it is never looked up again. Nothing
// while the module cannot be found: a chain is then followed from nowhere, never from 0.
std::optional<GameAddress> EnsureModuleBase(GameModule& module);

// The address a chain leads to now. Missing fields count as empty; a field that is no number
// makes the chain unusable (nothing), and so does a program module that cannot be found.
std::optional<GameAddress> ResolvePointer(GameModule& module, const std::string& pointerText);

// A target of the descriptor: the chain of its PTR key when that is not empty, else its Addr key;
// 0 (not mapped) when neither gives an address. A PTR key that cannot be followed never falls
// back on the Addr key: the chain is what the descriptor says lasts.
GameAddress ResolveTargetAddress(GameModule& module, const std::string& pointerText, const std::string& addressText);

}  // namespace vt2
