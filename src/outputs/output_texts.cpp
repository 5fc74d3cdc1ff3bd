#include "outputs/output_texts.h"

#include "common/text.h"
#include "common/value_text.h"
#include "outputs/output_table.h"

namespace vt2 {

std::string OutputValueText(const MemValue& value, char decimalSeparator) {
    return value.isFloat ? FloatText(value.number, decimalSeparator) : WholeNumberText(value.number);
}

std::string OutputStartMessage(const std::string& gameName, const std::string& emuName) {
    return "mamestart|" + gameName + "|" + emuName;
}

std::string OutputChangeMessage(const OutputRow& row, const MemValue& value, char decimalSeparator) {
    return "statechange|" + std::to_string(row.number) + "|" + row.name + "|" + OutputValueText(value, decimalSeparator);
}

std::string OutputsDebugText(const OutputTable& table, char decimalSeparator) {
    std::vector<std::string> lines{"Outputs:", ""};
    for (const OutputRow& row : table.rows) lines.push_back(row.name + "=" + OutputValueText(row.last, decimalSeparator));
    return JoinLines(lines);
}

}  // namespace vt2
