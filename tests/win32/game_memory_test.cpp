// The memory layer against a real game process: the demo game, started by the test.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <vector>

#include "engine/code_patches_step.h"
#include "memory/address_resolution.h"
#include "memory/typed_values.h"
#include "support/real_system.h"
#include "support/win32_harness.h"

namespace vt2::test {
namespace {

using Bytes = std::vector<std::uint8_t>;

class GameMemory : public ::testing::Test {
protected:
    void SetUp() override {
        game = install.startDemoGame();
        ASSERT_TRUE(WaitUntil([&] { return FindTopWindowOf(game.id(), "VT2DemoGame") != nullptr; }));
        real.engine.state.programFolder = install.path();
        real.hook(game.id());
        ASSERT_TRUE(memory().isOpen());
        scratch = static_cast<GameAddress>(reinterpret_cast<std::uintptr_t>(
            VirtualAllocEx(game.handle(), nullptr, 4096, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE)));
        ASSERT_NE(scratch, 0u);
    }
    MemoryManager& memory() { return *real.engine.state.memory; }
    // The game's bytes, read independently of the code under test.
    Bytes bytesAt(GameAddress address, std::size_t length) const {
        Bytes out(length);
        SIZE_T copied = 0;
        ReadProcessMemory(game.handle(), reinterpret_cast<LPCVOID>(static_cast<std::uintptr_t>(address)), out.data(),
                          length, &copied);
        out.resize(copied);
        return out;
    }

    TempInstall install;
    ChildProcess game;
    RealSystem real;
    GameAddress scratch = 0;
};

TEST_F(GameMemory, EveryWidthWrittenAndReadBack) {
    memory().writeByte(scratch, 0xF0);
    memory().writeInteger(scratch + 2, -2);
    memory().write2Byte(scratch + 4, -1);
    memory().writeLong(scratch + 8, -123456789);
    memory().writeSingle(scratch + 12, 0.3333333f);
    memory().WriteString(scratch + 16, "VT2");
    EXPECT_EQ(bytesAt(scratch, 20), (Bytes{0xF0, 0, 0xFE, 0xFF, 0x02, 0x80, 0, 0, 0xEB, 0x32, 0xA4, 0xF8, 0xAA,
                                           0xAA, 0xAA, 0x3E, 'V', 'T', '2', 0}));
    EXPECT_EQ(memory().readByte(scratch), 240);
    EXPECT_EQ(memory().readInteger(scratch + 2), -2);
    EXPECT_EQ(memory().readLong(scratch + 8), -123456789);
    EXPECT_EQ(memory().readSingle(scratch + 12), 0.3333333f);
    EXPECT_EQ(memory().readString(8, scratch + 16), "VT2");
    EXPECT_EQ(memory().readStringN(4, scratch + 16), std::string("VT2\0", 4));
}

TEST_F(GameMemory, TypedValuesThroughTheRealProcess) {
    WriteMemValue(memory(), scratch, "byte", 1, 8);
    WriteMemValue(memory(), scratch, "byte", 1, 1);
    EXPECT_EQ(bytesAt(scratch, 1), (Bytes{0x09}));
    EXPECT_EQ(ReadMemValue(memory(), scratch, "byte", "-8").number, 0);
    WriteMemValue(memory(), scratch + 4, "integer", 320.5, 0);
    EXPECT_EQ(ReadMemValue(memory(), scratch + 4, "integer", "").number, 320);
}

TEST_F(GameMemory, UnmappedAddressReadsZeroAndAWriteThereChangesNothing) {
    constexpr GameAddress kNeverMapped = 0x00000100;  // the lowest 64 KB are never mapped
    EXPECT_EQ(memory().readLong(kNeverMapped), 0);
    memory().writeLong(kNeverMapped, 5);
    EXPECT_EQ(memory().readLong(kNeverMapped), 0);
    // A freed page reads 0 as well, and the rest of the game goes on.
    const GameAddress freed = scratch + 0;
    memory().writeLong(freed, 42);
    VirtualFreeEx(game.handle(), reinterpret_cast<LPVOID>(static_cast<std::uintptr_t>(scratch)), 0, MEM_RELEASE);
    EXPECT_EQ(memory().readLong(freed), 0);
    EXPECT_TRUE(game.running());
}

TEST_F(GameMemory, ModuleBaseByNameAndByTheEmptyNameRule) {
    win32::Win32ModuleList modules;
    std::string name = "vt2demogame.EXE";
    EXPECT_EQ(GetModuleBase(modules, game.id(), name), 0x400000u);
    std::string empty;
    EXPECT_EQ(GetModuleBase(modules, game.id(), empty), 0x400000u);
    EXPECT_EQ(empty, "VT2DemoGame.exe");
    std::string missing = "nothere.exe";
    EXPECT_EQ(GetModuleBase(modules, game.id(), missing), 0u);
}

TEST_F(GameMemory, WhatTheGamesMemoryAllowsAtAnAddressAndWhereItCanWrite) {
    const GameAddress readOnly = static_cast<GameAddress>(reinterpret_cast<std::uintptr_t>(
        VirtualAllocEx(game.handle(), nullptr, 4096, MEM_COMMIT | MEM_RESERVE, PAGE_READONLY)));
    ASSERT_NE(readOnly, 0u);
    const DemoLayout layout;
    EXPECT_EQ(memory().accessAt(scratch + 4095), MemoryAccess::Writable);
    EXPECT_EQ(memory().accessAt(readOnly), MemoryAccess::ReadOnly);
    EXPECT_EQ(memory().accessAt(layout.address("vt2demo_patch_site")), MemoryAccess::ReadOnly);  // code
    EXPECT_EQ(memory().accessAt(0x10), MemoryAccess::Unmapped);

    auto process = real.memory.openProcess(game.id());
    ASSERT_NE(process, nullptr);
    const std::vector<WritableRegion> regions = process->writableRegions();
    auto within = [&](GameAddress a) {
        return std::any_of(regions.begin(), regions.end(), [&](const WritableRegion& r) { return a >= r.start && a - r.start < r.size; });
    };
    EXPECT_TRUE(within(scratch));
    EXPECT_TRUE(within(layout.address("vt2demo_p1_x")));  // the program's statics
    EXPECT_FALSE(within(readOnly));
    EXPECT_FALSE(within(layout.address("vt2demo_patch_site")));
    for (std::size_t i = 1; i < regions.size(); ++i) EXPECT_GT(regions[i].start, regions[i - 1].start + regions[i - 1].size - 1);

    win32::Win32ModuleList modules;
    const std::vector<ModuleEntry> entries = modules.modulesOf(game.id());
    ASSERT_FALSE(entries.empty());
    EXPECT_EQ(entries[0].name, "VT2DemoGame.exe");
    EXPECT_EQ(entries[0].path, install.file("demo\\VT2DemoGame.exe"));
    EXPECT_GT(entries[0].base + entries[0].size, layout.address("vt2demo_p1_x"));  // the image holds its statics
}

TEST_F(GameMemory, TwoLevelPointerChainThroughTheGamesMemory) {
    real.engine.state.descriptor.ExeName = "VT2DemoGame.exe";
    const DemoLayout layout;
    const GameAddress worldPointer = layout.address("vt2demo_world");
    GameAddress world = 0;
    ASSERT_TRUE(WaitUntil([&] { return (world = static_cast<GameAddress>(memory().readLong(worldPointer))) != 0; }));
    const auto player2 = static_cast<GameAddress>(memory().readLong(world + 8));
    const std::string offset = "&H" + [&] {
        char hex[16];
        std::snprintf(hex, sizeof hex, "%X", static_cast<unsigned>(worldPointer - 0x400000));
        return std::string(hex);
    }();
    GameModule module = GameModuleOf(real.engine);
    EXPECT_EQ(ResolvePointer(module, offset + "|8|4"), player2 + 4);
    EXPECT_EQ(ResolvePointer(module, offset + "||0"), world);
    EXPECT_EQ(ReadMemValue(memory(), player2, "single", "").number, 0.75);
}

TEST_F(GameMemory, CodePatchesLandInTheGamesCodeBytes) {
    const DemoLayout layout;
    const GameAddress site = layout.address("vt2demo_patch_site");
    const Bytes before = bytesAt(site, 8);
    ASSERT_EQ(before.size(), 8u);
    char section[512];
    std::snprintf(section, sizeof section,
                  "[NOP_VT2DemoGame.exe]\r\nNumberNOPs=2\r\nNOP1Addr=%u\r\nNOP1Len=3\r\n"
                  "NOP2PTR=||&H%X\r\nNOP2Len=4\r\nNOP2Replace=&H90|144\r\n",
                  static_cast<unsigned>(site), static_cast<unsigned>(site + 3 - 0x400000));
    install.writeFile("memcfg\\patched.ini", std::string("[Info]\r\nExeName=VT2DemoGame.exe\r\n") + section);
    real.engine.state.descriptor.ExeName = "VT2DemoGame.exe";
    ApplyCodePatches(real.engine, "patched");
    EXPECT_EQ(bytesAt(site, 8), (Bytes{0x90, 0x90, 0x90, 0x90, 0x90, before[5], before[6], before[7]}));
    EXPECT_TRUE(game.running());
}

TEST_F(GameMemory, PausedThreadsHoldTheGameStillAndItRunsOnWhenTheyGo) {
    const GameAddress frame = DemoLayout().address("vt2demo_frame");
    auto frameNow = [&] { return memory().readLong(frame); };
    const auto first = frameNow();
    ASSERT_TRUE(WaitUntil([&] { return frameNow() != first; }));  // it draws frames on its own
    {
        const auto paused = real.threads.pause(game.id());
        ASSERT_NE(paused, nullptr);
        const auto held = frameNow();
        // About sixty frames' time, in which a running game draws some.
        const DWORD until = GetTickCount() + 1000;
        while (GetTickCount() < until) {
            ASSERT_EQ(frameNow(), held);
            Sleep(10);
        }
        memory().writeByte(scratch, 7);  // its memory can still be written meanwhile
        EXPECT_EQ(bytesAt(scratch, 1), Bytes{7});
    }
    const auto resumed = frameNow();
    EXPECT_TRUE(WaitUntil([&] { return frameNow() != resumed; }));
    EXPECT_EQ(real.threads.pause(GetCurrentProcessId()), nullptr);  // never its own threads
}

}  // namespace
}  // namespace vt2::test
