#pragma once

#include <cstdint>
#include <string>

// The hook run: wait for the game's window, hook its process, then run passes until it is gone.

namespace vt2 {

struct Engine;
class IniFiles;
struct PlayerSettings;

// Never returns: the run ends the process when the game's window is gone.
[[noreturn]] void RunGameHook(Engine& engine);

// Waits, handling window messages, until the descriptor's window exists.
void WaitForGameWindow(Engine& engine);

// Takes the game's process, waits for the game to set itself up, loads the descriptor's input map,
// outputs and code patches, and reports the game as hooked. A window gone before the hook ends
// the run as the game's end does; a process that cannot be opened, or whose memory this build
// cannot reach, ends it with a message.
void HookGame(Engine& engine);
// A descriptor that pins its game's build (ExeSize, ExeSha256) and a game of another build: the
// debug window says so, as the addresses may then be wrong.
void WarnOfAnotherBuild(Engine& engine);
// The debug window's note when the descriptor's pointer chains could not be followed because the
// game's program module was not found (a wrong ExeName, or a module list the system refused).
void NoteUnfollowedChains(Engine& engine);
std::string ProgramModuleNotFoundNote(const std::string& exeName, int chains);
std::string GameNotOpenedMessage(const std::string& game);
std::string GameOutOfReachMessage(const std::string& game);

// After the game's window is gone while its process still runs (a game that switches to full
// screen closes its window and opens another): waits up to kNewWindowWaitMs, handling messages,
// for a new top window of the same class (and caption, where the descriptor sets one) in the same
// process. True when the run goes on with it (its caption read, NoBorder applied again).
bool FollowGameToANewWindow(Engine& engine);
inline constexpr unsigned kNewWindowWaitMs = 3000;
inline constexpr unsigned kNewWindowPollMs = 10;

// One pass of the main loop. Stops the program when the game's window is gone.
void RunPass(Engine& engine);

// The loop between passes. Paced (the default): it waits for a window message (raw mouse input
// runs a pass at once), a joystick's event or the next tick of a timer, so that no core spins. The
// tick comes every 4 ms, often enough for the keys and the outputs, or every millisecond when a
// joystick is polled (ForcePoll), whose aim it samples. Under Wine every tick is two calls into
// the Wine server, which a move's delivery may wait behind. vt2.ini [Loop] Busy=1 runs the passes
// back to back, and so does a run that gets no timer (the debug window says so).
inline constexpr unsigned kPassTickMs = 4;
inline constexpr unsigned kPolledJoystickTickMs = 1;
unsigned PassTickMs(const PlayerSettings& settings);
// What the paced loop reads of the game once in a while, not on every pass: under Wine each read
// is a call into the Wine server, and a read of the game's memory stops the game's thread while it
// lasts. The game's caption (its sign of life, two calls) once in 16 ms; the outputs once in 4 ms,
// which still sees every frame of a game running at 240 frames a second. The busy loop, which
// spends a core anyway, reads both on every pass.
inline constexpr std::uint64_t kCaptionReadMs = 16;
inline constexpr std::uint64_t kOutputsReadMs = 4;
bool BusyLoopChosen(IniFiles& ini, const std::string& programFolder);
void StartPacing(Engine& engine);
void WaitForNextPass(Engine& engine);
// Gives the timer back; harmless when the loop is not paced.
void StopPacing(Engine& engine);
inline constexpr const char* kNoTimerNote = "Loop: no timer could be had; the passes run back to back";

}  // namespace vt2
