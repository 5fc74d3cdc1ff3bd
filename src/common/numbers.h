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
