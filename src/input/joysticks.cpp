#include "input/joysticks.h"

#include "engine/engine.h"
#include "input/raw_mouse.h"
#include "memory/debug_text.h"

namespace vt2 {

namespace {

// The twin-stick table entries that a stick's buttons drive, and the entries its axes set.
struct StickLayout {
    std::array<int, 10> buttonEntries;  // 0 ends the list
    int right, left, down, up;
};
constexpr StickLayout kLeftStick{{1, 3, 4, 5, 6, 7, 8, 9, 10, 11}, 10, 11, 8, 9};
constexpr StickLayout kRightStick{{2, 12, 13, 14, 15, 16, 17, 0, 0, 0}, 16, 17, 14, 15};

bool Pressed(const JoystickState& state, std::int16_t button) { return state.buttons[static_cast<std::size_t>(button)] > 0; }

void ApplyButton(const JoystickState& state, std::int16_t button, std::int16_t& deviceState) {
    // Numbers beyond the 32 buttons leave the function as it was.
    if (button >= 0 && button < 32) deviceState = Pressed(state, button) ? 1 : 0;
}

void ApplyTwinStick(const JoystickState& state, const PlayerConfig& config, const StickLayout& layout,
                    PlayerSettings& s) {
    for (int entry : layout.buttonEntries) {
        if (entry == 0) break;
        const std::int16_t button = s.TwinStickButtonMap[static_cast<std::size_t>(entry)];
        std::int16_t& joyState = s.TwinStickJoyStates[static_cast<std::size_t>(entry)];
        if (button < 0) {
            joyState = 0;
        } else if (button < 32) {
            joyState = Pressed(state, button) ? 1 : 0;
        }
    }
    // The axes only ever set entries, after the buttons: each entry is button OR half-axis, and
    // 0.4..0.6 is a dead zone.
    auto axis = [&](std::int16_t selector, int high, int low) {
        if (selector < 0 || selector > 5) return;
        const double v = state.axes[static_cast<std::size_t>(selector)] / 10000.0;
        if (v > 0.6) s.TwinStickJoyStates[static_cast<std::size_t>(high)] = 1;
        if (v < 0.4) s.TwinStickJoyStates[static_cast<std::size_t>(low)] = 1;
    };
    axis(config.AnalogX, layout.right, layout.left);
    axis(config.AnalogY, layout.down, layout.up);  // the vertical axis grows downward
}

}  // namespace

void Joysticks::loadJoystick(Engine& engine) {
    JoystickSystem& di = engine.os.joysticks;
    PlayerSettings& s = engine.state.settings;
    di.createDirectInput();
    if (s.players[kPlayer1].JoyID == 0 && s.players[kPlayer2].JoyID == 0) return;
    if (di.attachedControllers() == 0) {
        engine.os.messageBoxes.showMessage("No joystick attached.");
        s.players[kPlayer1].JoyID = 0;
        s.players[kPlayer2].JoyID = 0;
        return;
    }
    events_ = di.createEvents();
    di.unacquire(kPlayer1);
    di.unacquire(kPlayer2);
    di.forget(kPlayer1);
    for (std::size_t player : {kPlayer1, kPlayer2}) {
        if (player == kPlayer2) di.forget(kPlayer2);
        const std::int16_t joyId = s.players[player].JoyID;
        if (joyId <= 0) continue;
        // Each step that fails is skipped; a JoyID beyond the controllers there are gets no device.
        if (!di.createDevice(player, joyId)) continue;
        IdentifyAxes(engine, player);
        di.attachEvent(player);
        if (player == kPlayer1) {
            SetPropRange(engine);
        } else {
            SetPropRange2(engine);
        }
        di.acquire(player);
    }
    DirectXEvent8_DXCallback(engine, 0);
}

void Joysticks::IdentifyAxes(Engine& engine, std::size_t player) { axisPresent_ = engine.os.joysticks.identifyAxes(player); }

void Joysticks::SetPropRange(Engine& engine) { engine.os.joysticks.setRange(kPlayer1, 0, kJoystickRangeMax); }

void Joysticks::SetPropRange2(Engine& engine) { engine.os.joysticks.setRange(kPlayer2, 0, kJoystickRangeMax); }

bool Joysticks::applyPlayer(Engine& engine, std::size_t player) {
    JoystickSystem& di = engine.os.joysticks;
    const JoystickRead read = di.readState(player, state_);
    if (read == JoystickRead::InputLost || read == JoystickRead::NotAcquired) {
        di.acquire(player);
        return false;
    }
    // Any other failure: the shared record may hold another device's state, which is not applied.
    if (read != JoystickRead::Ok) return true;

    HookState& s = engine.state;
    const PlayerConfig& config = s.settings.players[player];
    PlayerValues& p = s.players[player].current;
    ApplyButton(state_, config.TriggerButton, p.Trigger);
    ApplyButton(state_, config.ReloadButton, p.Reload);
    ApplyButton(state_, config.StartButton, p.StartDevice);
    ApplyButton(state_, config.CoinButton, p.CoinDevice);
    ApplyButton(state_, config.EscButton, p.EscDevice);
    // The stick's position is the aim: a centred stick aims at 0.5, nothing accumulates.
    if (axisPresent_[1]) p.X = static_cast<float>(state_.axes[0] / 10000.0);
    if (axisPresent_[2]) p.Y = static_cast<float>(state_.axes[1] / 10000.0);
    if (s.descriptor.GameType == "VON") {
        ApplyTwinStick(state_, config, player == kPlayer1 ? kLeftStick : kRightStick, s.settings);
    }
    return true;
}

void Joysticks::DirectXEvent8_DXCallback(Engine& engine, std::uintptr_t event) {
    const PlayerSettings& s = engine.state.settings;
    for (std::size_t player : {kPlayer1, kPlayer2}) {
        if (s.players[player].JoyID == 0 || event == 0 || event != events_[player]) continue;
        if (!applyPlayer(engine, player)) return;
    }
    BuildDebugText(engine);
}

void Joysticks::handleSignalledEvents(Engine& engine) {
    for (std::uintptr_t event : engine.os.joysticks.signalledEvents()) DirectXEvent8_DXCallback(engine, event);
}

void Joysticks::pollIfAsked(Engine& engine) {
    const PlayerSettings& s = engine.state.settings;
    if (s.ForcePoll == 0) return;
    for (std::size_t player : {kPlayer1, kPlayer2}) {
        if (s.players[player].JoyID <= 0) continue;
        // A device that cannot be polled (lost, not acquired) is acquired again; the loop goes on.
        if (!engine.os.joysticks.poll(player)) engine.os.joysticks.acquire(player);
    }
}

void StartInputDevices(Engine& engine) {
    const PlayerSettings& s = engine.state.settings;
    const bool p1Joystick = s.players[kPlayer1].InputType == "joystick";
    const bool p2Joystick = s.players[kPlayer2].InputType == "joystick";
    engine.os.joysticks.createDirectX();
    if (p1Joystick || p2Joystick) engine.state.joysticks.loadJoystick(engine);
    if (!(p1Joystick && p2Joystick)) {
        StopRawInput(engine);
        StartRawInput(engine);
    }
}

void ReleaseDirectX(Engine& engine) { engine.os.joysticks.release(); }

}  // namespace vt2
