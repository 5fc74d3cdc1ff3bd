// VT2.exe hooking the demo game through a descriptor of pointer chains and code patches.
#include <gtest/gtest.h>

#include <cstdio>

#include "support/win32_harness.h"

namespace vt2::test {
namespace {

std::string Hex(std::uint64_t value) {
    char text[24];
    std::snprintf(text, sizeof text, "&H%llX", static_cast<unsigned long long>(value));
    return text;
}

class GameMemoryE2E : public ::testing::Test {
protected:
    void SetUp() override { install.setIni("memcfg\\demo.ini", "Info", "LaunchGame", "0"); }
    std::vector<std::uint8_t> codeBytes(const ChildProcess& game, std::uint64_t address, std::size_t length) const {
        std::vector<std::uint8_t> bytes(length);
        ReadProcessMemory(game.handle(), reinterpret_cast<LPCVOID>(static_cast<std::uintptr_t>(address)), bytes.data(),
                          length, nullptr);
        return bytes;
    }
    TempInstall install;
    DemoLayout layout;
};

TEST_F(GameMemoryE2E, PointerChainTargetsHookTheGameAndThePatchesAreWritten) {
    // Player 1's axes as zero-dereference chains, player 2's as the shipped two-level chains.
    install.setIni("memcfg\\demo.ini", "Inputs", "P1XPTR", "||" + Hex(layout.address("vt2demo_p1_x") - 0x400000));
    install.setIni("memcfg\\demo.ini", "Inputs", "P1YPTR", "||" + Hex(layout.address("vt2demo_p1_y") - 0x400000));
    install.setIni("memcfg\\demo.ini", "NOP_VT2DemoGame.exe", "NOP1Addr", "");
    install.setIni("memcfg\\demo.ini", "NOP_VT2DemoGame.exe", "NOP1PTR",
                   "||" + Hex(layout.address("vt2demo_patch_site") - 0x400000));
    const std::uint64_t site = layout.address("vt2demo_patch_site");
    const auto length = static_cast<std::size_t>(layout.address("vt2demo_patch_length"));
    ASSERT_GT(length, 0u);

    ChildProcess game = install.startDemoGame();
    ASSERT_TRUE(WaitUntil([&] { return FindTopWindowOf(game.id(), "VT2DemoGame") != nullptr; }));
    const auto unpatched = codeBytes(game, site, length);
    ASSERT_NE(unpatched, std::vector<std::uint8_t>(length, 0x90));

    ChildProcess vt2 = install.startVt2("demo");
    ASSERT_TRUE(WaitForStatus(vt2, "Status:  Hooked VT2 Demo Game"));
    EXPECT_TRUE(WaitUntil([&] { return codeBytes(game, site, length) == std::vector<std::uint8_t>(length, 0x90); }));
    EXPECT_TRUE(game.running());
    EXPECT_TRUE(vt2.running());
    PostMessageA(FindTopWindowOf(game.id(), "VT2DemoGame"), WM_CLOSE, 0, 0);
    EXPECT_EQ(vt2.waitForExit(), 0u);
}

TEST_F(GameMemoryE2E, TargetsAndPatchesItCannotReachDoNotStopTheRun) {
    install.writeFile("memcfg\\demo.ini",
                      "[Info]\r\nName=Unreachable\r\nWinCaption=VT2 Demo Game\r\nWinClass=VT2DemoGame\r\n"
                      "ExeName=VT2DemoGame.exe\r\nLaunchGame=0\r\n"
                      "[Inputs]\r\nP1XAddr=&H100\r\nP1XType=integer\r\nP1XMulti=640\r\nP2XPTR=&H7FFF0000|8|4\r\n"
                      "P2XType=single\r\nP1TriggerAddr=&HFFFFFFF0\r\nP1TriggerType=byte\r\nP1TrigerBitMask=1\r\n"
                      "[NOP_VT2DemoGame.exe]\r\nNumberNOPs=2\r\nNOP1Addr=&H200\r\nNOP1Len=4\r\n"
                      "NOP2PTR=&H7FFF0000|4|0\r\nNOP2Len=2\r\n");
    ChildProcess game = install.startDemoGame();
    ChildProcess vt2 = install.startVt2("demo");
    ASSERT_TRUE(WaitForStatus(vt2, "Status:  Hooked Unreachable"));
    EXPECT_FALSE(vt2.waitForExit(500).has_value());
    PostMessageA(FindTopWindowOf(game.id(), "VT2DemoGame"), WM_CLOSE, 0, 0);
    EXPECT_EQ(vt2.waitForExit(), 0u);
}

}  // namespace
}  // namespace vt2::test
