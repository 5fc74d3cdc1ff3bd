#include "outputs/output_bridge.h"

#include <cmath>

#include "outputs/output_texts.h"
#include "platform/output_link.h"

namespace vt2 {

namespace {

// Values are compared as numbers; a float that reads NaN on two passes has not changed.
bool SameValue(const MemValue& a, const MemValue& b) {
    return a.number == b.number || (std::isnan(a.number) && std::isnan(b.number));
}

}  // namespace

void SendStartMessage(OutputLink& link, const std::string& gameName, const OutputTable& table) {
    link.send(OutputStartMessage(gameName, table.EmuName));
}

void SendOutputChanges(OutputTable& table, MemoryManager& memory, OutputLink& link, char decimalSeparator) {
    for (OutputRow& row : table.rows) {
        const std::uint64_t failedBefore = memory.failedReadCount();
        const MemValue value = row.addressResolved ? ReadMemValue(memory, row.address, row.type, row.bitMask)
                                                   : ReadMemValue(memory, row.addressText, row.type, row.bitMask);
        // A value that could not be read is no news: the game did not set it to 0 (it may be
        // ending, its memory already gone while its window still stands).
        if (memory.failedReadCount() != failedBefore) continue;
        if (!SameValue(value, row.last)) link.send(OutputChangeMessage(row, value, decimalSeparator));
        row.last = value;  // stored even when the server did not take the message
    }
}

void SendStopMessage(OutputLink& link) {
    link.send(kOutputStopMessage);
    link.finish(kStopMessageWaitMs);  // delivered, or given up, before the program ends
}

}  // namespace vt2
