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
// The second range wins when both hold. Fewer than five fields, or a field that is no 16-bit
// number, reads 0.
MemValue ReadRangeForm(MemoryManager& memory, GameAddress address, const std::vector<std::string>& fields) {
    if (fields.size() < 5) return Whole(0);
    std::int16_t f[5] = {};
    for (int i = 1; i <= 4; ++i) {
        const auto value = ToInt16Field(fields[static_cast<std::size_t>(i)]);
        if (!value) return Whole(0);
        f[i] = *value;
    }
    const int b = memory.readByte(address);
    int result = 0;
    if (fields[0] == "swd") {
        if (f[1] < b && b < f[2]) result = -1;
        if (f[3] < b && b < f[4]) result = 1;
    } else if (fields[0] == "swp") {
        if (f[1] < b && b < f[2]) result = b - f[1];
        if (f[3] < b && b < f[4]) result = b - f[3];
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

}  // namespace

std::size_t ReadWidth(const std::string& typeName, const std::string& bitMask) {
    const bool known = typeName == "byte" || typeName == "integer" || typeName == "long" || typeName == "single" ||
                       typeName == "float";
    if (SplitText(bitMask, '|').size() > 1) return 1;
    if (!known) return 0;
    if (!bitMask.empty() && ToInt16Field(bitMask).value_or(0) != 0) return 1;
    if (typeName == "byte") return 1;
    if (typeName == "integer") return 2;
    return 4;
}

MemValue ReadMemValue(MemoryManager& memory, GameAddress address, const std::string& typeName,
                      const std::string& bitMask) {
    const std::vector<std::string> fields = SplitText(bitMask, '|');
    if (fields.size() > 1) return ReadRangeForm(memory, address, fields);

    int mask = bitMask.empty() ? 0 : ToInt16Field(bitMask).value_or(0);
    const bool inverted = mask < 0;
    if (inverted) mask = -mask;

    const bool known = typeName == "byte" || typeName == "integer" || typeName == "long" || typeName == "single" ||
                       typeName == "float";
    if (!known) return Whole(0);
    if (mask != 0) return ReadBitTest(memory, address, mask, inverted);
    if (typeName == "byte") return Whole(memory.readByte(address));
    if (typeName == "integer") return Whole(memory.readInteger(address));
    if (typeName == "long") return Whole(memory.readLong(address));
    return {static_cast<double>(memory.readSingle(address)), true};
}

MemValue ReadMemValue(MemoryManager& memory, const std::string& addressText, const std::string& typeName,
                      const std::string& bitMask) {
    return ReadMemValue(memory, ToAddress(addressText).value_or(0), typeName, bitMask);
}

void WriteMemValue(MemoryManager& memory, GameAddress address, const std::string& typeName, double value,
                   std::int16_t bitMask) {
    if (address == 0 || !std::isfinite(value)) return;
    if (typeName == "byte") {
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
    if (typeName == "2byte") {
        memory.write2Byte(address, Clamped<std::int16_t>(value, -32768, 32767));
    } else if (typeName == "integer") {
        memory.writeInteger(address, Clamped<std::int16_t>(value, -32768, 32767));
    } else if (typeName == "long") {
        memory.writeLong(address, Clamped<std::int32_t>(value, -2147483648.0, 2147483647.0));
    } else if (typeName == "single" || typeName == "float") {
        memory.writeSingle(address, static_cast<float>(value));
    }
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
