#pragma once
// Joysticks drive a player's aim (axis / 10000) and buttons, and for the twin-stick game the
// stick and button functions of the twin-stick tables.

#include <array>
#include <cstdint>

#include "platform/joystick_system.h"

namespace vt2 {

struct Engine;

class Joysticks {
public:
    // Sets up a device per player that has a JoyID; "No joystick attached." when there is none.
    void loadJoystick(Engine& engine);
    // Handles one state change; event 0 matches no device and only refreshes the debug text.
    void DirectXEvent8_DXCallback(Engine& engine, std::uintptr_t event);
    void IdentifyAxes(Engine& engine, std::size_t player);
    void SetPropRange(Engine& engine);
    void SetPropRange2(Engine& engine);
    // The events that fired since the last pass, each handled in turn.
    void handleSignalledEvents(Engine& engine);
    void pollIfAsked(Engine& engine);

    const AxisFlags& AxisPresent() const { return axisPresent_; }

private:
    // False when the callback must end (the device was lost and is being acquired again).
    bool applyPlayer(Engine& engine, std::size_t player);

    std::array<std::uintptr_t, 2> events_{};
    AxisFlags axisPresent_{};  // one table for both devices: the device identified last decides
    JoystickState state_{};
};

inline constexpr std::int32_t kJoystickRangeMax = 10000;

// The device part of the game-start tick: the DirectX root object, the joysticks when a player
// uses one, and raw mouse input unless both players use joysticks.
void StartInputDevices(Engine& engine);
void ReleaseDirectX(Engine& engine);

}  // namespace vt2
