#include "bridge/bridge_session.h"

#include <algorithm>

namespace vt2::bridge {

namespace {
const std::string& NodeOf(const SourceDevice& device) {
    return device.alsoKnownAs.empty() ? device.path : device.alsoKnownAs.back();
}
}  // namespace

std::uint32_t BridgeSession::addDevice(const SourceDevice& device) {
    std::vector<std::string> names{device.path};
    names.insert(names.end(), device.alsoKnownAs.begin(), device.alsoKnownAs.end());
    SourceDevice taken = device;
    for (const std::string& name : names) {
        const auto holder = std::find_if(present_.begin(), present_.end(), [&](const Present& p) { return p.device.path == name; });
        if (holder != present_.end() && NodeOf(holder->device) != NodeOf(device)) continue;  // another live gun's
        taken.path = name;
        break;
    }
    auto seen = std::find(pathsSeen_.begin(), pathsSeen_.end(), taken.path);
    if (seen == pathsSeen_.end()) seen = pathsSeen_.insert(pathsSeen_.end(), taken.path);
    const auto number = static_cast<std::uint32_t>(seen - pathsSeen_.begin()) + 1;
    if (find(number)) removeDevice(number);  // the same node read anew: the old reading is gone
    present_.push_back({number, std::move(taken), FrameAssembler(number)});
    send(added(present_.back()));
    return number;
}

void BridgeSession::removeDevice(std::uint32_t number) {
    Present* present = find(number);
    if (!present) return;
    if (auto release = present->frames.releaseAll()) sendReport(*present, *release);
    send(BridgeDeviceRemoved{number});
    present_.erase(present_.begin() + (present - present_.data()));
}

void BridgeSession::takeEvent(std::uint32_t number, const InputEvent& event) {
    Present* present = find(number);
    if (!present) return;
    if (auto report = present->frames.take(event)) sendReport(*present, *report);
}

void BridgeSession::connect(std::uint32_t connection, bool startOver) {
    disconnect(connection);
    const bool first = connections_.empty();
    connections_.push_back({connection, {}});
    Connection& newcomer = connections_.back();
    for (Present& present : present_) {
        if (startOver && first) present.frames = FrameAssembler(present.number);
        if (first) present.sequence = 0;  // nobody else counts on it: from 1 again
        send(added(present), &newcomer);
        const BridgeReport state = present.frames.state();
        if (state.buttons != 0 || state.hasPosition) sendReport(present, state, &newcomer);
    }
    send(BridgeDevicesListed{}, &newcomer);
}

void BridgeSession::disconnect(std::uint32_t connection) {
    std::erase_if(connections_, [&](const Connection& c) { return c.number == connection; });
}

std::vector<std::uint8_t> BridgeSession::takeOutgoing(std::uint32_t connection) {
    std::vector<std::uint8_t> bytes;
    for (Connection& c : connections_) {
        if (c.number == connection) bytes.swap(c.outgoing);
    }
    return bytes;
}

BridgeSession::Present* BridgeSession::find(std::uint32_t number) {
    const auto it = std::find_if(present_.begin(), present_.end(), [&](const Present& p) { return p.number == number; });
    return it == present_.end() ? nullptr : &*it;
}

void BridgeSession::send(const BridgeMessage& message, Connection* only) {
    if (connections_.empty()) return;
    const std::vector<std::uint8_t> bytes = EncodeBridgeMessage(message);
    for (Connection& c : connections_) {
        if (!only || &c == only) c.outgoing.insert(c.outgoing.end(), bytes.begin(), bytes.end());
    }
}

void BridgeSession::sendReport(Present& present, BridgeReport report, Connection* only) {
    if (connections_.empty()) return;
    report.sequence = ++present.sequence;
    ++reportsSent_;
    send(report, only);
}

BridgeDeviceAdded BridgeSession::added(const Present& present) const {
    const SourceDevice& d = present.device;
    return {present.number, d.name, d.vendor, d.product, d.path, d.relative, d.absolute, d.x, d.y};
}

}  // namespace vt2::bridge
