#include "input/player_debug_text.h"

#include <array>

#include "common/text.h"
#include "common/value_text.h"

namespace vt2 {

std::string LightGunDebugText(std::size_t player, bool enabled, const PlayerValues& p, char separator) {
    const std::string title = player == kPlayer1 ? "Player 1:" : "Player 2:";
    return JoinLines({title + (enabled ? "" : "  (NC)"), "X:  " + FloatText(p.X, separator),
                      "Y:  " + FloatText(p.Y, separator), "", "Trigger:  " + std::to_string(p.Trigger),
                      "Reload:  " + std::to_string(p.Reload), "Start:  " + std::to_string(p.Start),
                      "Coin:  " + std::to_string(p.Coin)});
}

std::string TwinStickDebugText(std::size_t player, const TwinStickTable& states, const PlayerValues& p) {
    // The stick's entries in the order up, down, left, right, shot, dash.
    constexpr std::array<int, 6> kLeft{9, 8, 11, 10, 6, 7};
    constexpr std::array<int, 6> kRight{15, 14, 17, 16, 12, 13};
    const std::array<int, 6>& entries = player == kPlayer1 ? kLeft : kRight;
    auto state = [&](int i) { return std::to_string(states[static_cast<std::size_t>(i)]); };
    return JoinLines({player == kPlayer1 ? "Left Stick:" : "Right Stick:", "", "Up:  " + state(entries[0]),
                      "Down:  " + state(entries[1]), "Left:  " + state(entries[2]), "Right:  " + state(entries[3]),
                      "Shot:  " + state(entries[4]), "Dash:  " + state(entries[5]),
                      "Start:  " + std::to_string(p.Start), "Coin:  " + std::to_string(p.Coin)});
}

}  // namespace vt2
