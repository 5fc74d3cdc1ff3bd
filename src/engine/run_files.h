#pragma once
// The files a hook run reads at start-up, and what a missing one means for the run.

namespace vt2 {

struct Engine;

// The game's descriptor for the run; shows "Status:  Waiting for " + Name. Without the
// descriptor, or with one that names no window (neither class nor caption), the program ends at once.
void LoadRunDescriptor(Engine& engine);

// The players' settings for the run (after the descriptor: the twin-stick game reads its own
// layout), normalised for the run; their outputs switch becomes the run's. Without any settings
// file the program stops in order.
void LoadRunSettings(Engine& engine);

}  // namespace vt2
