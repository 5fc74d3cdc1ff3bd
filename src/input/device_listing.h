#pragma once
// What `VT2.exe --list-devices` prints, for users and bug reports: the raw input mice and the
// DirectInput joysticks, each with its number, name, ids and path.

#include <string>
#include <vector>

#include "input/mouse_devices.h"
#include "platform/joystick_system.h"

namespace vt2 {

// Each device's number, name and ids on a line, its path on the next. Mice count from 0, as
// MouseID does; joysticks from 1, as JoyID does.
std::string DeviceListing(const std::vector<MouseDevice>& mice, const std::vector<JoystickDescription>& joysticks);

}  // namespace vt2
