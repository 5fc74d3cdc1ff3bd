#include "outputs/output_messages.h"

#include <cmath>

#include "common/numbers.h"
#include "outputs/numeric_output_values.h"
#include "outputs/output_texts.h"
#include "platform/output_link.h"

namespace vt2 {

namespace {

// Values are compared as numbers; a float that reads NaN on two passes has not changed.
bool SameValue(const MemValue& a, const MemValue& b) {
    return a.number == b.number || (std::isnan(a.number) && std::isnan(b.number));
}

}  // namespace

void SendStartMessage(OutputChannels& to, const std::string& gameName, const OutputTable& table) {
    to.dde.send(OutputStartMessage(gameName, table.EmuName));
    std::vector<std::string> names;
    for (const OutputRow& row : table.rows) names.push_back(row.name);
    to.numeric.start(gameName, NumericOutputNames(names));
}

void SendOutputChanges(OutputTable& table, MemoryManager& memory, OutputChannels& to, char decimalSeparator) {
    // The rows' values in as few reads as their addresses allow: under Wine each read of another
    // process's memory costs tens of microseconds, and a pass reads every row.
    for (const ReadSpan& span : table.spans) memory.takeSnapshot(span.start, span.length);
    for (OutputRow& row : table.rows) {
        const std::uint64_t failedBefore = memory.failedReadCount();
        const MemValue value = ReadMemValue(memory, row.address, row.type, row.mask);
        // A value that could not be read is no news: the game did not set it to 0 (it may be
        // ending, its memory already gone while its window still stands).
        if (memory.failedReadCount() != failedBefore) continue;
        if (SameValue(value, row.last)) continue;
        to.dde.send(OutputChangeMessage(row, value, decimalSeparator));
        row.last = value;  // stored even when the server did not take the message
        const auto whole = WholeOutputValue(value);
        if (whole && *whole != row.lastWhole) {
            to.numeric.update(row.number, *whole);
            row.lastWhole = *whole;
        }
    }
    memory.forgetSnapshots();
}

void SendStopMessage(OutputChannels& to) {
    to.dde.send(kOutputStopMessage);
    to.numeric.stop(kStopMessageWaitMs);
    to.dde.finish(kStopMessageWaitMs);  // delivered, or given up, before the program ends
}

}  // namespace vt2
