#pragma once
// Starting and stopping the players' devices: raw input mice and DirectInput joysticks.

namespace vt2 {

struct Engine;

// The device part of the game-start tick: the DirectX root object, the joysticks when a player
// uses one, and raw mouse input unless both players use joysticks.
void StartInputDevices(Engine& engine);

void StopRawInput(Engine& engine);
void ReleaseDirectX(Engine& engine);

}  // namespace vt2
