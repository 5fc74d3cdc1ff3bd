#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "memory/pointer_chains.h"

namespace vt2::test {
namespace {

// The program's statics at 0x400000, a container object at 0x700000 and the aim's object
// wherever object says; static 0x30 is a stale pointer that keeps the object's first place.
MemorySnapshot Game(GameAddress object) {
    MemorySnapshot m{{0x400000, std::vector<std::uint8_t>(0x100, 0)},
                     {0x600000, std::vector<std::uint8_t>(0x40, 0)},
                     {0x680000, std::vector<std::uint8_t>(0x40, 0)},
                     {0x700000, std::vector<std::uint8_t>(0x40, 0)}};
    auto put = [&](std::size_t stretch, std::size_t at, std::uint32_t value) { std::memcpy(&m[stretch].bytes[at], &value, 4); };
    put(0, 0x10, static_cast<std::uint32_t>(object));  // the game's own pointer to the object
    put(0, 0x20, 0x700000);                            // to the container...
    put(3, 0x08, static_cast<std::uint32_t>(object));  // ...which points to the object
    put(0, 0x30, 0x600000);                            // stale
    return m;
}

const ModuleImage kModule{0x400000, 0x400100};

TEST(ChainsToTheHeap, OnlyTheChainsThatFollowTheObjectWhenItMovesAreKept) {
    const MemorySnapshot before = Game(0x600000), after = Game(0x680000);
    const std::vector<PointerChain> found = FindPointerChains(0x600024, before, kModule, AddressWidth::Bits32, 0x1000, 10);
    std::vector<std::string> texts;
    for (const PointerChain& c : found) texts.push_back(c.text());
    EXPECT_EQ(texts, (std::vector<std::string>{"&H10||&H24", "&H30||&H24", "&H20|&H8|&H24"}));
    std::vector<std::string> kept;
    for (const PointerChain& c : found) {
        if (FollowChain(c, after, kModule.base, AddressWidth::Bits32) == 0x680024u) kept.push_back(c.text());
    }
    EXPECT_EQ(kept, (std::vector<std::string>{"&H10||&H24", "&H20|&H8|&H24"}));
    // A field beyond the offsets a chain may take is reached by none.
    EXPECT_TRUE(FindPointerChains(0x600024, before, kModule, AddressWidth::Bits32, 0x20, 10).empty());
}

// A heap full of fields that point near the target (a table of pointers, the game's picture): the
// nearest are followed back to the statics, a bounded number of them, and the statics are looked
// at only where they are (one stretch partly inside the program's image counts for its part).
TEST(ChainsToTheHeap, TheSearchFollowsTheNearestFieldsBackAndLooksOnlyInTheStatics) {
    constexpr GameAddress kTarget = 0x900100;
    MemorySnapshot m{{0x3FF000, std::vector<std::uint8_t>(0x1100, 0)},   // starts below the image, ends inside it
                     {0x800000, std::vector<std::uint8_t>(0x1000, 0)}};  // the heap's fields
    auto put = [&](std::size_t stretch, std::size_t at, std::uint32_t value) { std::memcpy(&m[stretch].bytes[at], &value, 4); };
    // 200 fields, the first ones nearest the target (offset n), each pointed to by nothing...
    for (std::uint32_t n = 0; n < 200; ++n) put(1, 4 * n, static_cast<std::uint32_t>(kTarget - n));
    const struct {
        std::uint32_t field;  // which field a static points to
        bool found;
    } cases[] = {{3, true}, {kMaxPointerFields - 1, true}, {kMaxPointerFields, false}, {150, false}};
    for (const auto& c : cases) {
        MemorySnapshot game = m;
        const std::uint32_t toField = 0x800000 + 4 * c.field;
        std::memcpy(&game[0].bytes[0x1000 + 0x40], &toField, 4);
        // ...and one below the image that points to every field's object: never a static.
        std::uint32_t outside = 0x800000;
        std::memcpy(&game[0].bytes[0x10], &outside, 4);
        const std::vector<PointerChain> found = FindPointerChains(kTarget, game, kModule, AddressWidth::Bits32, 0x1000, 10);
        const PointerChain expected{0x40, 0, c.field};
        EXPECT_EQ(std::find(found.begin(), found.end(), expected) != found.end(), c.found) << c.field;
        for (const PointerChain& chain : found) EXPECT_LT(chain.first, 0x100u) << c.field;  // from the image alone
    }
}

TEST(ChainsToTheHeap, AGameOf64BitsHasPointersOfEightBytes) {
    MemorySnapshot m{{0x140000000, std::vector<std::uint8_t>(0x20, 0)}, {0x7FF000000000, std::vector<std::uint8_t>(0x20, 0)}};
    const std::uint64_t object = 0x7FF000000000;
    std::memcpy(&m[0].bytes[8], &object, 8);
    const std::vector<PointerChain> found =
        FindPointerChains(object + 0x10, m, {0x140000000, 0x140000020}, AddressWidth::Bits64, 0x100, 10);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].text(), "&H8||&H10");
    EXPECT_EQ(FollowChain(found[0], m, 0x140000000, AddressWidth::Bits64), object + 0x10);
    EXPECT_EQ(FollowChain({0x18, 0x8, 0}, m, 0x140000000, AddressWidth::Bits64), std::nullopt);  // through a null pointer
}

}  // namespace
}  // namespace vt2::test
