#pragma once

#include <string>

namespace vt2 {

struct Engine;

// Writes the descriptor's code patches into the game, once, at hook time.
void ApplyCodePatches(Engine& engine, const std::string& gameName);

}  // namespace vt2
