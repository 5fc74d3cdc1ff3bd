#pragma once
// The hook run: wait for the game's window, hook its process, then run passes until it is gone.

namespace vt2 {

struct Engine;

// Never returns: the run ends the process when the game's window is gone.
[[noreturn]] void RunGameHook(Engine& engine);

// Waits, handling window messages, until the descriptor's window exists.
void WaitForGameWindow(Engine& engine);

// Takes the game's process, waits for the game to set itself up, loads the descriptor's input map,
// outputs and code patches, and reports the game as hooked.
void HookGame(Engine& engine);

// One pass of the main loop. Stops the program when the game's window is gone.
void RunPass(Engine& engine);

}  // namespace vt2
