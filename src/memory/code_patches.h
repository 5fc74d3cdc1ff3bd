#pragma once
// Replacement bytes for chosen instructions of the running game (by default 0x90, no-operation),
// so that the game stops overwriting the values the hook writes. Listed per game in the section
// "NOP_" + ExeName of the memory descriptor; written once, at hook time, never undone.

#include <cstddef>
#include <string>

namespace vt2 {

struct Engine;

// A longer patch is taken for a malformed Len: no real patch is anywhere near this size.
inline constexpr std::size_t kMaxPatchLength = 65536;

void ApplyCodePatches(Engine& engine, const std::string& gameName);

}  // namespace vt2
