#include "engine/key_injection.h"

#include "engine/engine.h"

namespace vt2 {

// Key injection and the escape buttons plug in here.
void InjectKeys(Engine&) {}
void CheckExitButtons(Engine&) {}

}  // namespace vt2
