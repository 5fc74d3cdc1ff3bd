#pragma once
// A raw input record as the system hands it to a program: a header (type, size, device, wParam:
// 16 bytes in a 32-bit program, 24 in a 64-bit one, whose handles are 8 bytes long), then for a
// mouse its 24-byte part (flags, button flags and data, raw buttons, the motion, the extra
// information). Read from its bytes, with every size checked first.

#include <cstddef>
#include <cstdint>

#include "platform/raw_input.h"

namespace vt2 {

// The layout of the program that reads the records: its pointer size, 4 or 8 bytes.
enum class RawInputLayout { Bits32, Bits64 };

inline constexpr std::size_t kRawInputHeaderBytes = 16;  // in the 32-bit layout
inline constexpr std::size_t kRawMouseRecordBytes = 40;
inline constexpr std::size_t RawInputHeaderBytes(RawInputLayout layout) { return layout == RawInputLayout::Bits64 ? 24 : 16; }
inline constexpr std::size_t RawMouseRecordBytes(RawInputLayout layout) { return RawInputHeaderBytes(layout) + 24; }

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
RawInputRecord ReadRawInputRecord(const std::uint8_t* data, std::size_t size,
                                  RawInputLayout layout = RawInputLayout::Bits32);

}  // namespace vt2
