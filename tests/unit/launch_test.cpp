#include <gtest/gtest.h>

#include "engine/exit_codes.h"
#include "engine/launch.h"
#include "support/fake_platform.h"

namespace vt2::test {
namespace {

class Launch : public ::testing::Test {
protected:
    void describe(const std::string& exePath, const std::string& exeName, const std::string& launchGame) {
        GameDescriptor& d = sys.engine.state.descriptor;
        d.ExePath = exePath;
        d.ExeName = exeName;
        d.LaunchGame = launchGame;
    }
    FakeSystem sys;
};

TEST_F(Launch, OnlyANumberAboveZeroLaunches) {
    GameDescriptor d;
    for (const char* yes : {"1", "2", "0.5", " 1 ", "&H1"}) {
        d.LaunchGame = yes;
        EXPECT_TRUE(ShouldLaunchGame(d)) << yes;
    }
    for (const char* no : {"0", "", "-1", "yes", "1x", "0.0"}) {
        d.LaunchGame = no;
        EXPECT_FALSE(ShouldLaunchGame(d)) << no;
    }
}

TEST_F(Launch, LaunchGameZeroStartsNothing) {
    describe("C:\\games\\", "game.exe", "0");
    sys.files.pretend.insert("C:\\games\\game.exe");
    LaunchGameIfAsked(sys.engine);
    EXPECT_TRUE(sys.log.empty());
}

TEST_F(Launch, StartsTheProgramHiddenFromItsFolderAndReportsIt) {
    describe("C:\\games\\", "game.exe", "1");
    sys.files.pretend.insert("C:\\games\\game.exe");
    LaunchGameIfAsked(sys.engine);
    EXPECT_EQ(sys.log, (EventLog{"chdir C:\\games\\", "chdir C:\\games\\", "start C:\\games\\|game.exe", "sleep 200",
                                 "label status=Status:  Launchinggame.exe"}));
    EXPECT_EQ(sys.launcher.lastState, WindowShowState::Hidden);
}

TEST_F(Launch, MissingProgramEndsAtOnceWithItsCode) {
    describe("C:\\games\\", "game.exe", "1");
    sys.mainWindow.trayIcon = true;
    EXPECT_EQ(sys.exitCodeOf([&] { LaunchGameIfAsked(sys.engine); }), static_cast<int>(ExitCode::MissingGameProgram));
    EXPECT_EQ(sys.log, (EventLog{"tray remove", "exit 4"}));
}

TEST_F(Launch, ExePathWithoutTrailingBackslashFailsTheExistenceTest) {
    describe("C:\\games", "game.exe", "1");
    sys.files.pretend.insert("C:\\games\\game.exe");
    EXPECT_EQ(sys.exitCodeOf([&] { LaunchGameIfAsked(sys.engine); }), static_cast<int>(ExitCode::MissingGameProgram));
}

TEST_F(Launch, ExePathBeginningWithBackslashIsInsideTheProgramFolderForTestAndStart) {
    describe("\\demo\\", "VT2DemoGame.exe", "1");
    const std::string folder = sys.folder.path() + "\\demo\\";
    sys.files.pretend.insert(folder + "VT2DemoGame.exe");
    LaunchGameIfAsked(sys.engine);
    EXPECT_EQ(sys.eventsStartingWith("start "), (std::vector<std::string>{"start " + folder + "|VT2DemoGame.exe"}));
    EXPECT_EQ(sys.eventsStartingWith("chdir "), (std::vector<std::string>{"chdir " + folder, "chdir " + folder}));
}

TEST_F(Launch, ExePathBeginningWithBackslashIsNotLookedForAtTheDriveRoot) {
    describe("\\demo\\", "VT2DemoGame.exe", "1");
    sys.files.pretend.insert("\\demo\\VT2DemoGame.exe");
    EXPECT_EQ(sys.exitCodeOf([&] { LaunchGameIfAsked(sys.engine); }), static_cast<int>(ExitCode::MissingGameProgram));
}

TEST(StartProgramShowCodes, EveryCodeHasItsWindowState) {
    EXPECT_EQ(ShowStateForCode(0), WindowShowState::Hidden);
    EXPECT_EQ(ShowStateForCode(1), WindowShowState::MaximisedActive);
    EXPECT_EQ(ShowStateForCode(2), WindowShowState::MinimisedActive);
    EXPECT_EQ(ShowStateForCode(3), WindowShowState::MinimisedInactive);
    EXPECT_EQ(ShowStateForCode(4), WindowShowState::NormalActive);
    EXPECT_EQ(ShowStateForCode(5), WindowShowState::NormalInactive);
    EXPECT_EQ(ShowStateForCode(6), WindowShowState::NormalActive);
    EXPECT_EQ(ShowStateForCode(-1), WindowShowState::NormalActive);
}

TEST(StartProgramFolders, OnlyALeadingBackslashMakesAFolderRelative) {
    EXPECT_EQ(ResolveFolder("C:\\VT2", "\\games\\"), "C:\\VT2\\games\\");
    EXPECT_EQ(ResolveFolder("C:\\VT2", "D:\\games\\"), "D:\\games\\");
    EXPECT_EQ(ResolveFolder("C:\\VT2", "games\\"), "games\\");
    EXPECT_EQ(ResolveFolder("C:\\VT2", ""), "");
}

TEST(OpenDocument, PassesTheShellResultOn) {
    FakeSystem sys;
    EXPECT_EQ(OpenDocument(sys.engine, "C:\\VT2\\docs\\demo.txt"), 42);
    EXPECT_EQ(sys.log, (EventLog{"open C:\\VT2\\docs\\demo.txt"}));
}

}  // namespace
}  // namespace vt2::test
