#pragma once
// The mice of the raw input list as a user tells them apart: by number, name, vendor and product
// id and device path; and which of them a player's saved device is, wherever it sits in the list
// now.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/raw_input.h"

namespace vt2 {

struct MouseDevice {
    int number = 0;  // the position among the mice, as MouseID counts
    std::uint32_t handle = 0;
    std::string path;
    std::string name;  // the product name, else what the path names
    std::optional<std::uint16_t> vendorId;
    std::optional<std::uint16_t> productId;
};

// The mice of a raw input device list, in its order.
std::vector<MouseDevice> ListMice(const std::vector<RawInputDevice>& devices);

// The part of a device path that stays when a driver is reinstalled or the device wakes: its
// hardware id, such as "VID_16C0&PID_0F01&MI_02&Col02" of
// "\\?\HID#VID_16C0&PID_0F01&MI_02&Col02#8&2c4d1a&0&0001#{378de44c-...}". Empty when the path
// has no such part.
std::string StableDevicePart(const std::string& path);

// A 4-digit hexadecimal id that follows tag ("VID_" or "PID_") in a path, case aside.
std::optional<std::uint16_t> DevicePathId(const std::string& path, const std::string& tag);

// How a player's mouse was found.
enum class MouseBoundBy { Position, SavedPath, StablePart };

// Where a player's mouse is now, and what the debug window says about how it was found.
struct MouseBinding {
    std::optional<std::size_t> index;  // into the mice; none: unbound
    std::string note;                  // empty when there is nothing to say
    MouseBoundBy by = MouseBoundBy::Position;
};

// The saved device (its path) when it is attached, else the one mouse that has its stable part,
// else mouseId as it stands (the position; none when negative or beyond the mice).
MouseBinding BindPlayerMouse(const std::vector<MouseDevice>& mice, std::int16_t mouseId, const std::string& savedPath,
                             int playerNumber);

// The mouse whose button a report presses (any button of any listed mouse; moves, releases,
// the wheel and this program's own input do not count): its index into the mice.
std::optional<std::size_t> MousePressingAButton(const std::vector<MouseDevice>& mice, const RawMouseReport& report);

}  // namespace vt2
