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

// No real section lists more patches, and no real patch is longer: a section or an entry beyond
// these is taken for a malformed one and not written at all, rather than written in part over the
// game's code and data.
inline constexpr std::int32_t kMaxPatchEntries = 4096;
inline constexpr std::size_t kMaxPatchLength = 4096;

// One entry of the section: the bytes to write from start on. A byte the descriptor gives no
// usable value for stays as it is in the game.
struct CodePatch {
    GameAddress start = 0;
    std::vector<std::optional<std::uint8_t>> bytes;
};

struct CodePatchSection {
    std::vector<CodePatch> patches;     // the usable entries, in their order
    std::vector<std::string> problems;  // why a section or an entry is not written, for the debug window
};

// The entries of the descriptor file's section "NOP_" + ExeName. The module base is looked up
// first, which may adopt the game's program name as ExeName and so name the section; pointer
// chains are followed now, once. Entries without an address or a usable Len are left out, and so
// is an entry that is too long or runs past the top of the address space; a count beyond the
// bound leaves the whole section out.
CodePatchSection ReadCodePatches(IniFiles& ini, const std::string& file, GameModule& module);

// Writes every patch while the game's threads are held still, each run of bytes in one write.
// With nothing to write the game is not held at all.
void WriteCodePatches(MemoryManager& memory, ProcessThreads& threads, const std::vector<CodePatch>& patches);

}  // namespace vt2
