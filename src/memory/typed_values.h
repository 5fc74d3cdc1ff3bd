#pragma once
// Values of the game named by the descriptor's texts: a type name ("byte", "2byte", "integer",
// "long", "single", "float", and for 64-bit games' data "8byte" and "double") and a bit mask (0 none, positive: those bits of the byte at the
// address, negative: the same bits active low, or the range forms "swd|f1|f2|f3|f4" and
// "swp|f1|f2|f3|f4" for outputs).

#include <cstdint>
#include <string>
#include <string_view>

#include "memory/memory_manager.h"

namespace vt2 {

// What a read gave: a whole number, or a float for "single", "float" and "double" without a mask.
struct MemValue {
    double number = 0.0;
    bool isFloat = false;
    bool operator==(const MemValue&) const = default;
};

// The value types of the descriptor's type names, compared exactly, case included: "byte",
// "2byte", "integer", "long", "single", "float", "8byte" (a signed 64-bit integer), "double" (a
// 64-bit float); any other name is Unknown, which is neither read nor written. "2byte" is written
// only (reads take it for Unknown).
enum class ValueType { Unknown, Byte, TwoByte, Integer, Long, Single, Float, EightByte, Double };
ValueType ParseValueType(std::string_view typeName);
// The descriptor's name of a type ("single" for the 4-byte float); empty for Unknown.
const char* ValueTypeName(ValueType type);

// How an output's value is read, from its BitMask text: none (the value as its type), bits of the
// byte at the address (a negative text: active low), or a range form "swd|f1|f2|f3|f4" or
// "swp|f1|f2|f3|f4". A range with fewer than five fields or a field that is no 16-bit number reads
// 0 without a read; one of another first field reads the byte and gives 0. A text that is no
// number counts as no mask.
struct ReadMask {
    enum class Kind { None, Bits, Range, BadRange };
    Kind kind = Kind::None;
    int bits = 0;           // Bits: the bits that must all be set
    bool inverted = false;  // Bits: 1 when they are not
    enum class Form { Swd, Swp, Other };
    Form form = Form::Other;             // Range
    std::int16_t fields[4] = {0, 0, 0, 0};  // Range: f1..f4
};
ReadMask ParseReadMask(std::string_view bitMask);

MemValue ReadMemValue(MemoryManager& memory, GameAddress address, ValueType type, const ReadMask& mask);
// How many bytes ReadMemValue reads: 1 for a masked or range read and for "byte", 2 for
// "integer", 4 for "long", "single" and "float", 8 for "8byte" and "double", 0 for a type it does
// not read.
std::size_t ReadWidth(ValueType type, const ReadMask& mask);

// Writes value as type. Values are rounded half to even and kept within the type's range
// ("byte" 0..255, "integer" and "2byte" -32768..32767, "long" the full signed 32 bits, "8byte"
// the signed 64 bits as far as a double reaches below 2^63) rather than wrapped. With a mask, only "byte" writes: it reads the byte and sets or clears the masked
// bits. Nothing is written to address 0, nor a value that is not a finite number.
void WriteMemValue(MemoryManager& memory, GameAddress address, ValueType type, double value, std::int16_t bitMask);

// The same from the texts, for tools and tests: the texts converted first.
MemValue ReadMemValue(MemoryManager& memory, GameAddress address, const std::string& typeName,
                      const std::string& bitMask);
std::size_t ReadWidth(const std::string& typeName, const std::string& bitMask);
void WriteMemValue(MemoryManager& memory, GameAddress address, const std::string& typeName, double value,
                   std::int16_t bitMask);

// The byte after setting (value 1) or clearing (value 0) the bits of mask in current; a negative
// mask swaps the senses. Any other value leaves current as it is.
std::int16_t MergeMaskedBits(std::int16_t current, std::int16_t mask, std::int16_t value);

}  // namespace vt2
