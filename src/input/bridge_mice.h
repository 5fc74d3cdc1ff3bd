#pragma once
// The Linux input bridge's devices as raw input mice: each gets a device handle of its own, the
// same for its path as long as VT2 runs (so a gun unplugged and plugged in again keeps its
// player), and each of its reports becomes the raw input records Windows would give for it:
// relative counts as they are, an absolute position as 0..65535 across its axis range, and one
// record per button that went down or up.

#include <cstdint>
#include <string>
#include <vector>

#include "input/bridge_protocol.h"
#include "platform/raw_input.h"

namespace vt2 {

// Far above any handle Windows gives a raw input device.
inline constexpr std::uint32_t kBridgeHandleBase = 0x7B000000;

class BridgeMice {
public:
    // Takes the bridge's bytes as they come; the records of its reports go to sink (none: only
    // the devices are followed).
    void take(const std::uint8_t* bytes, std::size_t length, RawMouseReportSink* sink);
    // The bridge went: every button its devices held is let go, and they are gone.
    void lost(RawMouseReportSink* sink);
    // Its devices, as raw input lists them.
    std::vector<RawInputDevice> devices() const;
    // The bridge has told its whole first list of devices.
    bool listed() const { return listed_; }
    // Messages dropped: malformed, out of order, of unknown devices.
    std::uint64_t dropped() const { return droppedBefore_ + reader_.malformed() + table_.outOfOrder(); }

private:
    struct Mouse {
        BridgeDeviceAdded info;
        std::uint32_t handle = 0;
        std::uint8_t buttons = 0;
        std::int32_t lastX = 0, lastY = 0;  // an absolute device's last position, 0..65535
    };
    void apply(const BridgeMessage& message, RawMouseReportSink* sink);
    void report(Mouse& mouse, const BridgeReport& report, RawMouseReportSink* sink);
    void release(Mouse& mouse, RawMouseReportSink* sink);
    std::uint32_t handleFor(const std::string& path);
    static RawInputDevice asDevice(const Mouse& mouse);

    BridgeStreamReader reader_;
    BridgeDeviceTable table_;
    std::vector<Mouse> mice_;
    std::vector<std::string> pathsSeen_;  // a handle is the base plus the place of its path here
    bool listed_ = false;
    std::uint64_t droppedBefore_ = 0;  // by the connections before
};

// An absolute position on an axis as raw input gives it: 0 at the range's minimum, 65535 at its
// maximum (outside the range, beyond them).
std::int32_t AbsoluteRawPosition(std::int32_t value, const AxisRange& range);

}  // namespace vt2
