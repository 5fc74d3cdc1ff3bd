#pragma once
// Buttons that reach the game as key presses, and the players' escape buttons.

namespace vt2 {

struct Engine;

void InjectKeys(Engine& engine);
void CheckExitButtons(Engine& engine);

}  // namespace vt2
