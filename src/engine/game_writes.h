#pragma once
// The per-pass writes of the players' state into the game: the system cursor for player 1, each
// player's aim and buttons at the addresses of the input map, and the twin-stick bank bytes.

#include <array>
#include <cstdint>

namespace vt2 {

struct Engine;

// The three bank bytes of the twin-stick game: 255 with a bit cleared for each pressed function.
std::array<std::int16_t, 3> TwinStickBankValues(const std::array<std::int16_t, 18>& states);

void WritePlayerInputs(Engine& engine);
void WriteTwinStickBanks(Engine& engine);

}  // namespace vt2
