// VT2's side of the bridge stream, with a sink that re-enters as a modal box's message loop would:
// from inside some records it hands BridgeMice the next piece of the stream, or the link's loss.
// Whatever the peer sends and wherever the re-entry falls, every button of every device goes down
// and up in turn, and after the link is lost none is left held.
#include <algorithm>
#include <map>

#include "fuzz_support.h"
#include "input/bridge_mice.h"

using namespace vt2;

namespace {

class ReenteringSink final : public RawMouseReportSink {
public:
    ReenteringSink(BridgeMice& mice, const std::uint8_t* data, std::size_t size, std::size_t piece, std::uint8_t pattern)
        : mice_(mice), data_(data), size_(size), piece_(piece), pattern_(pattern) {}

    // The next piece of the stream, from outside or (some records) from inside a record.
    bool feed() {
        if (at_ >= size_) return false;
        const std::size_t length = std::min(piece_, size_ - at_);
        const std::uint8_t* bytes = data_ + at_;
        at_ += length;
        mice_.take(bytes, length, this);
        return true;
    }

    void onMouseReport(const RawMouseReport& report) override {
        for (int bit = 0; bit < 5; ++bit) {
            const bool down = report.buttons & (1u << (2 * bit));
            const bool up = report.buttons & (1u << (2 * bit + 1));
            bool& held = held_[report.device][bit];
            if (down) fuzz::Check(!held, "a button went down twice without going up");
            if (up) fuzz::Check(held, "a button went up that was not down");
            if (down) held = true;
            if (up) held = false;
        }
        ++records_;
        // Re-enter on the records the pattern picks: bit 0 feeds, bit 1 loses the link.
        if (records_ % 3 == static_cast<unsigned>(pattern_ % 3)) {
            if (pattern_ & 0x10) mice_.lost(this);
            else feed();
        }
    }

    bool anyHeld() const {
        for (const auto& [device, buttons] : held_) {
            if (std::any_of(std::begin(buttons), std::end(buttons), [](bool b) { return b; })) return true;
        }
        return false;
    }

private:
    BridgeMice& mice_;
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t piece_;
    std::uint8_t pattern_;
    std::size_t at_ = 0;
    unsigned records_ = 0;
    std::map<std::uint32_t, bool[5]> held_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    // The first byte cuts the stream into pieces of that many bytes (1..256), the second says
    // where the sink re-enters and how.
    const std::size_t piece = static_cast<std::size_t>(data[0]) + 1;
    BridgeMice mice;
    ReenteringSink sink(mice, data + 2, size - 2, piece, data[1]);
    while (sink.feed()) {
    }
    fuzz::Check(mice.devices().size() <= kBridgeMaxDevices, "more devices than the bound");
    mice.lost(&sink);
    fuzz::Check(!sink.anyHeld(), "a button left held after the link was lost");
    fuzz::Check(mice.devices().empty(), "devices left after the link was lost");
    return 0;
}
