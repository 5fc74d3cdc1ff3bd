#pragma once
// The per-pass writes of the players' state into the game.

namespace vt2 {

struct Engine;

void WritePlayerInputs(Engine& engine);
void WriteTwinStickBanks(Engine& engine);

}  // namespace vt2
