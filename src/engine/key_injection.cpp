#include "engine/key_injection.h"

#include "engine/engine.h"

namespace vt2 {

namespace {
constexpr std::uint32_t kKeyUp = 0x0002;

struct PlayerKeys {
    std::int16_t trigger, reload, start, coin;
};

void InjectPlayerKeys(Engine& engine, const PlayerRecord& player, const PlayerKeys& keys) {
    const PlayerValues& now = player.current;
    const PlayerValues& before = player.previous;
    const std::string& mode = engine.state.inputMap.ReloadMode;
    if (now.Trigger != before.Trigger) SendKey(engine.os.input, keys.trigger, now.Trigger != 0);
    if (now.Reload != before.Reload) {
        if (mode.empty()) {
            SendKey(engine.os.input, keys.reload, now.Reload != 0);
        } else if (mode == "M2L") {
            SendKey(engine.os.input, keys.trigger, now.Reload != 0);  // the reload button works the trigger key
        } else if (mode == "VCOP") {
            if (now.Reload == 1) {
                // Tap, then hold: down, 50 ms, up, 50 ms, down until the reload is released.
                SendKey(engine.os.input, keys.reload, true);
                engine.os.clock.sleepMs(kVcopTapMs);
                SendKey(engine.os.input, keys.reload, false);
                engine.os.clock.sleepMs(kVcopTapMs);
                SendKey(engine.os.input, keys.reload, true);
            } else {
                SendKey(engine.os.input, keys.reload, now.Reload != 0);
            }
        }
    }
    if (now.Start != before.Start) SendKey(engine.os.input, keys.start, now.Start != 0);
    if (now.Coin != before.Coin) SendKey(engine.os.input, keys.coin, now.Coin != 0);
}

}  // namespace

void SendKey(SyntheticInput& input, int keyCode, bool down) {
    if (keyCode < 1 || keyCode > 255) return;
    const std::uint32_t scan = input.scanCodeOf(static_cast<std::uint32_t>(keyCode));
    input.keyEvent(static_cast<std::uint8_t>(keyCode), static_cast<std::uint8_t>(scan), down ? 0 : kKeyUp);
}

void InjectKeys(Engine& engine) {
    const InputMap& map = engine.state.inputMap;
    if (map.KeyInjection == 0) return;
    InjectPlayerKeys(engine, engine.state.players[kPlayer1],
                     {map.P1TriggerKey, map.P1ReloadKey, map.P1StartKey, map.P1CoinKey});
    InjectPlayerKeys(engine, engine.state.players[kPlayer2],
                     {map.P2TriggerKey, map.P2ReloadKey, map.P2StartKey, map.P2CoinKey});
}

void CheckExitButtons(Engine& engine) {
    HookState& s = engine.state;
    if (s.inputMap.ExitMode == 0) return;
    if (s.players[kPlayer1].current.Esc != 1 && s.players[kPlayer2].current.Esc != 1) return;
    const std::int32_t mode = s.inputMap.ExitMode;
    s.inputMap.ExitMode = 0;  // the escape buttons act once per run
    if (mode == 1) {
        // Alt+F4 to the window that has the focus, with no pauses.
        SendKey(engine.os.input, kLeftAltKey, true);
        SendKey(engine.os.input, kF4Key, true);
        SendKey(engine.os.input, kF4Key, false);
        SendKey(engine.os.input, kLeftAltKey, false);
    } else {
        engine.os.windows.postQuit(s.gameWindow);
    }
}

}  // namespace vt2
