#pragma once
// Joysticks drive a player's aim (axis / 10000) and buttons, and for the twin-stick game the
// stick and button functions of the twin-stick tables.

#include <array>
#include <cstdint>

#include "common/player_state.h"
#include "input/player_settings.h"
#include "platform/joystick_system.h"

namespace vt2 {

class MessageBoxes;

// The joystick event handler ends by refreshing the debug text, which is the caller's to do: each
// handler below says by its result whether it got that far.
class Joysticks {
public:
    // Sets up a device per player that has a JoyID; "No joystick attached." when there is none,
    // and both JoyIDs become 0. True when the set-up got to its end, which handles event 0.
    bool loadJoystick(JoystickSystem& di, MessageBoxes& messageBoxes, PlayerSettings& settings);
    // Handles one state change into the players' aim and buttons (and, for the twin-stick game,
    // its joystick states). Event 0 matches no device. False when the event ended early because
    // a lost device is being acquired again.
    bool DirectXEvent8_DXCallback(JoystickSystem& di, const PlayerSettings& settings, bool twinStick,
                                  PlayerState& players, std::uintptr_t event);
    void IdentifyAxes(JoystickSystem& di, std::size_t player);
    void SetPropRange(JoystickSystem& di);
    void SetPropRange2(JoystickSystem& di);
    // Polls each player's joystick when the settings ask for polling (ForcePoll).
    void pollIfAsked(JoystickSystem& di, const PlayerSettings& settings);
    // The settings ask the main loop to poll a player's joystick on every pass (ForcePoll).
    static bool PollingAsked(const PlayerSettings& settings);

    const AxisFlags& AxisPresent() const { return axisPresent_; }
    // The players' change events (0 where none was made): what a waiting loop also wakes for.
    const std::array<std::uintptr_t, 2>& events() const { return events_; }

private:
    // False when the callback must end (the device was lost and is being acquired again).
    bool applyPlayer(JoystickSystem& di, const PlayerSettings& settings, bool twinStick, PlayerState& players,
                     std::size_t player);

    std::array<std::uintptr_t, 2> events_{};
    AxisFlags axisPresent_{};  // one table for both devices: the device identified last decides
    JoystickState state_{};
};

inline constexpr std::int32_t kJoystickRangeMax = 10000;

}  // namespace vt2
