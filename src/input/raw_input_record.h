#pragma once
// A raw input record as the system hands it to a 32-bit program: a 16-byte header (type, size,
// device, wParam), then for a mouse its 24-byte part (flags, button flags and data, raw buttons,
// the motion, the extra information). Read from its bytes, with every size checked first.

#include <cstddef>
#include <cstdint>

#include "platform/raw_input.h"

namespace vt2 {

inline constexpr std::size_t kRawInputHeaderBytes = 16;
inline constexpr std::size_t kRawMouseRecordBytes = 40;

enum class RawInputKind {
    Mouse,      // a whole mouse record: report holds it
    Other,      // a keyboard's or another device's record
    Malformed,  // shorter than its header, or than its own size field, or than a mouse record
};

struct RawInputRecord {
    RawInputKind kind = RawInputKind::Malformed;
    RawMouseReport report;
};

// The record in size bytes at data.
RawInputRecord ReadRawInputRecord(const std::uint8_t* data, std::size_t size);

}  // namespace vt2
