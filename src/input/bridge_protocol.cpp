#include "input/bridge_protocol.h"

#include <algorithm>
#include <cstring>

namespace vt2 {

namespace {

enum MessageType : std::uint8_t {
    kAdded = 1, kRemoved = 2, kReport = 3, kListed = 4, kChallenge = 5, kProof = 6, kAnswer = 7,
    kSerialOpen = 8, kSerialWrite = 9, kSerialClose = 10, kSerialState = 11
};

bool IsParity(char c) { return c == 'N' || c == 'E' || c == 'O' || c == 'M' || c == 'S'; }
enum AddedFlags : std::uint8_t { kRelative = 1, kAbsolute = 2 };
enum ReportFlags : std::uint8_t { kPosition = 1 };

class Writer {
public:
    void u8(std::uint8_t v) { bytes.push_back(v); }
    void u16(std::uint16_t v) {
        for (int i = 0; i < 2; ++i) bytes.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    }
    void u32(std::uint32_t v) {
        for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    }
    void i32(std::int32_t v) { u32(static_cast<std::uint32_t>(v)); }
    void block(const std::array<std::uint8_t, 32>& b) { bytes.insert(bytes.end(), b.begin(), b.end()); }
    // Texts longer than a message may carry are cut.
    void text(const std::string& s) {
        const std::size_t length = std::min(s.size(), kBridgeMaxText);
        u8(static_cast<std::uint8_t>(length));
        bytes.insert(bytes.end(), s.begin(), s.begin() + static_cast<std::ptrdiff_t>(length));
    }
    std::vector<std::uint8_t> bytes;
};

// Reads a payload; any read past its end makes the whole payload fail.
class Reader {
public:
    Reader(const std::uint8_t* data, std::size_t length) : data_(data), length_(length) {}
    std::uint8_t u8() { return static_cast<std::uint8_t>(take(1)); }
    std::uint16_t u16() { return static_cast<std::uint16_t>(take(2)); }
    std::uint32_t u32() { return static_cast<std::uint32_t>(take(4)); }
    std::int32_t i32() { return static_cast<std::int32_t>(u32()); }
    std::array<std::uint8_t, 32> block() {
        std::array<std::uint8_t, 32> b{};
        for (std::uint8_t& byte : b) byte = u8();
        return b;
    }
    std::string text() {
        const std::size_t length = u8();
        if (!ok_ || at_ + length > length_) {
            ok_ = false;
            return {};
        }
        std::string s(reinterpret_cast<const char*>(data_ + at_), length);
        at_ += length;
        return s;
    }
    // True when every read fitted and the payload held nothing more.
    bool whole() const { return ok_ && at_ == length_; }

private:
    std::uint64_t take(std::size_t bytes) {
        if (!ok_ || at_ + bytes > length_) {
            ok_ = false;
            return 0;
        }
        std::uint64_t v = 0;
        for (std::size_t i = 0; i < bytes; ++i) v |= static_cast<std::uint64_t>(data_[at_ + i]) << (8 * i);
        at_ += bytes;
        return v;
    }
    const std::uint8_t* data_;
    std::size_t length_;
    std::size_t at_ = 0;
    bool ok_ = true;
};

std::optional<BridgeMessage> ParsePayload(std::uint8_t type, const std::uint8_t* data, std::size_t length) {
    Reader r(data, length);
    if (type == kAdded) {
        BridgeDeviceAdded m;
        m.device = r.u32();
        m.vendor = r.u16();
        m.product = r.u16();
        const std::uint8_t flags = r.u8();
        m.relative = (flags & kRelative) != 0;
        m.absolute = (flags & kAbsolute) != 0;
        m.x = {r.i32(), r.i32()};
        m.y = {r.i32(), r.i32()};
        m.name = r.text();
        m.path = r.text();
        // An absolute device with an empty range would divide by nothing.
        const bool rangesUsable = !m.absolute || (m.x.minimum < m.x.maximum && m.y.minimum < m.y.maximum);
        if (!r.whole() || (flags & ~(kRelative | kAbsolute)) != 0 || !rangesUsable) return std::nullopt;
        return m;
    }
    if (type == kRemoved) {
        BridgeDeviceRemoved m;
        m.device = r.u32();
        if (!r.whole()) return std::nullopt;
        return m;
    }
    if (type == kReport) {
        BridgeReport m;
        m.device = r.u32();
        m.sequence = r.u32();
        m.dx = r.i32();
        m.dy = r.i32();
        const std::uint8_t flags = r.u8();
        m.hasPosition = (flags & kPosition) != 0;
        m.x = r.i32();
        m.y = r.i32();
        m.buttons = r.u8();
        if (!r.whole() || (flags & ~kPosition) != 0 || (m.buttons & ~kBridgeAllButtons) != 0) return std::nullopt;
        return m;
    }
    if (type == kListed && length == 0) return BridgeDevicesListed{};
    if (type == kChallenge) {
        BridgeChallenge m{r.block()};
        if (!r.whole()) return std::nullopt;
        return m;
    }
    if (type == kProof) {
        BridgeProof m;
        m.nonce = r.block();
        m.mac = r.block();
        if (!r.whole()) return std::nullopt;
        return m;
    }
    if (type == kAnswer) {
        BridgeAnswer m{r.block()};
        if (!r.whole()) return std::nullopt;
        return m;
    }
    if (type == kSerialOpen) {
        BridgeSerialOpen m;
        m.port = r.u8();
        m.baud = r.u32();
        m.parity = static_cast<char>(r.u8());
        m.dataBits = r.u8();
        m.stopBits = r.u8();
        m.path = r.text();
        const bool settings = IsParity(m.parity) && m.dataBits >= 5 && m.dataBits <= 8 && (m.stopBits == 1 || m.stopBits == 2) &&
                              m.baud > 0;
        if (!r.whole() || m.port == 0 || !settings || m.path.empty()) return std::nullopt;
        return m;
    }
    if (type == kSerialWrite) {
        BridgeSerialWrite m;
        m.port = r.u8();
        m.bytes = r.text();
        if (!r.whole() || m.port == 0) return std::nullopt;
        return m;
    }
    if (type == kSerialClose) {
        BridgeSerialClose m{r.u8()};
        if (!r.whole() || m.port == 0) return std::nullopt;
        return m;
    }
    if (type == kSerialState) {
        BridgeSerialState m;
        m.port = r.u8();
        const std::uint8_t open = r.u8();
        m.open = open == 1;
        m.problem = r.text();
        if (!r.whole() || m.port == 0 || open > 1) return std::nullopt;
        return m;
    }
    return std::nullopt;
}

}  // namespace

std::vector<std::uint8_t> EncodeBridgeMessage(const BridgeMessage& message) {
    Writer payload;
    std::uint8_t type = 0;
    if (const auto* added = std::get_if<BridgeDeviceAdded>(&message)) {
        type = kAdded;
        payload.u32(added->device);
        payload.u16(added->vendor);
        payload.u16(added->product);
        payload.u8(static_cast<std::uint8_t>((added->relative ? kRelative : 0) | (added->absolute ? kAbsolute : 0)));
        payload.i32(added->x.minimum);
        payload.i32(added->x.maximum);
        payload.i32(added->y.minimum);
        payload.i32(added->y.maximum);
        payload.text(added->name);
        payload.text(added->path);
    } else if (const auto* removed = std::get_if<BridgeDeviceRemoved>(&message)) {
        type = kRemoved;
        payload.u32(removed->device);
    } else if (std::holds_alternative<BridgeDevicesListed>(message)) {
        type = kListed;
    } else if (const auto* challenge = std::get_if<BridgeChallenge>(&message)) {
        type = kChallenge;
        payload.block(challenge->nonce);
    } else if (const auto* proof = std::get_if<BridgeProof>(&message)) {
        type = kProof;
        payload.block(proof->nonce);
        payload.block(proof->mac);
    } else if (const auto* answer = std::get_if<BridgeAnswer>(&message)) {
        type = kAnswer;
        payload.block(answer->mac);
    } else if (const auto* open = std::get_if<BridgeSerialOpen>(&message)) {
        type = kSerialOpen;
        payload.u8(open->port);
        payload.u32(open->baud);
        payload.u8(static_cast<std::uint8_t>(open->parity));
        payload.u8(open->dataBits);
        payload.u8(open->stopBits);
        payload.text(open->path);
    } else if (const auto* write = std::get_if<BridgeSerialWrite>(&message)) {
        type = kSerialWrite;
        payload.u8(write->port);
        payload.text(write->bytes);
    } else if (const auto* close = std::get_if<BridgeSerialClose>(&message)) {
        type = kSerialClose;
        payload.u8(close->port);
    } else if (const auto* state = std::get_if<BridgeSerialState>(&message)) {
        type = kSerialState;
        payload.u8(state->port);
        payload.u8(state->open ? 1 : 0);
        payload.text(state->problem);
    } else {
        const auto& report = std::get<BridgeReport>(message);
        type = kReport;
        payload.u32(report.device);
        payload.u32(report.sequence);
        payload.i32(report.dx);
        payload.i32(report.dy);
        payload.u8(report.hasPosition ? kPosition : 0);
        payload.i32(report.x);
        payload.i32(report.y);
        payload.u8(static_cast<std::uint8_t>(report.buttons & kBridgeAllButtons));
    }
    Writer whole;
    whole.u16(kBridgeMagic);
    whole.u8(kBridgeVersion);
    whole.u8(type);
    whole.u32(static_cast<std::uint32_t>(payload.bytes.size()));
    whole.bytes.insert(whole.bytes.end(), payload.bytes.begin(), payload.bytes.end());
    return whole.bytes;
}

void BridgeStreamReader::take(const std::uint8_t* bytes, std::size_t length, std::vector<BridgeMessage>& messages) {
    pending_.insert(pending_.end(), bytes, bytes + length);
    std::size_t at = 0;
    while (pending_.size() - at >= kBridgeHeaderSize) {
        Reader header(pending_.data() + at, kBridgeHeaderSize);
        const std::uint16_t magic = header.u16();
        const std::uint8_t version = header.u8();
        const std::uint8_t type = header.u8();
        const std::uint32_t size = header.u32();
        if (magic != kBridgeMagic || version != kBridgeVersion || size > kBridgeMaxPayload) {
            ++malformed_;
            // Lost step with the stream: on to the next place the magic appears.
            ++at;
            while (pending_.size() - at >= 2 && (pending_[at] | (pending_[at + 1] << 8)) != kBridgeMagic) ++at;
            continue;
        }
        if (pending_.size() - at - kBridgeHeaderSize < size) break;  // the rest is still on its way
        const std::uint8_t* payload = pending_.data() + at + kBridgeHeaderSize;
        if (auto message = ParsePayload(type, payload, size)) {
            messages.push_back(std::move(*message));
        } else {
            ++malformed_;
        }
        at += kBridgeHeaderSize + size;
    }
    pending_.erase(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(at));
}

std::optional<BridgeMessage> BridgeDeviceTable::admit(const BridgeMessage& message) {
    auto find = [&](std::uint32_t device) {
        return std::find_if(devices_.begin(), devices_.end(), [&](const BridgeDeviceAdded& d) { return d.device == device; });
    };
    if (const auto* added = std::get_if<BridgeDeviceAdded>(&message)) {
        // Told again (the bridge read it anew): its sequence starts over.
        const auto known = find(added->device);
        if (known != devices_.end()) {
            *known = *added;
            lastSequence_[static_cast<std::size_t>(known - devices_.begin())] = 0;
        } else {
            devices_.push_back(*added);
            lastSequence_.push_back(0);
        }
        return message;
    }
    if (const auto* removed = std::get_if<BridgeDeviceRemoved>(&message)) {
        const auto known = find(removed->device);
        if (known == devices_.end()) {
            ++outOfOrder_;
            return std::nullopt;
        }
        lastSequence_.erase(lastSequence_.begin() + (known - devices_.begin()));
        devices_.erase(known);
        return message;
    }
    if (std::holds_alternative<BridgeDevicesListed>(message)) return message;
    if (!std::holds_alternative<BridgeReport>(message)) {  // a handshake's after it, or a serial port's
        ++outOfOrder_;
        return std::nullopt;
    }
    const auto& report = std::get<BridgeReport>(message);
    const auto known = find(report.device);
    if (known == devices_.end()) {
        ++outOfOrder_;
        return std::nullopt;
    }
    std::uint32_t& last = lastSequence_[static_cast<std::size_t>(known - devices_.begin())];
    if (report.sequence <= last) {
        ++outOfOrder_;
        return std::nullopt;
    }
    last = report.sequence;
    return message;
}

}  // namespace vt2
