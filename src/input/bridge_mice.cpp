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
    // Beyond the range by at most its own width either way: off the screen is off the screen,
    // and no value a device or peer sends overflows the conversion.
    const double raw = (static_cast<double>(value) - range.minimum) * 65535.0 / span;
    return static_cast<std::int32_t>(std::lround(std::clamp(raw, -65535.0, 2 * 65535.0)));
}

namespace {
// A name or path goes into a settings file line (MouseDevice=): no line ends, no NUL.
bool FitsOnALine(const std::string& text) {
    return std::none_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; });
}
}  // namespace

void BridgeMice::take(const std::uint8_t* bytes, std::size_t length, RawMouseReportSink* sink) {
    sink_ = sink;
    waiting_.push_back({std::vector<std::uint8_t>(bytes, bytes + length), false});
    deliverWaiting();
}

void BridgeMice::lost(RawMouseReportSink* sink) {
    sink_ = sink;
    waiting_.push_back({{}, true});
    deliverWaiting();
}

void BridgeMice::deliverWaiting() {
    if (delivering_) return;  // the outer call takes it when the record in hand is delivered
    delivering_ = true;
    struct Done {
        bool& flag;
        ~Done() { flag = false; }
    } done{delivering_};
    while (!waiting_.empty()) {
        const Waiting next = std::move(waiting_.front());
        waiting_.pop_front();
        Records records;
        if (next.lost) {
            forgetAll(records);
            deliver(records);
            continue;
        }
        std::vector<BridgeMessage> messages;
        reader_.take(next.bytes.data(), next.bytes.size(), messages);
        for (const BridgeMessage& message : messages) {
            if (const auto admitted = table_.admit(message)) apply(*admitted, records);
            // Each message's records before the next message changes the devices.
            deliver(records);
            records.clear();
        }
    }
}

void BridgeMice::deliver(const Records& records) {
    for (const RawMouseReport& record : records) {
        if (sink_) sink_->onMouseReport(record);
    }
}

void BridgeMice::apply(const BridgeMessage& message, Records& records) {
    auto find = [&](std::uint32_t device) {
        return std::find_if(mice_.begin(), mice_.end(), [&](const Mouse& m) { return m.info.device == device; });
    };
    if (std::holds_alternative<BridgeDevicesListed>(message)) {
        listed_ = true;
    } else if (const auto* added = std::get_if<BridgeDeviceAdded>(&message)) {
        auto known = find(added->device);
        if (known != mice_.end()) {  // told again: as new, with nothing held
            release(*known, records);
            mice_.erase(known);
        }
        const std::optional<std::uint32_t> handle =
            FitsOnALine(added->path) && FitsOnALine(added->name) && mice_.size() < kBridgeMaxDevices ? handleFor(added->path)
                                                                                                      : std::nullopt;
        if (!handle) {
            ++refused_;
            return;
        }
        mice_.push_back({*added, *handle});
        const RawInputDevice attached = asDevice(mice_.back());
        deliver(records);
        records.clear();
        if (sink_) sink_->onMouseAttached(attached);
    } else if (const auto* removed = std::get_if<BridgeDeviceRemoved>(&message)) {
        auto known = find(removed->device);
        if (known != mice_.end()) {
            release(*known, records);
            mice_.erase(known);
        }
    } else {
        const auto& r = std::get<BridgeReport>(message);
        auto known = find(r.device);
        if (known != mice_.end()) report(*known, r, records);
    }
}

void BridgeMice::report(Mouse& mouse, const BridgeReport& r, Records& records) {
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
    if (moved) records.push_back(record);
    // One record per button that changed: raw input's records each carry one transition the
    // players' buttons are read from.
    if (!mouse.info.absolute) record.lastX = record.lastY = 0;
    for (int bit = 0; bit < 5; ++bit) {
        const bool was = (mouse.buttons >> bit) & 1;
        const bool is = (r.buttons >> bit) & 1;
        if (was == is) continue;
        record.buttons = Transition(bit, is);
        records.push_back(record);
    }
    mouse.buttons = r.buttons;
}

void BridgeMice::release(Mouse& mouse, Records& records) {
    BridgeReport up;
    up.device = mouse.info.device;
    report(mouse, up, records);
}

void BridgeMice::forgetAll(Records& records) {
    for (Mouse& mouse : mice_) release(mouse, records);
    mice_.clear();
    droppedBefore_ = dropped() - refused_;
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

std::optional<std::uint32_t> BridgeMice::handleFor(const std::string& path) {
    auto seen = std::find(pathsSeen_.begin(), pathsSeen_.end(), path);
    if (seen == pathsSeen_.end()) {
        if (pathsSeen_.size() >= kBridgeMaxPathsSeen) return std::nullopt;
        seen = pathsSeen_.insert(pathsSeen_.end(), path);
    }
    return kBridgeHandleBase + static_cast<std::uint32_t>(seen - pathsSeen_.begin());
}

}  // namespace vt2
