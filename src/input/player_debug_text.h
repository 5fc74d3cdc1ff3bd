#pragma once
// The debug window's text for each player: what the run currently believes about the player's
// aim and buttons, line by line.

#include <cstddef>
#include <string>

#include "common/player_state.h"

namespace vt2 {

// The light-gun layout: "Player N:" (with "  (NC)" when not enabled), the aim and the four buttons.
std::string LightGunDebugText(std::size_t player, bool enabled, const PlayerValues& values, char decimalSeparator);

// The twin-stick layout: the left stick for player 1, the right stick for player 2, then the
// player's start and coin.
std::string TwinStickDebugText(std::size_t player, const TwinStickTable& states, const PlayerValues& values);

}  // namespace vt2
