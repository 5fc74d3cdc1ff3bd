#include <gtest/gtest.h>

#include "engine/exit_codes.h"
#include "engine/game_descriptor.h"
#include "engine/run_files.h"
#include "support/fake_platform.h"

namespace vt2::test {
namespace {

constexpr const char* kFullInfo =
    "[Info]\r\nName=House of the Dead\r\nWinCaption=HOTD\r\nWinClass=MYWIN\r\nExeName=emulator.exe\r\n"
    "ExePath=C:\\m2\\\r\nLaunchGame=1\r\nGameType=VON\r\n";

TEST(LoadGameDescriptor, ReadsEveryInfoKeyAsText) {
    FakeSystem sys;
    sys.folder.writeFile("memcfg\\hotd.ini", kFullInfo);
    sys.engine.state.gameName = "hotd";
    LoadRunDescriptor(sys.engine);
    const GameDescriptor& d = sys.engine.state.descriptor;
    EXPECT_EQ(d.Name, "House of the Dead");
    EXPECT_EQ(d.WinCaption, "HOTD");
    EXPECT_EQ(d.WinClass, "MYWIN");
    EXPECT_EQ(d.ExeName, "emulator.exe");
    EXPECT_EQ(d.ExePath, "C:\\m2\\");
    EXPECT_EQ(d.LaunchGame, "1");
    EXPECT_EQ(d.GameType, "VON");
    EXPECT_EQ(sys.mainWindow.labels[MainWindowLabel::Status], "Status:  Waiting for House of the Dead");
}

TEST(LoadGameDescriptor, MissingKeysAreEmptyAndQuietLeavesTheStatusAlone) {
    FakeSystem sys;
    sys.folder.writeFile("memcfg\\bare.ini", "[Info]\r\nWinClass=X\r\n");
    sys.mainWindow.labels[MainWindowLabel::Status] = "Status:";
    const auto d = LoadGameDescriptor(sys.files, sys.ini, sys.folder.path(), "bare");
    ASSERT_TRUE(d.has_value());
    EXPECT_EQ(d->WinClass, "X");
    EXPECT_EQ(d->Name, "");
    EXPECT_EQ(d->LaunchGame, "");
    EXPECT_EQ(sys.mainWindow.labels[MainWindowLabel::Status], "Status:");
}

TEST(LoadGameDescriptor, ANameWithBlanksIsOneFileName) {
    FakeSystem sys;
    sys.folder.writeFile("memcfg\\house of the dead.ini", "[Info]\r\nName=spaced\r\nWinClass=HOTD\r\n");
    sys.engine.state.gameName = "house of the dead";
    LoadRunDescriptor(sys.engine);
    EXPECT_EQ(sys.engine.state.descriptor.Name, "spaced");
}

TEST(LoadGameDescriptor, AMissingFileIsNoDescriptorAndTheLoaderEndsNothing) {
    FakeSystem sys;
    sys.folder.writeFile("memcfg\\default.ini", kFullInfo);
    EXPECT_FALSE(LoadGameDescriptor(sys.files, sys.ini, sys.folder.path(), "nogame").has_value());
    EXPECT_TRUE(sys.log.empty());  // what a missing file means is the caller's to decide
}

TEST(LoadGameDescriptor, NoDefaultFallbackAndAMissingFileEndsAtOnceWithItsCode) {
    FakeSystem sys;
    sys.folder.writeFile("memcfg\\default.ini", kFullInfo);
    sys.mainWindow.trayIcon = true;
    sys.engine.state.gameName = "nogame";
    const auto code = sys.exitCodeOf([&] { LoadRunDescriptor(sys.engine); });
    EXPECT_EQ(code, static_cast<int>(ExitCode::MissingDescriptor));
    // Only the tray icon goes first; no orderly stop (no pause, no minimise).
    EXPECT_EQ(sys.log, (EventLog{"tray remove", "exit 2"}));
    EXPECT_FALSE(sys.mainWindow.trayIcon);
}

}  // namespace
}  // namespace vt2::test
