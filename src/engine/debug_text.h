#pragma once

namespace vt2 {

struct Engine;

// Rewrites the debug window's player and output labels from the run's current state: the player
// labels in the layout of the game type (none for a type other than the light-gun and twin-stick
// ones), the outputs label while outputs are active.
void BuildDebugText(Engine& engine);

}  // namespace vt2
