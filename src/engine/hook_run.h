#pragma once

#include <string>
// The hook run: wait for the game's window, hook its process, then run passes until it is gone.

namespace vt2 {

struct Engine;

// Never returns: the run ends the process when the game's window is gone.
[[noreturn]] void RunGameHook(Engine& engine);

// Waits, handling window messages, until the descriptor's window exists.
void WaitForGameWindow(Engine& engine);

// Takes the game's process, waits for the game to set itself up, loads the descriptor's input map,
// outputs and code patches, and reports the game as hooked. A window gone before the hook ends
// the run as the game's end does; a process that cannot be opened ends it with a message.
void HookGame(Engine& engine);
std::string GameNotOpenedMessage(const std::string& game);

// After the game's window is gone while its process still runs (a game that switches to full
// screen closes its window and opens another): waits up to kNewWindowWaitMs, handling messages,
// for a new top window of the same class (and caption, where the descriptor sets one) in the same
// process. True when the run goes on with it (its caption read, NoBorder applied again).
bool FollowGameToANewWindow(Engine& engine);
inline constexpr unsigned kNewWindowWaitMs = 3000;
inline constexpr unsigned kNewWindowPollMs = 10;

// One pass of the main loop. Stops the program when the game's window is gone.
void RunPass(Engine& engine);

}  // namespace vt2
