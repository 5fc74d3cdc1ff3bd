#pragma once
// The game's outputs (lamps, recoil and the like) as the descriptor's section [Outputs] lists
// them: where each value is, how it is read, its name, and the value last seen.

#include <cstdint>
#include <string>
#include <vector>

#include "memory/address_resolution.h"
#include "memory/typed_values.h"

namespace vt2 {

class IniFiles;

// Everything of a row is converted once, when the section is read: a pass only reads.
struct OutputRow {
    GameAddress address = 0;  // its pointer chain followed, else its Addr text; 0 when neither gives one
    ValueType type = ValueType::Unknown;
    ReadMask mask;
    int number = 0;
    std::string name;
    MemValue last;                 // the value last seen; 0 after loading
    std::int32_t lastWhole = 0;    // the whole number last sent to the numeric protocols
};

// Where the rows' values lie, as few stretches of memory as can be read at once: rows whose values
// are at most kSpanGap bytes apart share a stretch of at most kMaxSpan bytes, each value as wide
// as its type reads.
struct ReadSpan {
    GameAddress start;
    std::size_t length;
};
inline constexpr std::size_t kSpanGap = 256;
inline constexpr std::size_t kMaxSpan = 4096;

struct OutputTable {
    std::vector<OutputRow> rows;
    std::int16_t NumberOutputs = 0;
    std::string EmuName;
    std::vector<ReadSpan> spans;  // of the rows, made when they are read
};

// The stretches of a game's memory that hold the rows' values: a row whose value would run past
// the top of the game's address space is in none.
std::vector<ReadSpan> OutputReadSpans(const OutputTable& table, AddressWidth width);

// No real game has more outputs: a count beyond this is taken for a malformed section, whose rows
// are not read (the outputs stay off for the run).
inline constexpr int kMaxOutputs = 1024;

// What the section says. Reading stops where the section leaves the outputs off: after an Enable
// other than 1 nothing more is read, and a count below 1 or beyond the bound gives no rows.
struct OutputsSection {
    std::int16_t Enable = 0;  // missing or not a number counts as 0
    OutputTable table;
    std::string problem;  // why the section's outputs stay off although it enables them; empty when none

    bool usable() const { return Enable == 1 && table.NumberOutputs >= 1 && problem.empty(); }
};

// Reads the section of the descriptor file; pointer chains are followed now, once. An empty
// EmuName becomes "PC".
OutputsSection ReadOutputsSection(IniFiles& ini, const std::string& file, GameModule& module);

}  // namespace vt2
