#pragma once
// Pointer chains to a value on the game's heap, from a static place of its program module: what
// a descriptor's PTR key holds ("a||c": [base + a] + c; "a|b|c": [[base + a] + b] + c), so that a
// descriptor still finds the value after the game starts again and its heap lies elsewhere.

#include <optional>
#include <string>
#include <vector>

#include "common/numbers.h"
#include "memory/value_fit.h"

namespace vt2 {

struct PointerChain {
    GameAddress first = 0;                // from the module's base to the static pointer
    std::optional<GameAddress> middle;    // from the first pointer's target to the second pointer
    GameAddress last = 0;                 // from the last pointer's target to the value
    bool operator==(const PointerChain&) const = default;
    // As the PTR key writes it.
    std::string text() const;
};

// The program module's image in the game's memory, where static pointers live.
struct ModuleImage {
    GameAddress base = 0;
    GameAddress end = 0;  // one past its last byte
};

// Of the fields anywhere that point near the target, the nearest this many are followed back to
// the statics: the search stays bounded whatever the game's memory holds.
inline constexpr std::size_t kMaxPointerFields = 64;

// The chains of one or two pointers that lead to target in memory, each step at most maxOffset
// bytes past where its pointer points (an object's field), the first pointer in the module's
// image; one-pointer chains first, at most keep of them.
std::vector<PointerChain> FindPointerChains(GameAddress target, const MemorySnapshot& memory, const ModuleImage& module,
                                            AddressWidth width, GameAddress maxOffset, std::size_t keep);

// Where a chain leads in memory; none when a pointer on the way lies outside it.
std::optional<GameAddress> FollowChain(const PointerChain& chain, const MemorySnapshot& memory, GameAddress moduleBase,
                                       AddressWidth width);

}  // namespace vt2
