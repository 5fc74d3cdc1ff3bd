#pragma once
// A gun's serial port opened by the bridge for VT2 under Wine, by its stable Linux name
// (/dev/serial/by-id/...): only a terminal device is opened, never as the bridge's controlling
// terminal (so a gun pulled out hangs up nobody), and a write waits for a slow gun no longer than
// a gun's command is worth.

#include <memory>
#include <string>
#include <string_view>

#include "input/bridge_protocol.h"

namespace vt2::bridge {

class SerialPort {
public:
    // Nothing, and why, when the path is no terminal device or does not take the settings.
    static std::unique_ptr<SerialPort> Open(const BridgeSerialOpen& request, std::string& why);
    ~SerialPort();
    SerialPort(const SerialPort&) = delete;
    SerialPort& operator=(const SerialPort&) = delete;

    // False, and why, when the gun went away or took nothing for too long.
    bool write(std::string_view bytes, std::string& why);

private:
    explicit SerialPort(int descriptor) : fd_(descriptor) {}
    int fd_;
};

}  // namespace vt2::bridge
