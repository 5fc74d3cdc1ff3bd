#pragma once
// Finding where a game keeps the aim and the buttons from snapshots of its memory: the cursor
// (or a button) put to known states, the game's writable memory copied at each, and every value
// that follows the state exactly kept, with the descriptor's keys that would write it
// (Multi and Offset of an axis, the bit mask of a button).

#include <cstdint>
#include <vector>

#include "memory/memory_manager.h"
#include "memory/typed_values.h"

namespace vt2 {

// A stretch of the game's memory as it was at one moment.
struct MemoryStretch {
    GameAddress start = 0;
    std::vector<std::uint8_t> bytes;
};
// The game's memory at one moment: the same stretches, in the same order, at every moment.
using MemorySnapshot = std::vector<MemoryStretch>;

struct AxisCandidate {
    GameAddress address = 0;
    ValueType type = ValueType::Unknown;
    std::int16_t Multi = 0;   // value = Multi * position + Offset, position 0..1 across the window
    std::int16_t Offset = 0;
    double error = 0;  // the worst miss of the fitted keys, as a fraction of the axis
    bool operator==(const AxisCandidate&) const = default;
};

// The values that follow positions (one per snapshot, 0..1, in an order that is neither rising
// nor falling, so that a value that only grows with time does not fit): those whose fit misses
// by at most maxError of the axis, best first, at most keep of them. A value's bytes may be read
// as several types (a small "long" is also an "integer"): the narrower, which writes fewer of the
// game's bytes, comes first. Types of 8 bytes are tried only with wide (a 64-bit game).
std::vector<AxisCandidate> FindAxisCandidates(const std::vector<double>& positions, const std::vector<MemorySnapshot>& snapshots,
                                              bool wide, double maxError, std::size_t keep);

struct ButtonCandidate {
    GameAddress address = 0;
    std::int16_t BitMask = 0;  // a positive mask: the bit set while pressed; negative: cleared
    bool operator==(const ButtonCandidate&) const = default;
};

// The bits that are set exactly while pressed (or exactly while not), one per snapshot, at most
// keep of them, in the order of their addresses and bits. Bits that changed elsewhere (while the
// cursor moved and no button was pressed: BitsThatChange of those snapshots; empty: none known)
// are no button's and are passed over, so that memory that changes all the time does not fill
// the kept ones before the button's bit is reached.
std::vector<ButtonCandidate> FindButtonCandidates(const std::vector<bool>& pressed, const std::vector<MemorySnapshot>& snapshots,
                                                  const MemorySnapshot& changedElsewhere, std::size_t keep);

// The bits of each byte that changed between the snapshots (set where any snapshot differs from
// the first that read that stretch): what other snapshots did, kept in the room of one.
MemorySnapshot BitsThatChange(const std::vector<MemorySnapshot>& snapshots);

// Whether the candidate's bit stayed as it was through other snapshots (the other button pressed,
// the cursor moved), given what changed in them: a bit that also follows them (a counter of the
// mouse's messages) is no button's.
bool BitStays(const ButtonCandidate& candidate, const MemorySnapshot& changedBits);

}  // namespace vt2
