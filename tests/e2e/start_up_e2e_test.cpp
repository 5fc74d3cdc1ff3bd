// VT2.exe started in both modes, and the early ends, each with its exit code.
#include <gtest/gtest.h>

#include "adapters/win32/main_window_ids.h"
#include "support/win32_harness.h"

namespace vt2::test {
namespace {

TEST(StartUpE2E, EmptyCommandLineOpensOnlyTheConfigurationWindow) {
    TempInstall install;
    const int traysBefore = TrayIconCount();
    ChildProcess vt2 = install.startVt2("");
    HWND config = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (config = FindTopWindowOf(vt2.id(), win32::kConfigWindowClass)) != nullptr; }));
    EXPECT_TRUE(WaitUntil([&] { return WindowText(config) == "Vantor 2 Configuration"; }));
    EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(config) != FALSE; }));
    const HWND main = FindMainWindowOf(vt2.id());
    ASSERT_NE(main, nullptr);
    EXPECT_FALSE(IsWindowVisible(main));
    EXPECT_EQ(TrayIconCount(), traysBefore);
    PostMessageA(config, WM_CLOSE, 0, 0);
    EXPECT_EQ(vt2.waitForExit(), 0u);
}

TEST(StartUpE2E, VersionPrintsTheVersionAndEnds) {
    TempInstall install;
    const int traysBefore = TrayIconCount();
    EXPECT_EQ(OutputOfVt2(install, "--version"), std::string("exit 0|VT2 ") + VT2_VERSION_TEXT);
    EXPECT_EQ(TrayIconCount(), traysBefore);
}

TEST(StartUpE2E, AGameWithoutDescriptorEndsAtOnceAndLeavesNoTrayIcon) {
    TempInstall install;
    const int traysBefore = TrayIconCount();
    ChildProcess vt2 = install.startVt2("no such game");
    EXPECT_EQ(vt2.waitForExit(), 2u);
    EXPECT_TRUE(WaitUntil([&] { return TrayIconCount() == traysBefore; }));
}

TEST(StartUpE2E, NoSettingsFileEndsWithItsCode) {
    TempInstall install;
    install.removeFile("joycfg\\default.ini");
    const int traysBefore = TrayIconCount();
    ChildProcess vt2 = install.startVt2("demo");
    EXPECT_EQ(vt2.waitForExit(), 3u);
    EXPECT_TRUE(WaitUntil([&] { return TrayIconCount() == traysBefore; }));
}

TEST(StartUpE2E, LaunchGameWithAMissingProgramEndsWithItsCode) {
    TempInstall install;
    install.setIni("memcfg\\demo.ini", "Info", "ExeName", "NotThere.exe");
    ChildProcess vt2 = install.startVt2("demo");
    EXPECT_EQ(vt2.waitForExit(), 4u);
}

TEST(StartUpE2E, LaunchGameStartsTheGameHiddenAndReportsLaunchingThenHooked) {
    TempInstall install;  // the shipped descriptor launches \demo\VT2DemoGame.exe
    ChildProcess vt2 = install.startVt2("demo");
    ASSERT_TRUE(WaitForStatus(vt2, "Status:  LaunchingVT2DemoGame.exe"));
    ASSERT_TRUE(WaitForStatus(vt2, "Status:  Hooked VT2 Demo Game"));

    HWND game = FindWindowA("VT2DemoGame", "VT2 Demo Game");
    ASSERT_NE(game, nullptr);
    DWORD gameId = 0;
    GetWindowThreadProcessId(game, &gameId);
    win32::unique_kernel_handle gameProcess(OpenProcess(PROCESS_ALL_ACCESS, FALSE, gameId));
    const DemoLayout layout;
    std::int32_t shownAs = -2;
    ReadProcessMemory(gameProcess.get(),
                      reinterpret_cast<LPCVOID>(static_cast<std::uintptr_t>(layout.address("vt2demo_startup_show"))),
                      &shownAs, sizeof shownAs, nullptr);
    EXPECT_EQ(shownAs, SW_HIDE);

    PostMessageA(game, WM_CLOSE, 0, 0);
    EXPECT_EQ(vt2.waitForExit(), 0u);
}

}  // namespace
}  // namespace vt2::test
