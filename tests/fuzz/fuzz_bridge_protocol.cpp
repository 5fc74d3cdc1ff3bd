// The bridge's messages as a hostile or broken peer could send them: any bytes, cut anywhere.
// The reader never takes a message that would not encode back to itself, and the device table
// lets no report of an unknown device through.
#include <algorithm>

#include "fuzz_support.h"
#include "input/bridge_protocol.h"

using namespace vt2;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    // The first byte cuts the rest into pieces of that many bytes (1..256), as a socket may.
    const std::size_t piece = static_cast<std::size_t>(data[0]) + 1;
    BridgeStreamReader reader;
    BridgeDeviceTable table;
    std::vector<BridgeMessage> messages;
    for (std::size_t at = 1; at < size; at += piece) reader.take(data + at, std::min(piece, size - at), messages);
    for (const BridgeMessage& m : messages) {
        BridgeStreamReader again;
        std::vector<BridgeMessage> back;
        const std::vector<std::uint8_t> bytes = EncodeBridgeMessage(m);
        again.take(bytes.data(), bytes.size(), back);
        fuzz::Check(back.size() == 1 && back[0] == m, "a message taken that does not encode back to itself");
        const auto admitted = table.admit(m);
        if (const auto* r = admitted ? std::get_if<BridgeReport>(&*admitted) : nullptr) {
            bool known = false;
            for (const auto& d : table.devices()) known = known || d.device == r->device;
            fuzz::Check(known, "a report of a device never added let through");
            fuzz::Check((r->buttons & ~kBridgeAllButtons) == 0, "buttons beyond the five");
        }
    }
    return 0;
}
