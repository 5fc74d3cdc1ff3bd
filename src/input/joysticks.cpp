#include "input/joysticks.h"

#include "platform/message_boxes.h"

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
                    const PlayerSettings& s, TwinStickTable& joyStates) {
    for (int entry : layout.buttonEntries) {
        if (entry == 0) break;
        const std::int16_t button = s.TwinStickButtonMap[static_cast<std::size_t>(entry)];
        // A number beyond the 32 buttons is no button: left as it was, an entry that an axis
        // also sets would stay pressed for good.
        const bool pressed = button >= 0 && button < 32 && Pressed(state, button);
        joyStates[static_cast<std::size_t>(entry)] = pressed ? 1 : 0;
    }
    // The axes only ever set entries, after the buttons: each entry is button OR half-axis, and
    // 0.4..0.6 is a dead zone.
    auto axis = [&](std::int16_t selector, int high, int low) {
        if (selector < 0 || selector > 5) return;
        const double v = state.axes[static_cast<std::size_t>(selector)] / 10000.0;
        if (v > 0.6) joyStates[static_cast<std::size_t>(high)] = 1;
        if (v < 0.4) joyStates[static_cast<std::size_t>(low)] = 1;
    };
    axis(config.AnalogX, layout.right, layout.left);
    axis(config.AnalogY, layout.down, layout.up);  // the vertical axis grows downward
}

}  // namespace

bool Joysticks::loadJoystick(JoystickSystem& di, MessageBoxes& messageBoxes, PlayerSettings& s) {
    di.createDirectInput();
    if (s.players[kPlayer1].JoyID == 0 && s.players[kPlayer2].JoyID == 0) return false;
    if (di.attachedControllers() == 0) {
        messageBoxes.showMessage("No joystick attached.");
        s.players[kPlayer1].JoyID = 0;
        s.players[kPlayer2].JoyID = 0;
        return false;
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
        IdentifyAxes(di, player);
        di.attachEvent(player);
        if (player == kPlayer1) {
            SetPropRange(di);
        } else {
            SetPropRange2(di);
        }
        di.acquire(player);
    }
    // The set-up ends with the event handler for event 0, which matches no device: all it does
    // is the refresh of the debug text.
    return true;
}

void Joysticks::IdentifyAxes(JoystickSystem& di, std::size_t player) { axisPresent_ = di.identifyAxes(player); }

void Joysticks::SetPropRange(JoystickSystem& di) { di.setRange(kPlayer1, 0, kJoystickRangeMax); }

void Joysticks::SetPropRange2(JoystickSystem& di) { di.setRange(kPlayer2, 0, kJoystickRangeMax); }

bool Joysticks::applyPlayer(JoystickSystem& di, const PlayerSettings& settings, bool twinStick, PlayerState& players,
                            std::size_t player) {
    const JoystickRead read = di.readState(player, state_);
    if (read == JoystickRead::InputLost || read == JoystickRead::NotAcquired) {
        di.acquire(player);
        return false;
    }
    // Any other failure: the shared record may hold another device's state, which is not applied.
    if (read != JoystickRead::Ok) return true;

    const PlayerConfig& config = settings.players[player];
    PlayerValues& p = players[player].current;
    ApplyButton(state_, config.TriggerButton, p.Trigger);
    ApplyButton(state_, config.ReloadButton, p.Reload);
    ApplyButton(state_, config.StartButton, p.StartDevice);
    ApplyButton(state_, config.CoinButton, p.CoinDevice);
    ApplyButton(state_, config.EscButton, p.EscDevice);
    // The stick's position is the aim: a centred stick aims at 0.5, nothing accumulates.
    if (axisPresent_[1]) p.X = static_cast<float>(state_.axes[0] / 10000.0);
    if (axisPresent_[2]) p.Y = static_cast<float>(state_.axes[1] / 10000.0);
    if (twinStick) {
        ApplyTwinStick(state_, config, player == kPlayer1 ? kLeftStick : kRightStick, settings,
                       players.TwinStickJoyStates);
    }
    return true;
}

bool Joysticks::DirectXEvent8_DXCallback(JoystickSystem& di, const PlayerSettings& settings, bool twinStick,
                                         PlayerState& players, std::uintptr_t event) {
    for (std::size_t player : {kPlayer1, kPlayer2}) {
        if (settings.players[player].JoyID == 0 || event == 0 || event != events_[player]) continue;
        if (!applyPlayer(di, settings, twinStick, players, player)) return false;
    }
    return true;
}

bool Joysticks::PollingAsked(const PlayerSettings& s) {
    return s.ForcePoll != 0 && (s.players[kPlayer1].JoyID > 0 || s.players[kPlayer2].JoyID > 0);
}

void Joysticks::pollIfAsked(JoystickSystem& di, const PlayerSettings& s) {
    if (!PollingAsked(s)) return;
    for (std::size_t player : {kPlayer1, kPlayer2}) {
        if (s.players[player].JoyID <= 0) continue;
        // A device that cannot be polled (lost, not acquired) is acquired again; the loop goes on.
        if (!di.poll(player)) di.acquire(player);
    }
}

}  // namespace vt2
