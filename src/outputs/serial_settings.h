#pragma once
// A serial port's settings as the guns' files write them: "baud=9600_parity=N_data=8_stop=1".

#include <optional>
#include <string_view>

namespace vt2 {

struct SerialSettings {
    unsigned baud = 9600;
    char parity = 'N';  // N, E, O, M or S
    unsigned dataBits = 8;
    unsigned stopBits = 1;  // 1 or 2
    bool operator==(const SerialSettings&) const = default;
};

// Each part overrides the default it names; none when a part is no setting or out of range.
std::optional<SerialSettings> ParseSerialSettings(std::string_view text);

}  // namespace vt2
