#pragma once
// The game's outputs (lamps, recoil and the like), read from its memory on every pass and each
// change forwarded to the output server: "mamestart|", "statechange|" and "mamestop|".

#include <cstdint>
#include <string>
#include <vector>

#include "memory/memory_manager.h"
#include "memory/typed_values.h"

namespace vt2 {

struct Engine;

struct OutputRow {
    bool addressResolved = false;  // from a pointer chain, followed once at load
    GameAddress address = 0;
    std::string addressText;       // otherwise the Addr text, converted at each read
    std::string type;
    std::string bitMask;
    int number = 0;
    std::string name;
    MemValue last;                 // the value last seen; 0 after loading
};

struct OutputTable {
    std::vector<OutputRow> rows;
    std::int16_t NumberOutputs = 0;
    std::string EmuName;
};

// The value as the messages and the debug label write it.
std::string OutputValueText(const MemValue& value, char decimalSeparator);

void LoadOutputs(Engine& engine, const std::string& gameName);
void PollOutputs(Engine& engine);
// "mamestop|" to the output server when outputs are active.
void SendStopMessageIfActive(Engine& engine);

inline constexpr unsigned kStopMessageWaitMs = 500;

// Hands one command to the output server's link.
void SendOutputCommand(Engine& engine, const std::string& command);

}  // namespace vt2
