#include "outputs/gun_port_names.h"

#include <cstdio>

#include "common/text.h"

namespace vt2 {

namespace {

// "VID_2341" in "...VID_2341&PID_8036...": the four hexadecimal digits after the tag.
std::optional<std::uint16_t> HexAfter(std::string_view upper, std::string_view tag) {
    const std::size_t at = upper.find(tag);
    if (at == std::string_view::npos || at + tag.size() + 4 > upper.size()) return std::nullopt;
    unsigned value = 0;
    for (char c : upper.substr(at + tag.size(), 4)) {
        const bool digit = c >= '0' && c <= '9';
        const bool letter = c >= 'A' && c <= 'F';
        if (!digit && !letter) return std::nullopt;
        value = value * 16 + static_cast<unsigned>(digit ? c - '0' : c - 'A' + 10);
    }
    return static_cast<std::uint16_t>(value);
}

std::string UpperAscii(std::string_view text) {
    std::string upper(text);
    for (char& c : upper) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return upper;
}

}  // namespace

std::optional<UsbSerialId> UsbIdOfInstance(std::string_view instanceId) {
    const std::string trimmed = TrimBlanks(instanceId);
    const std::string upper = UpperAscii(trimmed);
    const std::size_t from = upper.starts_with("USB\\") ? 4 : 0;
    const std::size_t end = upper.find('\\', from);
    const std::string ids = upper.substr(from, end == std::string::npos ? std::string::npos : end - from);
    constexpr std::size_t kIdsSize = 17;  // "VID_xxxx&PID_xxxx"
    if (!ids.starts_with("VID_") || ids.find("&PID_") != 8) return std::nullopt;
    const auto vendor = HexAfter(ids, "VID_");
    const auto product = HexAfter(ids, "&PID_");
    if (!vendor || !product) return std::nullopt;
    const bool interface = ids.size() > kIdsSize && ids.substr(kIdsSize, 4) == "&MI_";
    if (ids.size() != kIdsSize && !interface) return std::nullopt;
    UsbSerialId id{*vendor, *product, {}};
    // An interface's last part is Windows' own number for it, not the gun's serial.
    if (end != std::string::npos && !interface) id.serial = trimmed.substr(end + 1);
    return id;
}

std::optional<GunPortName> ParseGunPortName(std::string_view text) {
    const std::string name = TrimBlanks(text);
    if (name.size() > 1 && name.front() == '/') return GunPortName{name, {}};
    const auto usb = UsbIdOfInstance(name);
    if (!usb) return std::nullopt;
    return GunPortName{{}, *usb};
}

std::string GunPortNameText(const GunPortName& name) {
    if (!name.linuxPath.empty()) return name.linuxPath;
    char ids[32];
    std::snprintf(ids, sizeof ids, "USB\\VID_%04X&PID_%04X", name.usb.vendor, name.usb.product);
    return name.usb.serial.empty() ? std::string(ids) : std::string(ids) + "\\" + name.usb.serial;
}

std::optional<int> FindUsbSerialPort(const UsbSerialId& wanted, const std::vector<ListedSerialPort>& ports) {
    for (const ListedSerialPort& port : ports) {
        for (const std::string& instance : port.instanceIds) {
            const auto id = UsbIdOfInstance(instance);
            if (!id || id->vendor != wanted.vendor || id->product != wanted.product) continue;
            if (wanted.serial.empty() || EqualsIgnoreCase(id->serial, wanted.serial)) return port.com;
        }
    }
    return std::nullopt;
}

}  // namespace vt2
