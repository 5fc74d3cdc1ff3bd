#include "memory/pointer_chains.h"

#include <algorithm>
#include <cstring>

namespace vt2 {

namespace {

std::size_t PointerSize(AddressWidth width) { return width == AddressWidth::Bits64 ? 8 : 4; }

std::optional<GameAddress> PointerAt(const MemorySnapshot& memory, GameAddress at, AddressWidth width) {
    const std::size_t size = PointerSize(width);
    for (const MemoryStretch& s : memory) {
        if (at < s.start || at - s.start + size > s.bytes.size()) continue;
        std::uint64_t value = 0;
        std::memcpy(&value, &s.bytes[at - s.start], size);  // little-endian, as the game stores it
        return value;
    }
    return std::nullopt;
}

// Every aligned pointer slot in memory (from, to) whose pointer lands at most maxOffset before target.
template <typename Found>
void SlotsPointingNear(const MemorySnapshot& memory, GameAddress from, GameAddress to, GameAddress target, AddressWidth width,
                       GameAddress maxOffset, Found found) {
    const std::size_t size = PointerSize(width);
    for (const MemoryStretch& s : memory) {
        // Only the part of the stretch within [from, to): the program's statics are a small part
        // of the game's memory, and each candidate looks there again.
        const GameAddress end = s.start + s.bytes.size();
        if (end <= from || s.start >= to) continue;
        const std::size_t first = from > s.start ? static_cast<std::size_t>(from - s.start) : 0;
        const std::size_t last = to < end ? static_cast<std::size_t>(to - s.start) : s.bytes.size();
        const std::size_t aligned = first + (size - (s.start + first) % size) % size;
        for (std::size_t o = aligned; o + size <= last; o += size) {
            const GameAddress slot = s.start + o;
            std::uint64_t value = 0;
            std::memcpy(&value, &s.bytes[o], size);
            if (value != 0 && value <= target && target - value <= maxOffset) found(slot, target - value);
        }
    }
}

}  // namespace

std::string PointerChain::text() const {
    return HexAddress(first) + "|" + (middle ? HexAddress(*middle) : std::string()) + "|" + HexAddress(last);
}

std::vector<PointerChain> FindPointerChains(GameAddress target, const MemorySnapshot& memory, const ModuleImage& module,
                                            AddressWidth width, GameAddress maxOffset, std::size_t keep) {
    std::vector<PointerChain> chains;
    SlotsPointingNear(memory, module.base, module.end, target, width, maxOffset, [&](GameAddress slot, GameAddress offset) {
        if (chains.size() < keep) chains.push_back({slot - module.base, std::nullopt, offset});
    });
    // Two pointers: a field of an object (anywhere) that points near the target, in an object a
    // static pointer points to.
    std::vector<std::pair<GameAddress, GameAddress>> fields;
    SlotsPointingNear(memory, 0, ~GameAddress{0}, target, width, maxOffset, [&](GameAddress slot, GameAddress offset) {
        if (slot < module.base || slot >= module.end) fields.emplace_back(slot, offset);
    });
    // The nearest fields first, and a bounded number of them: the game's picture or a table of
    // pointers can hold thousands that point near the target.
    std::stable_sort(fields.begin(), fields.end(), [](const auto& a, const auto& b) { return a.second < b.second; });
    if (fields.size() > kMaxPointerFields) fields.resize(kMaxPointerFields);
    for (const std::pair<GameAddress, GameAddress>& field : fields) {
        if (chains.size() >= keep) break;
        const GameAddress lastOffset = field.second;
        SlotsPointingNear(memory, module.base, module.end, field.first, width, maxOffset, [&](GameAddress slot, GameAddress offset) {
            if (chains.size() < keep) chains.push_back({slot - module.base, offset, lastOffset});
        });
    }
    return chains;
}

std::optional<GameAddress> FollowChain(const PointerChain& chain, const MemorySnapshot& memory, GameAddress moduleBase,
                                       AddressWidth width) {
    const GameAddress top = TopAddress(width);
    auto pointer = PointerAt(memory, (moduleBase + chain.first) & top, width);
    if (!pointer) return std::nullopt;
    if (chain.middle) {
        pointer = PointerAt(memory, (*pointer + *chain.middle) & top, width);
        if (!pointer) return std::nullopt;
    }
    return (*pointer + chain.last) & top;
}

}  // namespace vt2
