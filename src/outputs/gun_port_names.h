#pragma once
// A gun's port by a name that stays when guns are plugged in another order: vt2.ini [Feedback]
// COM<N>= gives the port a feedback file calls COM N a stable name, either a Linux path (VT2
// under Wine: /dev/serial/by-id/..., opened through Wine's view of the Linux files) or the gun's
// USB vendor, product and serial as Windows lists them (USB\VID_2341&PID_8036\HG0001), found
// among the serial ports each time the port is opened.

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vt2 {

struct UsbSerialId {
    std::uint16_t vendor = 0;
    std::uint16_t product = 0;
    std::string serial;  // empty: any gun of that vendor and product
    bool operator==(const UsbSerialId&) const = default;
};

struct GunPortName {
    std::string linuxPath;  // not empty: this Linux path
    UsbSerialId usb;        // else the serial port of this USB device
    bool operator==(const GunPortName&) const = default;
};

// "/dev/serial/by-id/usb-...", "USB\VID_2341&PID_8036\HG0001", "VID_2341&PID_8036" (any case);
// none for anything else.
std::optional<GunPortName> ParseGunPortName(std::string_view text);
// As the settings write it, and as the debug window shows it.
std::string GunPortNameText(const GunPortName& name);

// A serial port as Windows lists it: its COM number, and the device instance ids of the port's
// device and of the device above it (a composite USB gun's serial number is its parent's).
struct ListedSerialPort {
    int com = 0;
    std::vector<std::string> instanceIds;
};

// The USB device an instance id names: "USB\VID_2341&PID_8036\HG0001" (the last part is the
// serial only when the id is not an interface's, "&MI_xx"); none for a device not on USB.
std::optional<UsbSerialId> UsbIdOfInstance(std::string_view instanceId);
// The COM number of the first port whose device (or parent) has that id; none when no such port
// is attached.
std::optional<int> FindUsbSerialPort(const UsbSerialId& wanted, const std::vector<ListedSerialPort>& ports);

}  // namespace vt2
