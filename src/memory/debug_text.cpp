#include "memory/debug_text.h"

#include "engine/engine.h"

namespace vt2 {

// The debug labels plug in here.
void BuildDebugText(Engine&) {}

}  // namespace vt2
