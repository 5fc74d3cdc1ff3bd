#pragma once
// Buttons that reach the game as key presses (when the descriptor turns key injection on), and
// the players' escape buttons, which close the game once per run.

#include <cstdint>

namespace vt2 {

struct Engine;
class SyntheticInput;

inline constexpr int kLeftAltKey = 0xA4;
inline constexpr int kF4Key = 0x73;
inline constexpr unsigned kVcopTapMs = 50;

// Presses or releases one key; a code outside 1..255 (0 is none) sends nothing.
void SendKey(SyntheticInput& input, int keyCode, bool down);
void InjectKeys(Engine& engine);
void CheckExitButtons(Engine& engine);

}  // namespace vt2
