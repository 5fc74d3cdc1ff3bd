#pragma once
// Game controllers through DirectInput 8: one device per player, read as the standard joystick
// state, with an event that is signalled when a device's state changes.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace vt2 {

// The standard joystick state: X, Y, Z, RX, RY, RZ over the range 0..10000, and 32 buttons.
struct JoystickState {
    std::array<std::int32_t, 6> axes{};
    std::array<std::uint8_t, 32> buttons{};
};

enum class JoystickRead { Ok, InputLost, NotAcquired, Failed };

// An attached game controller as a user tells it apart.
struct JoystickDescription {
    std::string name;
    std::uint16_t vendorId = 0, productId = 0;
    std::string path;  // empty when the device gives none
};

// Which axes a device has, as the table of indexes 1..8: 1 X, 2 Y, 3 Z, 4 RX, 5 RY, 6 RZ, 7 and 8 slider.
using AxisFlags = std::array<bool, 9>;

class JoystickSystem {
public:
    virtual ~JoystickSystem() = default;
    virtual bool createDirectX() = 0;       // the root object
    virtual bool createDirectInput() = 0;
    virtual void release() = 0;             // drops every device and both objects
    // The attached game controllers, counted from 1.
    virtual int attachedControllers() = 0;
    // The attached game controllers in the same order, with their names, ids and paths.
    virtual std::vector<JoystickDescription> describeControllers() = 0;
    // Creates the change events of both players; their ids are never 0.
    virtual std::array<std::uintptr_t, 2> createEvents() = 0;
    virtual void unacquire(std::size_t player) = 0;  // when the player has a device
    virtual void forget(std::size_t player) = 0;
    // Creates the player's device on controller joyId (1-based), sets the joystick data format and
    // the background, non-exclusive cooperative level; false when the device could not be made.
    virtual bool createDevice(std::size_t player, int joyId) = 0;
    virtual AxisFlags identifyAxes(std::size_t player) = 0;
    virtual void attachEvent(std::size_t player) = 0;
    virtual void setRange(std::size_t player, std::int32_t minimum, std::int32_t maximum) = 0;
    virtual void acquire(std::size_t player) = 0;
    virtual bool poll(std::size_t player) = 0;
    virtual JoystickRead readState(std::size_t player, JoystickState& state) = 0;
    // The events signalled since the last call (a wait that does not block).
    virtual std::vector<std::uintptr_t> signalledEvents() = 0;
};

}  // namespace vt2
