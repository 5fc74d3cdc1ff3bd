#include "input/device_reading.h"

#include "engine/engine.h"

namespace vt2 {

// Keyboard keys, joystick polling and the combination of button sources plug in here.
void ReadKeyboardKeys(Engine&) {}
void PollJoysticksIfAsked(Engine&) {}
void CombineButtonSources(Engine&) {}

}  // namespace vt2
