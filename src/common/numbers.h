#pragma once
// Number texts of the INI files: decimal, or hexadecimal with the prefix "&H" (either case).

#include <cstdint>
#include <optional>
#include <string_view>

namespace vt2 {

// A whole number: optional sign and decimal digits, or "&H" and 1 to 8 hex digits (read as an
// unsigned 32-bit pattern). Blanks around the text are allowed. Anything else is not a number.
std::optional<std::int64_t> ParseWholeNumber(std::string_view text);

// Like ParseWholeNumber, but decimal texts may also carry a fraction ("1.5", "-.25").
std::optional<double> ParseNumber(std::string_view text);

}  // namespace vt2

namespace vt2 {

// Field conversions of the descriptor and settings files. A text that is not a number, or that is
// out of the field's range, gives nothing, and the field keeps what it held.
//
// A hexadecimal text is a bit pattern: up to 0xFFFF it fits a 16-bit field as its two's
// complement ("&HFFFF" is -1), up to 0xFFFFFFFF a 32-bit one.
std::optional<std::int16_t> ToInt16Field(std::string_view text);
std::optional<std::int32_t> ToInt32Field(std::string_view text);
// How wide a game's addresses are: the game's process decides, not this program's build.
enum class AddressWidth { Bits32, Bits64 };
// An address of a 32-bit game: decimal from -2147483648 to 4294967295, or up to 8 hexadecimal
// digits; negative numbers keep their 32-bit pattern. Of a 64-bit game: decimal from
// -9223372036854775808 to 18446744073709551615 (a negative one its 64-bit pattern), or up to 16
// hexadecimal digits.
std::optional<std::uint64_t> ToAddress(std::string_view text, AddressWidth width = AddressWidth::Bits32);
// The highest address of a game of that width.
constexpr std::uint64_t TopAddress(AddressWidth width) {
    return width == AddressWidth::Bits64 ? UINT64_MAX : 0xFFFFFFFFull;
}
// A byte value 0..255, decimal or hexadecimal.
std::optional<std::uint8_t> ToByteField(std::string_view text);
// An address as a descriptor writes it: "&H" and its hexadecimal digits in capitals.
std::string HexAddress(std::uint64_t address);
// A 16-bit field that may be written with a fraction: a whole number as ToInt16Field reads it, or
// a decimal with a fraction rounded to the nearest whole number, halves to even ("18.5" is 18).
std::optional<std::int16_t> ToInt16Rounded(std::string_view text);

// To the nearest integer, ties to the even one (2.5 -> 2, 3.5 -> 4, -2.5 -> -2).
double RoundHalfEven(double value);

// How many texts have been turned into values so far (numbers, and the names of value types):
// the descriptor's texts are converted once when it is read, so a pass of the main loop adds none.
std::uint64_t TextConversionCount();
void CountTextConversion();

}  // namespace vt2
