// Number and address texts: every conversion stays in its field's range, and a text the parser
// takes is one the program would write (digits, one sign, or "&H" and hex digits).
#include <cmath>

#include "common/numbers.h"
#include "fuzz_support.h"

using namespace vt2;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    if (const auto whole = ParseWholeNumber(text)) {
        fuzz::Check(*whole >= -999999999999999999LL && *whole <= 999999999999999999LL, "a whole number beyond 18 digits");
        fuzz::Check(text.find("+-") == std::string::npos && text.find("-+") == std::string::npos, "two signs taken");
        const auto asDouble = ParseNumber(text);
        fuzz::Check(asDouble.has_value() && *asDouble == static_cast<double>(*whole), "whole and decimal readings disagree");
    }
    if (const auto number = ParseNumber(text)) {
        fuzz::Check(std::isfinite(*number), "a number that is not finite");
        fuzz::Check(text.find("+-") == std::string::npos, "two signs taken");
    }
    if (const auto v = ToInt16Field(text)) fuzz::Check(ToInt16Rounded(text) == v, "rounding changed a whole number");
    if (const auto v = ToInt16Rounded(text)) {
        const auto n = ParseNumber(text);
        fuzz::Check(n.has_value(), "a rounded field from no number");
        fuzz::Check(std::fabs(RoundHalfEven(*n) - *v) < 1e-9 || ToInt16Field(text).has_value(), "not the nearest whole number");
    }
    if (const auto v = ToAddress(text)) {
        const auto whole = ParseWholeNumber(text);
        fuzz::Check(whole.has_value() && static_cast<std::uint32_t>(*whole) == *v, "an address not the number's bit pattern");
    }
    if (const auto v = ToByteField(text)) fuzz::Check(ParseWholeNumber(text) == static_cast<std::int64_t>(*v), "a byte not the number");
    if (const auto v = ToInt32Field(text)) fuzz::Check(ParseWholeNumber(text).has_value(), "a 32-bit field from no number");
    if (const auto n = ParseNumber(text)) {
        const double r = RoundHalfEven(*n);
        fuzz::Check(r == std::floor(r) && std::fabs(r - *n) <= 0.5, "rounding to no nearest whole number");
    }
    return 0;
}
