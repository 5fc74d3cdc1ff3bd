#include "outputs/output_bridge.h"

#include <algorithm>
#include <cmath>

#include "common/numbers.h"
#include "outputs/numeric_outputs.h"
#include "outputs/output_texts.h"
#include "platform/output_link.h"

namespace vt2 {

namespace {

// Values are compared as numbers; a float that reads NaN on two passes has not changed.
bool SameValue(const MemValue& a, const MemValue& b) {
    return a.number == b.number || (std::isnan(a.number) && std::isnan(b.number));
}

}  // namespace

std::vector<ReadSpan> OutputReadSpans(const OutputTable& table) {
    struct Value {
        GameAddress start;
        std::size_t width;
    };
    std::vector<Value> values;
    for (const OutputRow& row : table.rows) {
        const GameAddress a = row.addressResolved ? row.address : ToAddress(row.addressText).value_or(0);
        const std::size_t width = ReadWidth(row.type, row.bitMask);
        if (a != 0 && width > 0 && a <= 0xFFFFFFFFu - width + 1) values.push_back({a, width});
    }
    std::sort(values.begin(), values.end(), [](const Value& x, const Value& y) { return x.start < y.start; });
    std::vector<ReadSpan> spans;
    for (const Value& v : values) {
        const std::uint64_t end = static_cast<std::uint64_t>(v.start) + v.width;
        if (!spans.empty()) {
            ReadSpan& last = spans.back();
            const std::uint64_t lastEnd = static_cast<std::uint64_t>(last.start) + last.length;
            if (v.start <= lastEnd + kSpanGap && end - last.start <= kMaxSpan) {
                last.length = static_cast<std::size_t>(std::max(lastEnd, end) - last.start);
                continue;
            }
        }
        spans.push_back({v.start, v.width});
    }
    return spans;
}

void SendStartMessage(OutputChannels& to, const std::string& gameName, const OutputTable& table) {
    to.dde.send(OutputStartMessage(gameName, table.EmuName));
    std::vector<std::string> names;
    for (const OutputRow& row : table.rows) names.push_back(row.name);
    to.numeric.start(gameName, NumericOutputNames(names));
}

void SendOutputChanges(OutputTable& table, MemoryManager& memory, OutputChannels& to, char decimalSeparator) {
    // The rows' values in as few reads as their addresses allow: under Wine each read of another
    // process's memory costs tens of microseconds, and a pass reads every row.
    for (const ReadSpan& span : OutputReadSpans(table)) memory.takeSnapshot(span.start, span.length);
    for (OutputRow& row : table.rows) {
        const std::uint64_t failedBefore = memory.failedReadCount();
        const MemValue value = row.addressResolved ? ReadMemValue(memory, row.address, row.type, row.bitMask)
                                                   : ReadMemValue(memory, row.addressText, row.type, row.bitMask);
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
