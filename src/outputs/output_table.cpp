#include "outputs/output_table.h"

#include <algorithm>

#include "common/ini.h"
#include "common/numbers.h"

namespace vt2 {

OutputsSection ReadOutputsSection(IniFiles& ini, const std::string& file, GameModule& module) {
    auto read = [&](const std::string& key) { return ReadIniValue(ini, file, "Outputs", key, false); };
    OutputsSection section;
    section.Enable = ToInt16Field(read("Enable")).value_or(0);
    if (section.Enable != 1) return section;

    OutputTable& table = section.table;
    const std::string countText = read("NumberOutputs");
    table.NumberOutputs = ToInt16Field(countText).value_or(0);
    table.EmuName = read("EmuName");
    if (table.EmuName.empty()) table.EmuName = "PC";
    if (table.NumberOutputs > kMaxOutputs) {
        section.problem = "Outputs: NumberOutputs " + countText + " is more than " + std::to_string(kMaxOutputs) +
                          ": outputs are off";
        return section;
    }
    // The rows in one read of the section: key by key, a long section costs a pass over the
    // file for every key.
    const IniSection rows = IniSection::Read(ini, file, "Outputs");
    for (int n = 1; n <= table.NumberOutputs; ++n) {
        const std::string key = "Output" + std::to_string(n);
        OutputRow row;
        const std::string pointer = rows.value(key + "PTR", false);
        // An Addr text that is no address reads address 0 (and so gives 0), as a chain that is none.
        row.address = !pointer.empty() ? ResolvePointer(module, pointer).value_or(0)
                                       : ToAddress(rows.value(key + "Addr", false), AddressWidthOf(module)).value_or(0);
        row.type = ParseValueType(rows.value(key + "Type", false));
        row.mask = ParseReadMask(rows.value(key + "BitMask", false));
        row.number = n;
        row.name = rows.value(key + "Name", false);
        table.rows.push_back(std::move(row));
    }
    table.spans = OutputReadSpans(table, AddressWidthOf(module));
    return section;
}

std::vector<ReadSpan> OutputReadSpans(const OutputTable& table, AddressWidth addressWidth) {
    struct Value {
        GameAddress start;
        std::size_t width;
    };
    std::vector<Value> values;
    for (const OutputRow& row : table.rows) {
        const GameAddress a = row.address;
        const std::size_t width = ReadWidth(row.type, row.mask);
        if (a != 0 && width > 0 && a <= TopAddress(addressWidth) - (width - 1)) values.push_back({a, width});
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

}  // namespace vt2
