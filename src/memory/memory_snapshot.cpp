#include "memory/memory_snapshot.h"

#include <algorithm>

#include "common/numbers.h"

namespace vt2 {

std::vector<WritableRegion> RegionsWithinBudget(const std::vector<WritableRegion>& regions, std::size_t budget) {
    std::vector<WritableRegion> kept;
    std::size_t total = 0;
    for (const WritableRegion& r : regions) {
        if (r.size > budget - total) continue;  // a smaller one further on may still fit
        kept.push_back(r);
        total += static_cast<std::size_t>(r.size);
    }
    return kept;
}

std::vector<WritableRegion> RegionsTheGameAddresses(const std::vector<WritableRegion>& regions, AddressWidth width) {
    const std::uint64_t top = TopAddress(width);
    std::vector<WritableRegion> kept;
    for (const WritableRegion& r : regions) {
        if (r.size == 0 || r.start > top) continue;
        kept.push_back({r.start, std::min(r.size, top - r.start + 1)});
    }
    return kept;
}

MemorySnapshot TakeMemorySnapshot(OpenProcessMemory& process, const std::vector<WritableRegion>& regions) {
    MemorySnapshot snapshot;
    snapshot.reserve(regions.size());
    for (const WritableRegion& r : regions) {
        MemoryStretch stretch{r.start, std::vector<std::uint8_t>(static_cast<std::size_t>(r.size))};
        if (!process.read(r.start, stretch.bytes.data(), stretch.bytes.size())) stretch.bytes.clear();
        snapshot.push_back(std::move(stretch));
    }
    return snapshot;
}

}  // namespace vt2
