#include "input/raw_input_record.h"

namespace vt2 {

namespace {

std::uint32_t U32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

std::uint16_t U16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | p[1] << 8); }

}  // namespace

RawInputRecord ReadRawInputRecord(const std::uint8_t* data, std::size_t size) {
    RawInputRecord record;
    if (data == nullptr || size < kRawInputHeaderBytes) return record;
    const std::uint32_t type = U32(data);
    const std::uint32_t ownSize = U32(data + 4);
    // The record says how long it is; it must be there whole, and hold at least its header.
    if (ownSize < kRawInputHeaderBytes || ownSize > size) return record;
    if (type != kRawInputTypeMouse) {
        record.kind = RawInputKind::Other;
        return record;
    }
    if (ownSize < kRawMouseRecordBytes) return record;
    RawMouseReport& r = record.report;
    r.type = type;
    r.device = U32(data + 8);
    r.flags = U16(data + 16);
    r.buttons = U32(data + 20);  // the button flags in the low half, the button data in the high half
    r.rawButtons = U32(data + 24);
    r.lastX = static_cast<std::int32_t>(U32(data + 28));
    r.lastY = static_cast<std::int32_t>(U32(data + 32));
    r.extraInformation = U32(data + 36);
    record.kind = RawInputKind::Mouse;
    return record;
}

}  // namespace vt2
