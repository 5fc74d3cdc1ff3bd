#include "input/mouse_devices.h"

#include <charconv>

#include "common/text.h"
#include "platform/synthetic_input.h"

namespace vt2 {

namespace {

// The '#' groups of a path: "\\?\HID", the hardware id, the instance, the interface class.
std::vector<std::string> PathGroups(const std::string& path) { return SplitText(path, '#'); }

std::string NameFromPath(const std::string& path) {
    const std::vector<std::string> groups = PathGroups(path);
    if (groups.size() >= 2 && !groups[1].empty()) return groups[1];
    return path;
}

}  // namespace

std::vector<MouseDevice> ListMice(const std::vector<RawInputDevice>& devices) {
    std::vector<MouseDevice> mice;
    for (const RawInputDevice& d : devices) {
        if (d.type != kRawInputTypeMouse) continue;
        MouseDevice m;
        m.number = static_cast<int>(mice.size());
        m.handle = d.handle;
        m.path = d.path;
        m.name = !TrimBlanks(d.productName).empty() ? TrimBlanks(d.productName) : NameFromPath(d.path);
        m.vendorId = d.vendorId ? d.vendorId : DevicePathId(d.path, "VID_");
        m.productId = d.productId ? d.productId : DevicePathId(d.path, "PID_");
        mice.push_back(std::move(m));
    }
    return mice;
}

std::string StableDevicePart(const std::string& path) {
    const std::vector<std::string> groups = PathGroups(path);
    // Without an instance group after it, a path has no part that could change on its own.
    if (groups.size() < 3 || groups[1].empty()) return {};
    return groups[1];
}

std::optional<std::uint16_t> DevicePathId(const std::string& path, const std::string& tag) {
    const std::string lower = ToLowerAscii(path);
    const std::size_t at = lower.find(ToLowerAscii(tag));
    if (at == std::string::npos || at + tag.size() + 4 > lower.size()) return std::nullopt;
    const char* digits = lower.data() + at + tag.size();
    std::uint16_t value = 0;
    const auto [end, error] = std::from_chars(digits, digits + 4, value, 16);
    if (error != std::errc() || end != digits + 4) return std::nullopt;
    return value;
}

MouseBinding BindPlayerMouse(const std::vector<MouseDevice>& mice, std::int16_t mouseId, const std::string& savedPath,
                             int playerNumber) {
    const std::string player = "Player " + std::to_string(playerNumber);
    const std::string saved = TrimBlanks(savedPath);
    MouseBinding byPosition;
    if (mouseId >= 0 && static_cast<std::size_t>(mouseId) < mice.size()) byPosition.index = static_cast<std::size_t>(mouseId);
    if (saved.empty()) return byPosition;

    // Windows compares device paths without regard to case, and so does this.
    for (std::size_t i = 0; i < mice.size(); ++i) {
        if (EqualsIgnoreCase(mice[i].path, saved)) return {i, {}, MouseBoundBy::SavedPath};
    }
    const std::string stable = StableDevicePart(saved);
    std::vector<std::size_t> alike;
    if (!stable.empty()) {
        for (std::size_t i = 0; i < mice.size(); ++i) {
            if (EqualsIgnoreCase(StableDevicePart(mice[i].path), stable)) alike.push_back(i);
        }
    }
    const std::string position = "MouseID " + std::to_string(mouseId) + " applies";
    if (alike.size() == 1) {
        const MouseDevice& m = mice[alike.front()];
        return {alike.front(), player + ": the saved device was not found as it was saved; bound to " + m.name +
                                   " (device " + std::to_string(m.number) + "), which has the same " + stable,
                MouseBoundBy::StablePart};
    }
    byPosition.note = alike.empty()
                          ? player + ": the saved device was not found (" + saved + "); " + position
                          : player + ": the saved device was not found, and " + std::to_string(alike.size()) +
                                " attached mice have its " + stable + "; " + position;
    return byPosition;
}

std::optional<std::size_t> MousePressingAButton(const std::vector<MouseDevice>& mice, const RawMouseReport& report) {
    // The down transitions of buttons 1 to 5 are the even bits of the low half.
    constexpr std::uint32_t kButtonDowns = 0x0001 | 0x0004 | 0x0010 | 0x0040 | 0x0100;
    if (report.extraInformation == kSyntheticInputTag || (report.buttons & kButtonDowns) == 0) return std::nullopt;
    for (std::size_t i = 0; i < mice.size(); ++i) {
        if (mice[i].handle == report.device) return i;
    }
    return std::nullopt;
}

}  // namespace vt2
