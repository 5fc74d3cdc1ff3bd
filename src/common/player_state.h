#pragma once
// What the run currently believes about the players: each player's aim and buttons with their
// previous-pass copies, and the other state that one pass leaves for the next (the keyboard keys,
// the twin-stick functions and the twin-stick bank bytes). The settings files hold none of it.

#include <array>
#include <cstddef>
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

// The twin-stick tables, indexes 1..17 (0 unused):
//  1 player 1 coin, 2 player 2 coin, 3 test, 4 service, 5 start,
//  6..11 left stick: shot, dash, down, up, right, left,
//  12..17 right stick: shot, dash, down, up, right, left.
using TwinStickTable = std::array<std::int16_t, 18>;

// The keyboard keys of the player settings as the last pass read them, 1 while down.
struct KeyStates {
    std::int16_t P1Start = 0, P2Start = 0, P1Coin = 0, P2Coin = 0, P1Esc = 0, P2Esc = 0;
};

struct PlayerState {
    std::array<PlayerRecord, 2> records{};
    KeyStates keyStates;
    TwinStickTable TwinStickJoyStates{};  // what the joysticks last reported
    TwinStickTable TwinStickKeyStates{};  // what the keyboard keys last read
    TwinStickTable TwinStickStates{};     // both combined: what the game is given
    std::array<std::int16_t, 3> previousBanks{};  // the twin-stick bank bytes of the previous pass

    PlayerRecord& operator[](std::size_t player) { return records[player]; }
    const PlayerRecord& operator[](std::size_t player) const { return records[player]; }
};

// The end of a pass: every current value becomes the previous-pass copy.
inline void AgePlayerState(PlayerState& players) {
    for (PlayerRecord& player : players.records) player.previous = player.current;
}

}  // namespace vt2
