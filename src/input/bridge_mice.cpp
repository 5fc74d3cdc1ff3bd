#include "input/bridge_mice.h"

#include <algorithm>
#include <cmath>

namespace vt2 {

namespace {
constexpr std::uint16_t kAbsoluteMove = 0x1;  // raw input's MOUSE_MOVE_ABSOLUTE
// Raw input's transition flag of button bit b (0..4): down 2^(2b), up 2^(2b+1).
std::uint32_t Transition(int bit, bool down) { return 1u << (2 * bit + (down ? 0 : 1)); }
}  // namespace

std::int32_t AbsoluteRawPosition(std::int32_t value, const AxisRange& range) {
    const double span = static_cast<double>(range.maximum) - range.minimum;
    if (span <= 0) return 0;
    return static_cast<std::int32_t>(std::lround((static_cast<double>(value) - range.minimum) * 65535.0 / span));
}

void BridgeMice::take(const std::uint8_t* bytes, std::size_t length, RawMouseReportSink* sink) {
    std::vector<BridgeMessage> messages;
    reader_.take(bytes, length, messages);
    for (const BridgeMessage& message : messages) {
        if (const auto admitted = table_.admit(message)) apply(*admitted, sink);
    }
}

void BridgeMice::apply(const BridgeMessage& message, RawMouseReportSink* sink) {
    auto find = [&](std::uint32_t device) {
        return std::find_if(mice_.begin(), mice_.end(), [&](const Mouse& m) { return m.info.device == device; });
    };
    if (std::holds_alternative<BridgeDevicesListed>(message)) {
        listed_ = true;
    } else if (const auto* added = std::get_if<BridgeDeviceAdded>(&message)) {
        auto known = find(added->device);
        if (known != mice_.end()) {  // told again: as new, with nothing held
            release(*known, sink);
            mice_.erase(known);
        }
        mice_.push_back({*added, handleFor(added->path)});
        if (sink) sink->onMouseAttached(asDevice(mice_.back()));
    } else if (const auto* removed = std::get_if<BridgeDeviceRemoved>(&message)) {
        auto known = find(removed->device);
        if (known != mice_.end()) {
            release(*known, sink);
            mice_.erase(known);
        }
    } else {
        const auto& r = std::get<BridgeReport>(message);
        auto known = find(r.device);
        if (known != mice_.end()) report(*known, r, sink);
    }
}

void BridgeMice::report(Mouse& mouse, const BridgeReport& r, RawMouseReportSink* sink) {
    RawMouseReport record;
    record.device = mouse.handle;
    if (mouse.info.absolute) {
        if (r.hasPosition) {
            mouse.lastX = AbsoluteRawPosition(r.x, mouse.info.x);
            mouse.lastY = AbsoluteRawPosition(r.y, mouse.info.y);
        }
        record.flags = kAbsoluteMove;
        record.lastX = mouse.lastX;
        record.lastY = mouse.lastY;
    } else {
        record.lastX = r.dx;
        record.lastY = r.dy;
    }
    const bool moved = mouse.info.absolute ? r.hasPosition : (r.dx != 0 || r.dy != 0);
    if (sink && moved) sink->onMouseReport(record);
    // One record per button that changed: raw input's records each carry one transition the
    // players' buttons are read from.
    if (!mouse.info.absolute) record.lastX = record.lastY = 0;
    for (int bit = 0; bit < 5; ++bit) {
        const bool was = (mouse.buttons >> bit) & 1;
        const bool is = (r.buttons >> bit) & 1;
        if (was == is) continue;
        record.buttons = Transition(bit, is);
        if (sink) sink->onMouseReport(record);
    }
    mouse.buttons = r.buttons;
}

void BridgeMice::release(Mouse& mouse, RawMouseReportSink* sink) {
    BridgeReport up;
    up.device = mouse.info.device;
    report(mouse, up, sink);
}

void BridgeMice::lost(RawMouseReportSink* sink) {
    for (Mouse& mouse : mice_) release(mouse, sink);
    mice_.clear();
    droppedBefore_ = dropped();
    table_ = BridgeDeviceTable();
    reader_ = BridgeStreamReader();
    listed_ = false;
}

std::vector<RawInputDevice> BridgeMice::devices() const {
    std::vector<RawInputDevice> devices;
    for (const Mouse& m : mice_) devices.push_back(asDevice(m));
    return devices;
}

RawInputDevice BridgeMice::asDevice(const Mouse& m) {
    RawInputDevice d;
    d.handle = m.handle;
    d.type = kRawInputTypeMouse;
    d.path = m.info.path;
    d.productName = m.info.name;
    d.vendorId = m.info.vendor;
    d.productId = m.info.product;
    return d;
}

std::uint32_t BridgeMice::handleFor(const std::string& path) {
    auto seen = std::find(pathsSeen_.begin(), pathsSeen_.end(), path);
    if (seen == pathsSeen_.end()) seen = pathsSeen_.insert(pathsSeen_.end(), path);
    return kBridgeHandleBase + static_cast<std::uint32_t>(seen - pathsSeen_.begin());
}

}  // namespace vt2
