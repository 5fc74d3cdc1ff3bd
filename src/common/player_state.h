#pragma once
// What the program currently believes about each player's aim and buttons.

#include <array>
#include <cstdint>

namespace vt2 {

struct PlayerValues {
    float X = 0.0f;  // aim, as a fraction of the screen: 0 left/top, 1 right/bottom
    float Y = 0.0f;
    std::int16_t Trigger = 0;
    std::int16_t Reload = 0;
    // Start, coin and escape as the device reports them...
    std::int16_t StartDevice = 0;
    std::int16_t CoinDevice = 0;
    std::int16_t EscDevice = 0;
    // ...and combined with the keyboard keys: what the game writes and key injection act on.
    std::int16_t Start = 0;
    std::int16_t Coin = 0;
    std::int16_t Esc = 0;

    bool operator==(const PlayerValues&) const = default;
};

struct PlayerRecord {
    PlayerValues current;
    PlayerValues previous;  // as at the end of the previous pass; all 0 before the first
};

inline constexpr std::size_t kPlayer1 = 0;
inline constexpr std::size_t kPlayer2 = 1;

using PlayerState = std::array<PlayerRecord, 2>;

// The end of a pass: every current value becomes the previous-pass copy.
inline void AgePlayerState(PlayerState& players) {
    for (auto& player : players) player.previous = player.current;
}

}  // namespace vt2
