#pragma once

#include <string>

namespace vt2 {

struct Engine;

// Writes the patches of the game's descriptor (or default.ini) into the hooked game, once.
void ApplyCodePatches(Engine& engine, const std::string& gameName);

}  // namespace vt2
