#pragma once
// The outputs' way to the output server during a run: the game announced once, every change of
// a value as it is seen, and the end.

#include <string>
#include <vector>

#include "outputs/output_table.h"

namespace vt2 {

class NumericOutputs;
class OutputLink;

// Where the outputs go: the DDE server's commands, and the servers of whole numbers by id.
struct OutputChannels {
    OutputLink& dde;
    NumericOutputs& numeric;
};

void SendStartMessage(OutputChannels& to, const std::string& gameName, const OutputTable& table);

// Reads every row's value (taking the table's spans at once first) and sends a change message for each that differs from the last one
// seen, in row order. The numeric servers get a row's whole number when that has changed (a
// float that moves within one whole number is no news there). A value that cannot be read is no
// news: the row keeps its last value.
void SendOutputChanges(OutputTable& table, MemoryManager& memory, OutputChannels& to, char decimalSeparator);

// "mamestop|" and the numeric servers' goodbyes, then lets them leave before the program ends,
// waiting at most this long for each kind.
inline constexpr unsigned kStopMessageWaitMs = 500;
void SendStopMessage(OutputChannels& to);

}  // namespace vt2
