#include "memory/typed_values.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

#include "common/numbers.h"
#include "common/text.h"

namespace vt2 {

namespace {

MemValue Whole(double number) { return {number, false}; }

// "swd": -1 inside (f1, f2), 1 inside (f3, f4), else 0. "swp": the distance into the range.
// The second range wins when both hold.
MemValue ReadRangeForm(MemoryManager& memory, GameAddress address, const ReadMask& mask) {
    const std::int16_t* f = mask.fields;
    const int b = memory.readByte(address);
    int result = 0;
    if (mask.form == ReadMask::Form::Swd) {
        if (f[0] < b && b < f[1]) result = -1;
        if (f[2] < b && b < f[3]) result = 1;
    } else if (mask.form == ReadMask::Form::Swp) {
        if (f[0] < b && b < f[1]) result = b - f[0];
        if (f[2] < b && b < f[3]) result = b - f[2];
    }
    return Whole(result);
}

// The bits of mask in the byte at the address; inverted, 1 when they are not all set.
MemValue ReadBitTest(MemoryManager& memory, GameAddress address, int mask, bool inverted) {
    const int b = memory.readByte(address);
    const bool allSet = (b & mask) == mask;
    return Whole(allSet != inverted ? 1 : 0);
}

template <typename T>
T Clamped(double value, double low, double high) {
    return static_cast<T>(std::clamp(RoundHalfEven(value), low, high));
}

bool IsReadable(ValueType type) { return type != ValueType::Unknown && type != ValueType::TwoByte; }

}  // namespace

ValueType ParseValueType(std::string_view name) {
    CountTextConversion();
    if (name == "byte") return ValueType::Byte;
    if (name == "2byte") return ValueType::TwoByte;
    if (name == "integer") return ValueType::Integer;
    if (name == "long") return ValueType::Long;
    if (name == "single") return ValueType::Single;
    if (name == "float") return ValueType::Float;
    if (name == "8byte") return ValueType::EightByte;
    if (name == "double") return ValueType::Double;
    return ValueType::Unknown;
}

const char* ValueTypeName(ValueType type) {
    switch (type) {
        case ValueType::Byte: return "byte";
        case ValueType::TwoByte: return "2byte";
        case ValueType::Integer: return "integer";
        case ValueType::Long: return "long";
        case ValueType::Single: return "single";
        case ValueType::Float: return "float";
        case ValueType::EightByte: return "8byte";
        case ValueType::Double: return "double";
        case ValueType::Unknown: return "";
    }
    return "";
}

ReadMask ParseReadMask(std::string_view bitMask) {
    ReadMask mask;
    const std::vector<std::string> fields = SplitText(bitMask, '|');
    if (fields.size() > 1) {
        mask.kind = ReadMask::Kind::BadRange;
        if (fields.size() < 5) return mask;
        for (std::size_t i = 1; i <= 4; ++i) {
            const auto value = ToInt16Field(fields[i]);
            if (!value) return mask;
            mask.fields[i - 1] = *value;
        }
        mask.kind = ReadMask::Kind::Range;
        mask.form = fields[0] == "swd" ? ReadMask::Form::Swd
                    : fields[0] == "swp" ? ReadMask::Form::Swp
                                         : ReadMask::Form::Other;
        return mask;
    }
    const int bits = bitMask.empty() ? 0 : ToInt16Field(bitMask).value_or(0);
    if (bits == 0) return mask;
    mask.kind = ReadMask::Kind::Bits;
    mask.inverted = bits < 0;
    mask.bits = bits < 0 ? -bits : bits;
    return mask;
}

std::size_t ReadWidth(ValueType type, const ReadMask& mask) {
    if (mask.kind == ReadMask::Kind::Range || mask.kind == ReadMask::Kind::BadRange) return 1;
    if (!IsReadable(type)) return 0;
    if (mask.kind == ReadMask::Kind::Bits || type == ValueType::Byte) return 1;
    if (type == ValueType::Integer) return 2;
    if (type == ValueType::EightByte || type == ValueType::Double) return 8;
    return 4;
}

MemValue ReadMemValue(MemoryManager& memory, GameAddress address, ValueType type, const ReadMask& mask) {
    if (mask.kind == ReadMask::Kind::BadRange) return Whole(0);
    if (mask.kind == ReadMask::Kind::Range) return ReadRangeForm(memory, address, mask);
    if (!IsReadable(type)) return Whole(0);
    if (mask.kind == ReadMask::Kind::Bits) return ReadBitTest(memory, address, mask.bits, mask.inverted);
    if (type == ValueType::Byte) return Whole(memory.readByte(address));
    if (type == ValueType::Integer) return Whole(memory.readInteger(address));
    if (type == ValueType::Long) return Whole(memory.readLong(address));
    if (type == ValueType::EightByte) return Whole(static_cast<double>(memory.readInt64(address)));
    if (type == ValueType::Double) return {memory.readDouble(address), true};
    return {static_cast<double>(memory.readSingle(address)), true};
}

void WriteMemValue(MemoryManager& memory, GameAddress address, ValueType type, double value, std::int16_t bitMask) {
    if (address == 0 || !std::isfinite(value)) return;
    if (type == ValueType::Byte) {
        const auto byte = Clamped<std::int16_t>(value, 0, 255);
        if (bitMask == 0) {
            memory.writeByte(address, static_cast<std::uint8_t>(byte));
            return;
        }
        const std::int16_t merged = MergeMaskedBits(memory.readByte(address), bitMask, byte);
        // Mask bits above the byte mean nothing to it; such a merge is not written.
        if (merged >= 0 && merged <= 255) memory.writeByte(address, static_cast<std::uint8_t>(merged));
        return;
    }
    if (bitMask != 0) return;
    switch (type) {
        case ValueType::TwoByte: memory.write2Byte(address, Clamped<std::int16_t>(value, -32768, 32767)); break;
        case ValueType::Integer: memory.writeInteger(address, Clamped<std::int16_t>(value, -32768, 32767)); break;
        case ValueType::Long: memory.writeLong(address, Clamped<std::int32_t>(value, -2147483648.0, 2147483647.0)); break;
        case ValueType::Single:
        case ValueType::Float: memory.writeSingle(address, static_cast<float>(value)); break;
        // 2^63 itself is no int64: the largest double below it is the top.
        case ValueType::EightByte: memory.writeInt64(address, Clamped<std::int64_t>(value, -0x1p63, 0x1.fffffffffffffp62)); break;
        case ValueType::Double: memory.writeDouble(address, value); break;
        default: break;
    }
}

MemValue ReadMemValue(MemoryManager& memory, GameAddress address, const std::string& typeName,
                      const std::string& bitMask) {
    return ReadMemValue(memory, address, ParseValueType(typeName), ParseReadMask(bitMask));
}

std::size_t ReadWidth(const std::string& typeName, const std::string& bitMask) {
    return ReadWidth(ParseValueType(typeName), ParseReadMask(bitMask));
}

void WriteMemValue(MemoryManager& memory, GameAddress address, const std::string& typeName, double value,
                   std::int16_t bitMask) {
    WriteMemValue(memory, address, ParseValueType(typeName), value, bitMask);
}

std::int16_t MergeMaskedBits(std::int16_t current, std::int16_t mask, std::int16_t value) {
    int m = mask;
    int v = value;
    if (m < 0) {
        v = (v == 0) ? 1 : 0;
        m = -m;
    }
    // Bitwise, so that a mask of several bits of which only some are set is set or cleared whole.
    if (v == 0) return static_cast<std::int16_t>(current & ~m);
    if (v == 1) return static_cast<std::int16_t>(current | m);
    return current;
}

}  // namespace vt2
