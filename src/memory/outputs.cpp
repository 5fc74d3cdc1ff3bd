#include "memory/outputs.h"

#include <cmath>

#include "common/ini.h"
#include "common/numbers.h"
#include "common/value_text.h"
#include "engine/engine.h"
#include "memory/address_resolution.h"

namespace vt2 {

namespace {

// Values are compared as numbers; a float that reads NaN on two passes has not changed.
bool SameValue(const MemValue& a, const MemValue& b) {
    return a.number == b.number || (std::isnan(a.number) && std::isnan(b.number));
}

}  // namespace

std::string OutputValueText(const MemValue& value, char decimalSeparator) {
    return value.isFloat ? FloatText(static_cast<float>(value.number), decimalSeparator) : WholeNumberText(value.number);
}

void SendOutputCommand(Engine& engine, const std::string& command) { engine.os.outputs.send(command); }

void LoadOutputs(Engine& engine, const std::string& gameName) {
    HookState& s = engine.state;
    if (s.OutputsActive == 0) return;
    const auto file = ChooseMemoryDescriptorFile(engine.os.files, s.programFolder, gameName);
    if (!file) {
        s.OutputsActive = 0;
        return;
    }
    auto read = [&](const std::string& key) { return ReadIniValue(engine.os.ini, *file, "Outputs", key, false); };
    // Enable missing or not a number leaves the outputs off for the run.
    s.OutputsActive = ToInt16Field(read("Enable")).value_or(0);
    if (s.OutputsActive != 1) return;

    OutputTable& table = s.outputs;
    table.NumberOutputs = ToInt16Field(read("NumberOutputs")).value_or(0);
    table.EmuName = read("EmuName");
    if (table.EmuName.empty()) table.EmuName = "PC";
    if (table.NumberOutputs < 1) {
        s.OutputsActive = 0;
        return;
    }
    table.rows.clear();
    for (int n = 1; n <= table.NumberOutputs; ++n) {
        const std::string key = "Output" + std::to_string(n);
        OutputRow row;
        const std::string pointer = read(key + "PTR");
        if (!pointer.empty()) {
            row.addressResolved = true;
            row.address = ResolvePointer(engine, pointer).value_or(0);
        } else {
            row.addressText = read(key + "Addr");
        }
        row.type = read(key + "Type");
        row.bitMask = read(key + "BitMask");
        row.number = n;
        row.name = read(key + "Name");
        table.rows.push_back(std::move(row));
    }
    SendOutputCommand(engine, "mamestart|" + s.gameName + "|" + table.EmuName);
}

void PollOutputs(Engine& engine) {
    HookState& s = engine.state;
    if (s.OutputsActive == 0 || !s.memory) return;
    const char separator = engine.os.locale.decimalSeparator();
    for (OutputRow& row : s.outputs.rows) {
        const std::uint64_t failedBefore = s.memory->failedReadCount();
        const MemValue value = row.addressResolved ? ReadMemValue(*s.memory, row.address, row.type, row.bitMask)
                                                   : ReadMemValue(*s.memory, row.addressText, row.type, row.bitMask);
        // A value that could not be read is no news: the game did not set it to 0 (it may be
        // ending, its memory already gone while its window still stands).
        if (s.memory->failedReadCount() != failedBefore) continue;
        if (!SameValue(value, row.last)) {
            SendOutputCommand(engine, "statechange|" + std::to_string(row.number) + "|" + row.name + "|" +
                                          OutputValueText(value, separator));
        }
        row.last = value;  // stored even when the server did not take the message
    }
}

void SendStopMessageIfActive(Engine& engine) {
    if (engine.state.OutputsActive != 1) return;
    SendOutputCommand(engine, "mamestop|");
    engine.os.outputs.finish(kStopMessageWaitMs);  // delivered, or given up, before the program ends
}

}  // namespace vt2
