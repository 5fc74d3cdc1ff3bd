#pragma once
// What the bridge tells the one VT2 connected to it: each device it reads, as it comes and goes,
// and each of its frames as a report numbered in order. A device that goes lets go of its buttons
// first; a new connection is told every device there and the buttons each holds.

#include <cstdint>
#include <string>
#include <vector>

#include "bridge/input_frames.h"
#include "input/bridge_protocol.h"

namespace vt2::bridge {

struct SourceDevice {
    std::string name;  // as the kernel gives it
    std::uint16_t vendor = 0;
    std::uint16_t product = 0;
    std::string path;  // its by-id or by-path link, else its event node
    bool relative = false;
    bool absolute = false;
    AxisRange x, y;
    // Its further names, best first, the event node last: the by-path link and the node, when
    // path is the by-id link. Two readings of one path (two guns alike, a link udev moved) each
    // get a number of their own through them.
    std::vector<std::string> alsoKnownAs;
};

class BridgeSession {
public:
    // A device now read; a device of a path seen before gets its number back. When another live
    // reading holds its path, the first of its further names that none holds is its path; the
    // same event node read anew takes its old reading's place.
    std::uint32_t addDevice(const SourceDevice& device);
    void removeDevice(std::uint32_t number);
    void takeEvent(std::uint32_t number, const InputEvent& event);
    // A VT2 connected: it is told every device there, then that the list is whole. With startOver (a replay played again from
    // its start), the devices' state is forgotten first.
    void connect(bool startOver);
    void disconnect() { connected_ = false; outgoing_.clear(); }
    bool connected() const { return connected_; }
    // The bytes to send since the last call (none while no VT2 is connected).
    std::vector<std::uint8_t> takeOutgoing();
    // Reports sent over every connection so far.
    std::uint64_t reportsSent() const { return reportsSent_; }

private:
    struct Present {
        std::uint32_t number;
        SourceDevice device;
        FrameAssembler frames;
        std::uint32_t sequence = 0;
    };
    Present* find(std::uint32_t number);
    void send(const BridgeMessage& message);
    void sendReport(Present& present, BridgeReport report);
    BridgeDeviceAdded added(const Present& present) const;

    std::vector<Present> present_;
    std::vector<std::string> pathsSeen_;  // a device's number is its place here, plus one
    bool connected_ = false;
    std::vector<std::uint8_t> outgoing_;
    std::uint64_t reportsSent_ = 0;
};

}  // namespace vt2::bridge
