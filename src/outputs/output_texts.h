#pragma once
// The texts of the outputs: the three messages to the output server and the debug window's list.

#include <string>

#include "memory/typed_values.h"

namespace vt2 {

struct OutputRow;
struct OutputTable;

// The value as the messages and the debug list write it: whole numbers in decimal, floats with up
// to seven significant digits and the user's decimal separator.
std::string OutputValueText(const MemValue& value, char decimalSeparator);

std::string OutputStartMessage(const std::string& gameName, const std::string& emuName);
std::string OutputChangeMessage(const OutputRow& row, const MemValue& value, char decimalSeparator);
inline constexpr const char* kOutputStopMessage = "mamestop|";

// "Outputs:", an empty line, then name=value for each row.
std::string OutputsDebugText(const OutputTable& table, char decimalSeparator);

}  // namespace vt2
