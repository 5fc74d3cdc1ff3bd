#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "memory/value_fit.h"

namespace vt2::test {
namespace {

// The cursor's positions at the snapshots: neither rising nor falling, X and Y apart.
const std::vector<double> kX = {0.5, 0.1, 0.9, 0.3, 0.7, 0.2, 0.8};
const std::vector<double> kY = {0.2, 0.8, 0.5, 0.9, 0.1, 0.6, 0.3};

template <typename T>
void Put(MemorySnapshot& memory, std::size_t at, T value) {
    std::memcpy(&memory[0].bytes[at], &value, sizeof value);
}

// One stretch of 64 bytes at 0x500000 per snapshot, filled by fill(i, snapshot).
template <typename Fill>
std::vector<MemorySnapshot> Snapshots(std::size_t count, Fill fill) {
    std::vector<MemorySnapshot> all;
    for (std::size_t i = 0; i < count; ++i) {
        MemorySnapshot m{{0x500000, std::vector<std::uint8_t>(64, 0x5A)}};
        fill(i, m);
        all.push_back(std::move(m));
    }
    return all;
}

TEST(ValueFit, TheAimsValuesAreFoundWithTheirKeysAndWhatOnlyLooksLikeThemIsNot) {
    const auto snapshots = Snapshots(kX.size(), [](std::size_t i, MemorySnapshot& m) {
        const int noise[] = {1, -1, 0, 1, 0, -1, 1};
        Put<std::int16_t>(m, 0, static_cast<std::int16_t>(std::lround(640 * kX[i]) + noise[i]));  // pixels, a pixel off
        Put<float>(m, 8, static_cast<float>(kX[i]));                                                  // the fraction itself
        Put<std::int32_t>(m, 16, static_cast<std::int32_t>(std::lround(480 - 480 * kY[i])));         // Y, upside down
        Put<std::int32_t>(m, 24, static_cast<std::int32_t>(100 * i));                                // a clock
        Put<std::int16_t>(m, 32, static_cast<std::int16_t>(std::lround(640 * kX[i] + 200 * kY[i])));  // X and Y mixed
        Put<double>(m, 40, 1000 * kX[i] - 24);                                                       // for a 64-bit game
    });
    std::vector<AxisCandidate> x = FindAxisCandidates(kX, snapshots, false, 0.01, 10);
    ASSERT_EQ(x.size(), 2u);
    EXPECT_EQ(x[0], (AxisCandidate{0x500008, ValueType::Single, 1, 0, x[0].error}));
    EXPECT_LT(x[0].error, 1e-6);
    EXPECT_EQ(x[1].address, 0x500000u);
    EXPECT_EQ(x[1].type, ValueType::Integer);  // not also a long: its upper bytes do not move with it
    EXPECT_NEAR(x[1].Multi, 640, 2);  // the line through the noise
    EXPECT_NEAR(x[1].Offset, 0, 2);
    EXPECT_LE(x[1].error, 3.0 / 640);

    x = FindAxisCandidates(kX, snapshots, true, 0.01, 10);
    ASSERT_EQ(x.size(), 3u);  // the double, whose line is exact, first
    EXPECT_EQ(x[0], (AxisCandidate{0x500028, ValueType::Double, 1000, -24, 0}));

    const std::vector<AxisCandidate> y = FindAxisCandidates(kY, snapshots, false, 0.01, 10);
    ASSERT_GE(y.size(), 2u);  // the upside-down Y as an integer first (narrower), then as a long
    EXPECT_EQ(y[0], (AxisCandidate{0x500010, ValueType::Integer, -480, 480, 0}));
    EXPECT_EQ(y[1], (AxisCandidate{0x500010, ValueType::Long, -480, 480, 0}));
}

TEST(ValueFit, TooFewSnapshotsOrAStillMemoryFindNothing) {
    const auto still = Snapshots(kX.size(), [](std::size_t, MemorySnapshot&) {});
    EXPECT_TRUE(FindAxisCandidates(kX, still, true, 0.01, 10).empty());
    const auto two = Snapshots(2, [](std::size_t i, MemorySnapshot& m) { Put<std::int16_t>(m, 0, static_cast<std::int16_t>(i)); });
    EXPECT_TRUE(FindAxisCandidates({0.1, 0.9}, two, false, 0.01, 10).empty());
}

TEST(ValueFit, TheBitsThatFollowAButtonAreFoundActiveHighOrLow) {
    const std::vector<bool> pressed = {false, true, false, true, true, false};
    const auto snapshots = Snapshots(pressed.size(), [&](std::size_t i, MemorySnapshot& m) {
        m[0].bytes[3] = static_cast<std::uint8_t>(0x10 | (pressed[i] ? 0x04 : 0));  // bit 2 while pressed
        m[0].bytes[9] = pressed[i] ? 0xFE : 0xFF;                                      // bit 0 cleared while pressed
        m[0].bytes[12] = static_cast<std::uint8_t>(i % 2);                             // a bit that only blinks
    });
    EXPECT_EQ(FindButtonCandidates(pressed, snapshots, {}, 10),
              (std::vector<ButtonCandidate>{{0x500003, 4}, {0x500009, -1}}));
    EXPECT_TRUE(FindButtonCandidates({true, true, true, true, true, true}, snapshots, {}, 10).empty());
    // A bit that changed while the cursor moved is no button's, and takes none of the room kept:
    // with room for one, the button's own bit further on is the one found.
    MemorySnapshot elsewhere{{0x500000, std::vector<std::uint8_t>(64, 0)}};
    elsewhere[0].bytes[3] = 0x04;
    EXPECT_EQ(FindButtonCandidates(pressed, snapshots, elsewhere, 1), (std::vector<ButtonCandidate>{{0x500009, -1}}));
    // What changed elsewhere in other stretches (another region's) hides nothing here.
    const MemorySnapshot other{{0x700000, std::vector<std::uint8_t>(64, 0xFF)}};
    EXPECT_EQ(FindButtonCandidates(pressed, snapshots, other, 10).size(), 2u);
}


// What other snapshots did to a button's bit, kept as the bits that changed in them: a counter that
// also moves with the cursor is no button, a bit left alone is; a copy that could not read a
// stretch neither changes it nor hides the others' changes.
TEST(ValueFit, ABitStaysOnlyWhenNoOtherSnapshotChangedIt) {
    auto moves = Snapshots(4, [](std::size_t i, MemorySnapshot& m) {
        m[0].bytes[5] = static_cast<std::uint8_t>(0x80 | i);  // a counter: bits 0 and 1 change, bit 7 stays
        m[0].bytes[6] = i == 3 ? 0x01 : 0x00;                 // changed only at the last copy
    });
    moves[1][0].bytes.clear();  // unread at that moment
    const MemorySnapshot changed = BitsThatChange(moves);
    ASSERT_EQ(changed.size(), 1u);
    EXPECT_EQ(changed[0].start, 0x500000u);
    const struct {
        ButtonCandidate bit;
        bool stays;
    } cases[] = {{{0x500005, 1}, false}, {{0x500005, 2}, false}, {{0x500005, -0x80}, true}, {{0x500005, 4}, true},
                 {{0x500006, -1}, false}, {{0x500007, 1}, true}, {{0x600000, 1}, true}};
    for (const auto& c : cases) {
        EXPECT_EQ(BitStays(c.bit, changed), c.stays) << std::hex << c.bit.address << " " << c.bit.BitMask;
    }
    moves[0][0].bytes.clear();  // the first copy unread too: the next that read it is the reference
    EXPECT_EQ(BitsThatChange(moves)[0].bytes[5], 0x01);  // copies 2 and 3 differ in bit 0 only
    EXPECT_TRUE(BitsThatChange({}).empty());
}

}  // namespace
}  // namespace vt2::test
