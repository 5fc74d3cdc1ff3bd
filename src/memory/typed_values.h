#pragma once
// Values of the game named by the descriptor's texts: a type name ("byte", "2byte", "integer",
// "long", "single", "float") and a bit mask (0 none, positive: those bits of the byte at the
// address, negative: the same bits active low, or the range forms "swd|f1|f2|f3|f4" and
// "swp|f1|f2|f3|f4" for outputs).

#include <cstdint>
#include <string>

#include "memory/memory_manager.h"

namespace vt2 {

// What a read gave: a whole number, or a float for "single" and "float" without a mask.
struct MemValue {
    double number = 0.0;
    bool isFloat = false;
    bool operator==(const MemValue&) const = default;
};

MemValue ReadMemValue(MemoryManager& memory, GameAddress address, const std::string& typeName,
                      const std::string& bitMask);
// The address as an address text; a text that is not an address reads as address 0.
MemValue ReadMemValue(MemoryManager& memory, const std::string& addressText, const std::string& typeName,
                      const std::string& bitMask);

// How many bytes ReadMemValue reads for that type and mask: 1 for a masked or range read and for
// "byte", 2 for "integer", 4 for "long", "single" and "float", 0 for a type it does not read.
std::size_t ReadWidth(const std::string& typeName, const std::string& bitMask);

// Writes value as typeName. Values are rounded half to even and kept within the type's range
// ("byte" 0..255, "integer" and "2byte" -32768..32767, "long" the full signed 32 bits) rather
// than wrapped. With a mask, only "byte" writes: it reads the byte and sets or clears the masked
// bits. Nothing is written to address 0, nor a value that is not a finite number.
void WriteMemValue(MemoryManager& memory, GameAddress address, const std::string& typeName, double value,
                   std::int16_t bitMask);

// The byte after setting (value 1) or clearing (value 0) the bits of mask in current; a negative
// mask swaps the senses. Any other value leaves current as it is.
std::int16_t MergeMaskedBits(std::int16_t current, std::int16_t mask, std::int16_t value);

}  // namespace vt2
