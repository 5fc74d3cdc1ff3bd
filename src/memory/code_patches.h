#pragma once
// Replacement bytes for chosen instructions of the running game (by default 0x90, no-operation),
// so that the game stops overwriting the values the hook writes. Listed per game in the section
// "NOP_" + ExeName of the memory descriptor; written once, at hook time, never undone.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "memory/address_resolution.h"

namespace vt2 {

class IniFiles;
class ProcessThreads;

// A longer patch is taken for a malformed Len: no real patch is anywhere near this size.
inline constexpr std::size_t kMaxPatchLength = 65536;

// One entry of the section: the bytes to write from start on. A byte the descriptor gives no
// usable value for stays as it is in the game.
struct CodePatch {
    GameAddress start = 0;
    std::vector<std::optional<std::uint8_t>> bytes;
};

// The entries of the descriptor file's section "NOP_" + ExeName, in their order. The module base
// is looked up first, which may adopt the game's program name as ExeName and so name the section;
// pointer chains are followed now, once. Entries without an address or a usable Len are left out.
std::vector<CodePatch> ReadCodePatches(IniFiles& ini, const std::string& file, GameModule& module);

// Writes every patch, one byte per write, while the game's threads are held still. With nothing
// to write the game is not held at all.
void WriteCodePatches(MemoryManager& memory, ProcessThreads& threads, const std::vector<CodePatch>& patches);

}  // namespace vt2
