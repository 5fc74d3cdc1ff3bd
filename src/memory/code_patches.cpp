#include "memory/code_patches.h"

#include "engine/engine.h"

namespace vt2 {

// The code patcher plugs in here.
void ApplyCodePatches(Engine&, const std::string&) {}

}  // namespace vt2
