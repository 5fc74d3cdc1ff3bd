#pragma once
// The device steps at the start of every pass: the keyboard keys of the settings, and the
// combination of device buttons and keys into the final start, coin and escape states.

#include <cstdint>

#include "common/player_state.h"
#include "input/player_settings.h"

namespace vt2 {

class KeyboardState;

// 1 while the key is down: the state is below 0 or above 1 (the toggle bit alone is up).
// A code outside 1..255 (-1 is none) reads as up.
std::int16_t KeyIsDown(KeyboardState& keyboard, int virtualKey);

// Samples the settings' keys (and the twin-stick game's keys) into the players' key states,
// when the settings turn the keyboard on.
void ReadKeyboardKeys(KeyboardState& keyboard, const PlayerSettings& settings, bool twinStick, PlayerState& players);
// The final start, coin and escape states: device OR key, as far as each source counts; and the
// twin-stick game's states: its keys OR its joysticks.
void CombineButtonSources(const PlayerSettings& settings, bool twinStick, PlayerState& players);

}  // namespace vt2
