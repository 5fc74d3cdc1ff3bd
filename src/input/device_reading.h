#pragma once
// The device steps at the start of every pass.

namespace vt2 {

struct Engine;

void ReadKeyboardKeys(Engine& engine);
// Polls the players' joysticks when the settings ask for polling (ForcePoll).
void PollJoysticksIfAsked(Engine& engine);
void CombineButtonSources(Engine& engine);

}  // namespace vt2
