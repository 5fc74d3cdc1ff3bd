#pragma once
// The Linux input bridge's devices as raw input mice: each gets a device handle of its own, the
// same for its path as long as VT2 runs (so a gun unplugged and plugged in again keeps its
// player), and each of its reports becomes the raw input records Windows would give for it:
// relative counts as they are, an absolute position as 0..65535 across its axis range, and one
// record per button that went down or up.

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "input/bridge_protocol.h"
#include "platform/raw_input.h"

namespace vt2 {

// Far above any handle Windows gives a raw input device.
inline constexpr std::uint32_t kBridgeHandleBase = 0x7B000000;

// At most this many devices at once, and paths over VT2's run: a peer that announces devices
// without end is refused past them (real setups have two guns and a mouse or two).
inline constexpr std::size_t kBridgeMaxDevices = 32;
inline constexpr std::size_t kBridgeMaxPathsSeen = 256;

// A sink may run a message loop (a modal box) while it takes a record, in which more bytes of the
// bridge arrive: those wait their turn and are taken after the record in hand, in order, and no
// record is made from a device that may have gone meanwhile.
class BridgeMice {
public:
    // Takes the bridge's bytes as they come; the records of its reports go to sink (none: only
    // the devices are followed).
    void take(const std::uint8_t* bytes, std::size_t length, RawMouseReportSink* sink);
    // The bridge went: every button its devices held is let go, and they are gone.
    void lost(RawMouseReportSink* sink);
    // From now on no record goes to the sink given before (it stopped listening, perhaps while
    // it took one).
    void forgetSink() { sink_ = nullptr; }
    // Its devices, as raw input lists them.
    std::vector<RawInputDevice> devices() const;
    // The bridge has told its whole first list of devices.
    bool listed() const { return listed_; }
    // Messages dropped: malformed, out of order, of unknown devices, past the bounds.
    std::uint64_t dropped() const { return droppedBefore_ + refused_ + reader_.malformed() + table_.outOfOrder(); }

private:
    struct Mouse {
        BridgeDeviceAdded info;
        std::uint32_t handle = 0;
        std::uint8_t buttons = 0;
        std::int32_t lastX = 0, lastY = 0;  // an absolute device's last position, 0..65535
    };
    struct Waiting {
        std::vector<std::uint8_t> bytes;
        bool lost = false;  // the link went at this point of the stream
    };
    using Records = std::vector<RawMouseReport>;
    void deliverWaiting();
    void apply(const BridgeMessage& message, Records& records);
    void forgetAll(Records& records);
    static void report(Mouse& mouse, const BridgeReport& report, Records& records);
    static void release(Mouse& mouse, Records& records);
    void deliver(const Records& records);
    std::optional<std::uint32_t> handleFor(const std::string& path);
    static RawInputDevice asDevice(const Mouse& mouse);

    BridgeStreamReader reader_;
    BridgeDeviceTable table_;
    std::vector<Mouse> mice_;
    std::vector<std::string> pathsSeen_;  // a handle is the base plus the place of its path here
    bool listed_ = false;
    std::uint64_t droppedBefore_ = 0;  // by the connections before
    std::uint64_t refused_ = 0;        // devices past the bounds, names and paths that cannot be kept
    std::deque<Waiting> waiting_;      // what arrived while a record was being delivered
    bool delivering_ = false;
    RawMouseReportSink* sink_ = nullptr;  // the latest caller's, read at every record
};

// An absolute position on an axis as raw input gives it: 0 at the range's minimum, 65535 at its
// maximum (outside the range, beyond them).
std::int32_t AbsoluteRawPosition(std::int32_t value, const AxisRange& range);

}  // namespace vt2
