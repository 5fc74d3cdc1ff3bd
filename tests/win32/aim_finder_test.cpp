// The aim finder's rules on a real game: the demo game following the system mouse into an object
// on its heap, the cursor put over its window at known places, its writable memory copied at each.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cmath>

#include "adapters/win32/win32_module_list.h"
#include "adapters/win32/win32_process_memory.h"
#include "engine/aim_finder_run.h"
#include "memory/memory_snapshot.h"
#include "memory/pointer_chains.h"
#include "support/win32_harness.h"

namespace vt2::test {
namespace {

constexpr std::size_t kBudget = 256u << 20;

TEST(AimFinderRules, TheDemoGamesMouseObjectIsFoundOnItsHeapAndReachedFromItsStatics) {
    TempInstall install;
    ChildProcess game = install.startDemoGame("--follow-mouse");
    HWND window = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (window = FindTopWindowOf(game.id(), "VT2DemoGame")) != nullptr; }));
    const DemoLayout layout;
    std::uint64_t object = 0;
    ASSERT_TRUE(WaitUntil([&] { return (object = ReadGamePointer(game, layout.address("vt2demo_mouse"))) != 0; }));
    const std::uint64_t xAt = object + 8, buttonsAt = object + 12;

    win32::Win32ProcessMemory processes;
    auto process = processes.openProcess(game.id());
    ASSERT_NE(process, nullptr);
    const std::vector<WritableRegion> regions = RegionsWithinBudget(process->writableRegions(), kBudget);
    auto within = [&](std::uint64_t a) {
        return std::any_of(regions.begin(), regions.end(), [&](const WritableRegion& r) { return a >= r.start && a - r.start < r.size; });
    };
    ASSERT_TRUE(within(xAt));

    // Neither rising nor falling, X and Y apart.
    const std::vector<double> xs = {0.5, 0.1, 0.9, 0.3, 0.7, 0.2, 0.8}, ys = {0.2, 0.8, 0.5, 0.9, 0.1, 0.6, 0.3};
    std::vector<MemorySnapshot> snapshots;
    for (std::size_t i = 0; i < xs.size(); ++i) {
        POINT at{static_cast<LONG>(std::lround(xs[i] * 639)), static_cast<LONG>(std::lround(ys[i] * 479))};
        ClientToScreen(window, &at);
        SetCursorPos(at.x, at.y);
        ASSERT_TRUE(WaitUntil([&] { return ReadGameValue<std::int32_t>(game, xAt) == std::lround(xs[i] * 639); })) << i;
        snapshots.push_back(TakeMemorySnapshot(*process, regions));
    }
    const std::vector<AxisCandidate> x = FindAxisCandidates(xs, snapshots, process->is64Bit(), 0.01, 50);
    const auto found = std::find_if(x.begin(), x.end(), [&](const AxisCandidate& c) { return c.address == xAt; });
    ASSERT_NE(found, x.end()) << x.size() << " candidates";
    EXPECT_NEAR(found->Multi, 639, 2);  // the line through the rounded pixels
    EXPECT_NEAR(found->Offset, 0, 2);
    EXPECT_LT(found->error, 2.0 / 639);

    // From the program's statics to the object: the game's own pointer, vt2demo_mouse.
    win32::Win32ModuleList modules;
    const ModuleEntry program = modules.modulesOf(game.id()).at(0);
    const AddressWidth width = process->is64Bit() ? AddressWidth::Bits64 : AddressWidth::Bits32;
    const std::vector<PointerChain> chains =
        FindPointerChains(xAt, snapshots.back(), {program.base, program.base + program.size}, width, 0x1000, 20);
    const PointerChain own{layout.address("vt2demo_mouse") - program.base, std::nullopt, 8};
    EXPECT_NE(std::find(chains.begin(), chains.end(), own), chains.end()) << chains.size() << " chains";

    // The left button, pressed and let go over the window.
    const std::vector<bool> pressed = {false, true, false, true, false};
    std::vector<MemorySnapshot> buttons;
    for (bool down : pressed) {
        INPUT click{};
        click.type = INPUT_MOUSE;
        click.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
        SendInput(1, &click, sizeof click);
        ASSERT_TRUE(WaitUntil([&] { return (ReadGameValue<std::uint8_t>(game, buttonsAt) & 1) == (down ? 1 : 0); }));
        buttons.push_back(TakeMemorySnapshot(*process, regions));
    }
    // Room for every bit that follows: the game's picture in its memory follows the button too (the
    // lamp and the text drawn while it is pressed), and may lie before the object.
    const std::vector<ButtonCandidate> bits = FindButtonCandidates(pressed, buttons, BitsThatChange(snapshots), kAimFinderButtonBits);
    EXPECT_NE(std::find(bits.begin(), bits.end(), ButtonCandidate{buttonsAt, 1}), bits.end()) << bits.size() << " bits";
    EXPECT_LT(bits.size(), kAimFinderButtonBits);
}

}  // namespace
}  // namespace vt2::test
