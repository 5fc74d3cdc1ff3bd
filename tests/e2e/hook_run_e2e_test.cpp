// VT2.exe hooking a running demo game: the wait, the status captions, the tray, the stop.
#include <gtest/gtest.h>

#include <cstdio>

#include "adapters/win32/main_window_ids.h"
#include "support/win32_harness.h"

namespace vt2::test {
namespace {

class HookRunE2E : public ::testing::Test {
protected:
    void SetUp() override { install.setIni("memcfg\\demo.ini", "Info", "LaunchGame", "0"); }
    HWND gameWindow(const ChildProcess& game) const { return FindTopWindowOf(game.id(), "VT2DemoGame"); }
    HWND waitForGameWindow(const ChildProcess& game) const {
        HWND window = nullptr;
        WaitUntil([&] { return (window = gameWindow(game)) != nullptr; });
        return window;
    }
    TempInstall install;
};

// Each demo game: dist's (in a 64-bit build a 64-bit program at the 32-bit game's low addresses),
// in a 64-bit build the 64-bit one whose module, variables and heap lie above 4 GB, and the real
// 32-bit one where the build has it and the machine runs it.
class HookRunEachGameE2E : public ::testing::TestWithParam<DemoGame> {
protected:
    void SetUp() override {
        VT2_USE_DEMO_GAME(install, GetParam());
        install.setIni(GetParam().descriptor(), "Info", "LaunchGame", "0");
    }
    TempInstall install;
};

TEST_P(HookRunEachGameE2E, WaitsForTheGameHooksItAndEndsWhenItsWindowCloses) {
    const DemoGame& demo = GetParam();
    const int traysBefore = TrayIconCount();
    ChildProcess vt2 = install.startVt2(demo.name);
    ASSERT_TRUE(WaitForStatus(vt2, std::string("Status:  Waiting for ") + demo.caption));
    EXPECT_TRUE(WaitUntil([&] { return TrayIconCount() == traysBefore + 1; }));
    EXPECT_FALSE(IsWindowVisible(FindMainWindowOf(vt2.id())));

    ChildProcess game = install.startDemoGame(demo);
    ASSERT_TRUE(WaitForStatus(vt2, std::string("Status:  Hooked ") + demo.caption));
    EXPECT_TRUE(vt2.running());

    HWND window = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (window = FindTopWindowOf(game.id(), "VT2DemoGame")) != nullptr; }));
    const ULONGLONG closedAt = GetTickCount64();
    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(vt2.waitForExit(), 0u);
    const auto elapsed = static_cast<int>(GetTickCount64() - closedAt);
    RecordProperty("ms_from_game_close_to_vt2_exit", elapsed);
    std::printf("VT2 ended %d ms after the game window was closed\n", elapsed);
    EXPECT_TRUE(WaitUntil([&] { return TrayIconCount() == traysBefore; }));
}
INSTANTIATE_TEST_SUITE_P(Each, HookRunEachGameE2E, ::testing::ValuesIn(DemoGames()), DemoGameName);

TEST_F(HookRunE2E, AnEmptyWinCaptionFindsTheGameByClassAlone) {
    install.setIni("memcfg\\demo.ini", "Info", "WinCaption", "");
    ChildProcess game = install.startDemoGame("--caption \"Some Other Title\"");
    ChildProcess vt2 = install.startVt2("demo");
    ASSERT_TRUE(WaitForStatus(vt2, "Status:  Hooked VT2 Demo Game"));
    // A new caption does not end the run; only the window's end does.
    const HWND window = gameWindow(game);
    SetWindowTextA(window, "Renamed While Running");
    EXPECT_FALSE(vt2.waitForExit(1500).has_value());
    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(vt2.waitForExit(), 0u);
}

TEST_F(HookRunE2E, AGameWindowWithoutCaptionEndsTheRunRightAfterHooking) {
    install.setIni("memcfg\\demo.ini", "Info", "WinCaption", "");
    ChildProcess game = install.startDemoGame("--caption \"\"");
    ASSERT_NE(waitForGameWindow(game), nullptr);
    ChildProcess vt2 = install.startVt2("demo");
    // Exit code 0 is the orderly stop: the run hooked the game and ended on its own.
    EXPECT_EQ(vt2.waitForExit(), 0u);
    EXPECT_TRUE(game.running());
}

TEST_F(HookRunE2E, TheTrayMenusExitEndsTheProgramWhileWaiting) {
    ChildProcess vt2 = install.startVt2("demo");
    ASSERT_TRUE(WaitForStatus(vt2, "Status:  Waiting for VT2 Demo Game"));
    PostMessageA(FindMainWindowOf(vt2.id()), WM_COMMAND, win32::kIdMenuExit, 0);
    EXPECT_EQ(vt2.waitForExit(), 0u);
}

TEST_F(HookRunE2E, TheTrayMenusExitEndsTheProgramWhileRunningAndLeavesTheGame) {
    ChildProcess game = install.startDemoGame();
    ChildProcess vt2 = install.startVt2("demo");
    ASSERT_TRUE(WaitForStatus(vt2, "Status:  Hooked VT2 Demo Game"));
    PostMessageA(FindMainWindowOf(vt2.id()), WM_COMMAND, win32::kIdMenuExit, 0);
    EXPECT_EQ(vt2.waitForExit(), 0u);
    EXPECT_TRUE(game.running());
}

TEST_F(HookRunE2E, TheDebugWindowShowsFromTheMenuAndHidesWhenMinimised) {
    ChildProcess game = install.startDemoGame();
    ChildProcess vt2 = install.startVt2("demo");
    ASSERT_TRUE(WaitForStatus(vt2, "Status:  Hooked VT2 Demo Game"));
    const HWND main = FindMainWindowOf(vt2.id());
    PostMessageA(main, WM_COMMAND, win32::kIdMenuShowDebug, 0);
    EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(main) != FALSE; }));
    PostMessageA(main, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(main) == FALSE; }));
    EXPECT_TRUE(vt2.running());
}

TEST_F(HookRunE2E, NoBorderLeavesTheGameBorderlessAtTheTopLeftWithItsOuterSize) {
    install.setIni("memcfg\\demo.ini", "Info", "NoBorder", "1");
    ChildProcess game = install.startDemoGame();
    const HWND window = waitForGameWindow(game);
    ASSERT_NE(window, nullptr);
    RECT before{};
    GetWindowRect(window, &before);
    ASSERT_NE(before.left, 0);

    ChildProcess vt2 = install.startVt2("demo");
    ASSERT_TRUE(WaitForStatus(vt2, "Status:  Hooked VT2 Demo Game"));
    const DWORD style = static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE));
    EXPECT_EQ(style & (WS_CAPTION | WS_BORDER | WS_THICKFRAME | WS_SYSMENU | WS_DLGFRAME), 0u);
    RECT after{};
    GetWindowRect(window, &after);
    EXPECT_EQ(after.left, 0);
    EXPECT_EQ(after.top, 0);
    EXPECT_EQ(after.right - after.left, before.right - before.left);
    EXPECT_EQ(after.bottom - after.top, before.bottom - before.top);
}

}  // namespace
}  // namespace vt2::test
