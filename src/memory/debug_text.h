#pragma once

namespace vt2 {

struct Engine;

// Rewrites the debug window's player and output labels from the current state.
void BuildDebugText(Engine& engine);

}  // namespace vt2
