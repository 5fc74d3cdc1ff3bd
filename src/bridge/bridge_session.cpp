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

void BridgeSession::connect(bool startOver) {
    connected_ = true;
    outgoing_.clear();
    for (Present& present : present_) {
        if (startOver) present.frames = FrameAssembler(present.number);
        present.sequence = 0;
        send(added(present));
        const BridgeReport state = present.frames.state();
        if (state.buttons != 0 || state.hasPosition) sendReport(present, state);
    }
    send(BridgeDevicesListed{});
}

std::vector<std::uint8_t> BridgeSession::takeOutgoing() {
    std::vector<std::uint8_t> bytes;
    bytes.swap(outgoing_);
    return bytes;
}

BridgeSession::Present* BridgeSession::find(std::uint32_t number) {
    const auto it = std::find_if(present_.begin(), present_.end(), [&](const Present& p) { return p.number == number; });
    return it == present_.end() ? nullptr : &*it;
}

void BridgeSession::send(const BridgeMessage& message) {
    if (!connected_) return;
    const std::vector<std::uint8_t> bytes = EncodeBridgeMessage(message);
    outgoing_.insert(outgoing_.end(), bytes.begin(), bytes.end());
}

void BridgeSession::sendReport(Present& present, BridgeReport report) {
    if (!connected_) return;
    report.sequence = ++present.sequence;
    ++reportsSent_;
    send(report);
}

BridgeDeviceAdded BridgeSession::added(const Present& present) const {
    const SourceDevice& d = present.device;
    return {present.number, d.name, d.vendor, d.product, d.path, d.relative, d.absolute, d.x, d.y};
}

}  // namespace vt2::bridge
