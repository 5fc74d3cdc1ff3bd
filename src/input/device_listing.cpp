#include "input/device_listing.h"

#include <cstdio>

namespace vt2 {

namespace {

std::string Hex4(const std::optional<std::uint16_t>& id) {
    if (!id) return "----";
    char text[8];
    std::snprintf(text, sizeof text, "%04X", static_cast<unsigned>(*id));
    return text;
}

std::string Entry(int number, const std::string& name, const std::optional<std::uint16_t>& vendor,
                  const std::optional<std::uint16_t>& product, const std::string& path) {
    return "  " + std::to_string(number) + "  " + name + "  vendor " + Hex4(vendor) + "  product " + Hex4(product) +
           "\r\n     " + (path.empty() ? std::string("(no path)") : path) + "\r\n";
}

}  // namespace

std::string DeviceListing(const std::vector<MouseDevice>& mice, const std::vector<JoystickDescription>& joysticks) {
    std::string text = "Raw input mice (Device # of a mouse or light-gun player, MouseID):\r\n";
    for (const MouseDevice& m : mice) text += Entry(m.number, m.name, m.vendorId, m.productId, m.path);
    if (mice.empty()) text += "  (none)\r\n";
    text += "DirectInput joysticks (Device # of a joystick player, JoyID):\r\n";
    for (std::size_t i = 0; i < joysticks.size(); ++i) {
        const JoystickDescription& j = joysticks[i];
        text += Entry(static_cast<int>(i) + 1, j.name, j.vendorId, j.productId, j.path);
    }
    if (joysticks.empty()) text += "  (none)\r\n";
    return text;
}

}  // namespace vt2
