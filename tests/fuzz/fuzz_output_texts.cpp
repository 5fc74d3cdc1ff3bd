// The texts of output values: short, one line, the user's separator, and a whole number's text
// reads back as that number.
#include <cstring>

#include "common/numbers.h"
#include "fuzz_support.h"
#include "outputs/output_table.h"
#include "outputs/output_texts.h"

using namespace vt2;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Bytes in(data, size);
    const std::uint32_t low = in.u32();
    const std::uint32_t high = in.u32();
    const std::uint64_t bits = static_cast<std::uint64_t>(high) << 32 | low;
    MemValue value;
    std::memcpy(&value.number, &bits, sizeof value.number);
    value.isFloat = (in.byte() & 1) != 0;
    const char separator = in.byte() % 2 ? ',' : '.';
    if (!value.isFloat) {
        // Whole values are what the typed reads give: 32-bit integers.
        value.number = static_cast<double>(static_cast<std::int32_t>(low));
    }
    const std::string text = OutputValueText(value, separator);
    fuzz::Check(!text.empty() && text.size() <= 16, "a value text of no or too many characters");
    fuzz::Check(text.find_first_of("\r\n|") == std::string::npos, "a value text that would break its message");
    if (!value.isFloat) {
        fuzz::Check(ParseWholeNumber(text) == static_cast<std::int64_t>(value.number), "a whole number that reads back otherwise");
    } else {
        fuzz::Check(text.find(separator == ',' ? '.' : ',') == std::string::npos, "the other separator in a float");
    }
    OutputRow row;
    row.number = static_cast<int>(high % 1025);
    row.name = in.text();
    const std::string message = OutputChangeMessage(row, value, separator);
    fuzz::Check(message.rfind("statechange|" + std::to_string(row.number) + "|", 0) == 0, "a change message of another form");
    return 0;
}
