#include "input/device_reading.h"

#include "platform/keyboard_state.h"

namespace vt2 {

namespace {

// The combination rule: the final state is 1 when the decimal text of the counted sources holds
// a "1" (for the 0/1 states the sources give, a logical OR).
bool TextHoldsOne(std::int16_t value) {
    int v = value < 0 ? -value : value;
    do {
        if (v % 10 == 1) return true;
        v /= 10;
    } while (v != 0);
    return false;
}

std::int16_t Combine(bool deviceCounts, std::int16_t device, bool keysCount, std::int16_t key) {
    return ((deviceCounts && TextHoldsOne(device)) || (keysCount && TextHoldsOne(key))) ? 1 : 0;
}

}  // namespace

std::int16_t KeyIsDown(KeyboardState& keyboard, int virtualKey) {
    if (virtualKey < 1 || virtualKey > 255) return 0;
    const std::int16_t state = keyboard.asyncKeyState(virtualKey);
    return (state < 0 || state > 1) ? 1 : 0;
}

void ReadKeyboardKeys(KeyboardState& keyboard, const PlayerSettings& s, bool twinStick, PlayerState& players) {
    KeyStates& k = players.keyStates;
    if (s.KeysEnabled == 0) return;
    k.P1Start = KeyIsDown(keyboard, s.P1StartKey);
    k.P2Start = KeyIsDown(keyboard, s.P2StartKey);
    k.P1Coin = KeyIsDown(keyboard, s.P1CoinKey);
    k.P2Coin = KeyIsDown(keyboard, s.P2CoinKey);
    k.P1Esc = KeyIsDown(keyboard, s.P1EscKey);
    k.P2Esc = KeyIsDown(keyboard, s.P2EscKey);
    if (twinStick) {
        for (std::size_t i = 1; i <= 17; ++i) players.TwinStickKeyStates[i] = KeyIsDown(keyboard, s.TwinStickKeyMap[i]);
    }
}

void CombineButtonSources(const PlayerSettings& s, bool twinStick, PlayerState& players) {
    const KeyStates& k = players.keyStates;
    const bool devices = s.DeviceButtonsCount;
    const bool keys = s.KeysEnabled != 0;
    PlayerValues& p1 = players[kPlayer1].current;
    PlayerValues& p2 = players[kPlayer2].current;
    p1.Start = Combine(devices, p1.StartDevice, keys, k.P1Start);
    p2.Start = Combine(devices, p2.StartDevice, keys, k.P2Start);
    p1.Coin = Combine(devices, p1.CoinDevice, keys, k.P1Coin);
    p2.Coin = Combine(devices, p2.CoinDevice, keys, k.P2Coin);
    p1.Esc = Combine(devices, p1.EscDevice, keys, k.P1Esc);
    p2.Esc = Combine(devices, p2.EscDevice, keys, k.P2Esc);
    if (twinStick) {
        for (std::size_t i = 1; i <= 17; ++i) {
            players.TwinStickStates[i] = (players.TwinStickKeyStates[i] == 1 || players.TwinStickJoyStates[i] == 1) ? 1 : 0;
        }
    }
}

}  // namespace vt2
