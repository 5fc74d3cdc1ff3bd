#include "outputs/output_table.h"

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
        if (!pointer.empty()) {
            row.addressResolved = true;
            row.address = ResolvePointer(module, pointer).value_or(0);
        } else {
            row.addressText = rows.value(key + "Addr", false);
        }
        row.type = rows.value(key + "Type", false);
        row.bitMask = rows.value(key + "BitMask", false);
        row.number = n;
        row.name = rows.value(key + "Name", false);
        table.rows.push_back(std::move(row));
    }
    return section;
}

}  // namespace vt2
