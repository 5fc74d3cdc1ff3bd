#pragma once

#include <string>

namespace vt2 {

struct Engine;

// Rewrites the debug window's player and output labels from the run's current state: the player
// labels in the layout of the game type (none for a type other than the light-gun and twin-stick
// ones), the outputs label while outputs are active.
void BuildDebugText(Engine& engine);

// Adds a line to the debug window's notes: something the run could not do as the files ask, and why.
void AddDebugNote(Engine& engine, const std::string& note);

}  // namespace vt2
