#pragma once
// The players' devices for the run: set up at the game-start tick, their events handled between
// passes, released at the stop.

namespace vt2 {

struct Engine;

// The DirectX root object, the joysticks when a player uses one, and raw mouse input unless both
// players use joysticks.
void StartInputDevices(Engine& engine);

// Sets up the players' joysticks, then refreshes the debug text when the set-up got to its end.
void LoadJoysticks(Engine& engine);

// The joystick events signalled since the last pass, each handled in turn; each handled to its
// end refreshes the debug text.
void HandleJoystickEvents(Engine& engine);

// Raw input stopped (the window procedure put back), the DirectX objects released.
void StopInputDevices(Engine& engine);

}  // namespace vt2
