#pragma once
// The aim's area for the run: set up once the game is hooked, then kept up with the game's window
// as it moves and resizes. The window is read again at most once in kAimAreaReadMs (each read
// crosses into the system), on a clock of its own, whichever loop runs.

#include <cstdint>
#include <string>

namespace vt2 {

struct Engine;

inline constexpr std::uint64_t kAimAreaReadMs = 100;

// Takes the settings' area, reads it for the first time and hands it to the mice, with each
// player's off-screen reload where the game maps a reload to give.
void StartAimArea(Engine& engine);
// Reads the area again when it is due.
void FollowAimArea(Engine& engine);

// The debug window's lines for a player: the area with its rectangle and where the player aims in
// it. Empty for the primary screen, which the labels show as they always have.
std::string AimAreaDebugText(const Engine& engine, std::size_t player);

}  // namespace vt2
