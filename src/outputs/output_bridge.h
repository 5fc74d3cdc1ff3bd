#pragma once
// The outputs' way to the output server during a run: the game announced once, every change of
// a value as it is seen, and the end.

#include <string>

#include "outputs/output_table.h"

namespace vt2 {

class OutputLink;

void SendStartMessage(OutputLink& link, const std::string& gameName, const OutputTable& table);

// Reads every row's value and sends a change message for each that differs from the last one
// seen, in row order. A value that cannot be read is no news: the row keeps its last value.
void SendOutputChanges(OutputTable& table, MemoryManager& memory, OutputLink& link, char decimalSeparator);

// "mamestop|", then lets it reach the server before the program ends, waiting at most this long.
inline constexpr unsigned kStopMessageWaitMs = 500;
void SendStopMessage(OutputLink& link);

}  // namespace vt2
