#include "engine/game_writes.h"

#include "engine/engine.h"

namespace vt2 {

// The aim, button and bank writes plug in here.
void WritePlayerInputs(Engine&) {}
void WriteTwinStickBanks(Engine&) {}

}  // namespace vt2
