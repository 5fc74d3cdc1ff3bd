#pragma once
// A copy of the game's writable memory at one moment, for the aim finder: the same regions at
// every moment, so that the copies line up byte for byte.

#include <cstddef>
#include <vector>

#include "memory/value_fit.h"
#include "platform/process_memory.h"

namespace vt2 {

// The regions to copy at every moment: the writable ones in the order of their addresses, as many
// as fit in budget bytes (a game's memory can be far larger than what is worth copying many times).
std::vector<WritableRegion> RegionsWithinBudget(const std::vector<WritableRegion>& regions, std::size_t budget);

// The regions, or their parts, that a game of that width can name: a 32-bit game seen from a
// 64-bit program also has the system's 64-bit memory above 4 GB, which no descriptor address reaches.
std::vector<WritableRegion> RegionsTheGameAddresses(const std::vector<WritableRegion>& regions, AddressWidth width);

// The regions' bytes now; a region that cannot be read now is an empty stretch.
MemorySnapshot TakeMemorySnapshot(OpenProcessMemory& process, const std::vector<WritableRegion>& regions);

}  // namespace vt2
