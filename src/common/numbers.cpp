#include "common/numbers.h"

#include <cstdio>

#include <atomic>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdint>
#include <string>

#include "common/text.h"

namespace vt2 {

namespace {

std::atomic<std::uint64_t> g_textConversions{0};

std::optional<std::int64_t> ParseHexPattern(std::string_view digits) {
    if (digits.empty() || digits.size() > 8) return std::nullopt;
    std::uint32_t value = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value, 16);
    if (error != std::errc() || end != digits.data() + digits.size()) return std::nullopt;
    return static_cast<std::int64_t>(value);
}

bool IsHexText(std::string_view text) {
    return text.size() >= 2 && text[0] == '&' && (text[1] == 'H' || text[1] == 'h');
}

}  // namespace

std::uint64_t TextConversionCount() { return g_textConversions.load(std::memory_order_relaxed); }
void CountTextConversion() { g_textConversions.fetch_add(1, std::memory_order_relaxed); }

std::optional<std::int64_t> ParseWholeNumber(std::string_view text) {
    CountTextConversion();
    const std::string trimmed = TrimBlanks(text);
    std::string_view t = trimmed;
    if (IsHexText(t)) return ParseHexPattern(t.substr(2));
    // At most one sign: "+7" and "-7", but not "+-7".
    if (!t.empty() && t[0] == '+') {
        t.remove_prefix(1);
        if (!t.empty() && t[0] == '-') return std::nullopt;
    }
    if (t.empty() || t.size() > 18) return std::nullopt;
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(t.data(), t.data() + t.size(), value, 10);
    if (error != std::errc() || end != t.data() + t.size()) return std::nullopt;
    return value;
}

std::optional<double> ParseNumber(std::string_view text) {
    CountTextConversion();
    const std::string trimmed = TrimBlanks(text);
    if (IsHexText(trimmed)) {
        const auto whole = ParseHexPattern(std::string_view(trimmed).substr(2));
        if (!whole) return std::nullopt;
        return static_cast<double>(*whole);
    }
    std::string_view t = trimmed;
    if (!t.empty() && t[0] == '+') {
        t.remove_prefix(1);
        if (!t.empty() && t[0] == '-') return std::nullopt;  // at most one sign
    }
    // Only plain decimal notation: no exponents, no "inf"/"nan", at least one digit.
    bool digit = false;
    bool point = false;
    for (std::size_t i = 0; i < t.size(); ++i) {
        const char c = t[i];
        if (c >= '0' && c <= '9') {
            digit = true;
        } else if (c == '.' && !point) {
            point = true;
        } else if (!(c == '-' && i == 0)) {
            return std::nullopt;
        }
    }
    if (!digit) return std::nullopt;
    double value = 0;
    const auto [end, error] = std::from_chars(t.data(), t.data() + t.size(), value);
    if (error != std::errc() || end != t.data() + t.size()) return std::nullopt;
    return value;
}

}  // namespace vt2

namespace vt2 {

namespace {
bool IsHexNumber(std::string_view text) { return IsHexText(TrimBlanks(text)); }
}  // namespace

std::optional<std::int16_t> ToInt16Field(std::string_view text) {
    const auto value = ParseWholeNumber(text);
    if (!value) return std::nullopt;
    if (IsHexNumber(text)) {
        if (*value > 0xFFFF) return std::nullopt;
        return static_cast<std::int16_t>(static_cast<std::uint16_t>(*value));
    }
    if (*value < -32768 || *value > 32767) return std::nullopt;
    return static_cast<std::int16_t>(*value);
}

std::optional<std::int32_t> ToInt32Field(std::string_view text) {
    const auto value = ParseWholeNumber(text);
    if (!value) return std::nullopt;
    if (IsHexNumber(text)) return static_cast<std::int32_t>(static_cast<std::uint32_t>(*value));
    if (*value < INT32_MIN || *value > INT32_MAX) return std::nullopt;
    return static_cast<std::int32_t>(*value);
}

std::optional<std::uint64_t> ToAddress(std::string_view text, AddressWidth width) {
    if (width == AddressWidth::Bits32) {
        const auto value = ParseWholeNumber(text);
        if (!value || *value < INT32_MIN || *value > static_cast<std::int64_t>(UINT32_MAX)) return std::nullopt;
        return static_cast<std::uint32_t>(*value);
    }
    CountTextConversion();
    const std::string trimmed = TrimBlanks(text);
    std::string_view t = trimmed;
    std::uint64_t value = 0;
    if (IsHexText(t)) {
        t.remove_prefix(2);
        if (t.empty() || t.size() > 16) return std::nullopt;
        const auto [end, error] = std::from_chars(t.data(), t.data() + t.size(), value, 16);
        if (error != std::errc() || end != t.data() + t.size()) return std::nullopt;
        return value;
    }
    if (!t.empty() && t[0] == '+') {
        t.remove_prefix(1);
        if (!t.empty() && t[0] == '-') return std::nullopt;  // at most one sign
    }
    if (!t.empty() && t[0] == '-') {
        std::int64_t negative = 0;
        const auto [end, error] = std::from_chars(t.data(), t.data() + t.size(), negative, 10);
        if (error != std::errc() || end != t.data() + t.size()) return std::nullopt;
        return static_cast<std::uint64_t>(negative);
    }
    if (t.empty() || t.size() > 20) return std::nullopt;
    const auto [end, error] = std::from_chars(t.data(), t.data() + t.size(), value, 10);
    if (error != std::errc() || end != t.data() + t.size()) return std::nullopt;
    return value;
}

std::optional<std::uint8_t> ToByteField(std::string_view text) {
    const auto value = ParseWholeNumber(text);
    if (!value || *value < 0 || *value > 255) return std::nullopt;
    return static_cast<std::uint8_t>(*value);
}

std::optional<std::int16_t> ToInt16Rounded(std::string_view text) {
    if (const auto whole = ToInt16Field(text)) return whole;
    const auto number = ParseNumber(text);
    if (!number) return std::nullopt;
    const double rounded = RoundHalfEven(*number);
    if (rounded < -32768.0 || rounded > 32767.0) return std::nullopt;
    return static_cast<std::int16_t>(rounded);
}

double RoundHalfEven(double value) {
    const double below = std::floor(value);
    const double fraction = value - below;
    if (fraction > 0.5) return below + 1.0;
    if (fraction < 0.5) return below;
    return std::fmod(below, 2.0) == 0.0 ? below : below + 1.0;
}

std::string HexAddress(std::uint64_t address) {
    char text[24];
    std::snprintf(text, sizeof text, "&H%llX", static_cast<unsigned long long>(address));
    return text;
}

}  // namespace vt2
