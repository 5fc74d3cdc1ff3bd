#include "outputs/serial_settings.h"

#include "common/numbers.h"
#include "common/text.h"

namespace vt2 {

std::optional<SerialSettings> ParseSerialSettings(std::string_view text) {
    SerialSettings settings;
    for (const std::string& part : SplitText(text, '_')) {
        if (TrimBlanks(part).empty()) continue;
        const std::size_t equals = part.find('=');
        if (equals == std::string::npos) return std::nullopt;
        const std::string name = ToLowerAscii(TrimBlanks(part.substr(0, equals)));
        const std::string value = TrimBlanks(part.substr(equals + 1));
        const auto number = ParseWholeNumber(value);
        if (name == "baud" && number && *number >= 110 && *number <= 4000000) {
            settings.baud = static_cast<unsigned>(*number);
        } else if (name == "parity" && value.size() == 1 && std::string_view("NEOMSneoms").find(value[0]) != std::string_view::npos) {
            settings.parity = static_cast<char>(value[0] & ~0x20);
        } else if (name == "data" && number && *number >= 5 && *number <= 8) {
            settings.dataBits = static_cast<unsigned>(*number);
        } else if (name == "stop" && number && (*number == 1 || *number == 2)) {
            settings.stopBits = static_cast<unsigned>(*number);
        } else {
            return std::nullopt;
        }
    }
    return settings;
}

}  // namespace vt2
