#pragma once

#include <cstdint>

namespace vt2 {

struct Engine;

// The only style bit a borderless game window keeps.
inline constexpr std::uint32_t kVisibleStyle = 0x10000000;

// Takes caption, border, frame and system menu off the game window and moves it to the screen's
// top-left corner, keeping its outer size.
void RemoveWindowBorder(Engine& engine);

}  // namespace vt2
