#include "input/device_setup.h"

#include "engine/engine.h"

namespace vt2 {

// The device layer plugs in here; until then no device is read.
void StartInputDevices(Engine&) {}
void StopRawInput(Engine&) {}
void ReleaseDirectX(Engine&) {}

}  // namespace vt2
