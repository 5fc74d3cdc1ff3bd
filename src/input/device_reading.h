#pragma once
// The device steps at the start of every pass: the keyboard keys of the settings, and the
// combination of device buttons and keys into the final start, coin and escape states.

#include <cstdint>

namespace vt2 {

struct Engine;
class KeyboardState;

// 1 while the key is down: the state is below 0 or above 1 (the toggle bit alone is up).
// A code outside 1..255 (-1 is none) reads as up.
std::int16_t KeyIsDown(KeyboardState& keyboard, int virtualKey);

void ReadKeyboardKeys(Engine& engine);
// Polls the players' joysticks when the settings ask for polling (ForcePoll).
void PollJoysticksIfAsked(Engine& engine);
void CombineButtonSources(Engine& engine);

}  // namespace vt2
