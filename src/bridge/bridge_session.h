#pragma once
// What the bridge tells each VT2 connected to it (a run and the configuration tool may be at
// once): each device it reads, as it comes and goes, and each of its frames as a report numbered
// in order. A device that goes lets go of its buttons first; a new connection is told every device
// there and the buttons each holds, and the others go on as they were.

#include <cstdint>
#include <string>
#include <vector>

#include "bridge/bridge_input_frames.h"
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
    // A VT2 connected (under a number of the caller's): it is told every device there, then that
    // the list is whole. With startOver (a replay played again from its start, which only the
    // first connection asks for), the devices' state is forgotten first.
    void connect(std::uint32_t connection, bool startOver);
    void disconnect(std::uint32_t connection);
    std::size_t connections() const { return connections_.size(); }
    // The bytes to send to that connection since the last call.
    std::vector<std::uint8_t> takeOutgoing(std::uint32_t connection);
    // Reports sent over every connection so far.
    std::uint64_t reportsSent() const { return reportsSent_; }

private:
    struct Present {
        std::uint32_t number;
        SourceDevice device;
        FrameAssembler frames;
        std::uint32_t sequence = 0;  // over every connection: each only needs it to climb
    };
    struct Connection {
        std::uint32_t number;
        std::vector<std::uint8_t> outgoing;
    };
    Present* find(std::uint32_t number);
    // To every connection, or to one (a newcomer's list).
    void send(const BridgeMessage& message, Connection* only = nullptr);
    void sendReport(Present& present, BridgeReport report, Connection* only = nullptr);
    BridgeDeviceAdded added(const Present& present) const;

    std::vector<Present> present_;
    std::vector<std::string> pathsSeen_;  // a device's number is its place here, plus one
    std::vector<Connection> connections_;
    std::uint64_t reportsSent_ = 0;
};

}  // namespace vt2::bridge
