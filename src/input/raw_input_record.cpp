#include "input/raw_input_record.h"

namespace vt2 {

namespace {

std::uint32_t U32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

std::uint16_t U16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | p[1] << 8); }

}  // namespace

RawInputRecord ReadRawInputRecord(const std::uint8_t* data, std::size_t size, RawInputLayout layout) {
    RawInputRecord record;
    const std::size_t header = RawInputHeaderBytes(layout);
    if (data == nullptr || size < header) return record;
    const std::uint32_t type = U32(data);
    const std::uint32_t ownSize = U32(data + 4);
    // The record says how long it is; it must be there whole, and hold at least its header.
    if (ownSize < header || ownSize > size) return record;
    if (type != kRawInputTypeMouse) {
        record.kind = RawInputKind::Other;
        return record;
    }
    if (ownSize < RawMouseRecordBytes(layout)) return record;
    RawMouseReport& r = record.report;
    const std::uint8_t* mouse = data + header;
    r.type = type;
    r.device = U32(data + 8);  // a handle's low half: the system's handles are small numbers
    r.flags = U16(mouse);
    r.buttons = U32(mouse + 4);  // the button flags in the low half, the button data in the high half
    r.rawButtons = U32(mouse + 8);
    r.lastX = static_cast<std::int32_t>(U32(mouse + 12));
    r.lastY = static_cast<std::int32_t>(U32(mouse + 16));
    r.extraInformation = U32(mouse + 20);
    record.kind = RawInputKind::Mouse;
    return record;
}

}  // namespace vt2
