// Start-up in the two modes, and the main window's tray and menu events.
#include <gtest/gtest.h>

#include "engine/exit_codes.h"
#include "engine/form1.h"
#include "adapters/portable/native_path.h"
#include "support/fake_platform.h"

namespace vt2::test {
namespace {

class StartUp : public ::testing::Test {
protected:
    void SetUp() override {
        sys.folder.writeFile("memcfg\\demo.ini", "[Info]\r\nName=Demo\r\nWinClass=DemoClass\r\nLaunchGame=0\r\n");
        sys.folder.writeFile("joycfg\\default.ini", "[Player1]\r\nEnable=1\r\n");
    }
    FakeSystem sys;
    Form1 form{sys.engine};
};

TEST_F(StartUp, EmptyCommandLineOpensOnlyTheConfigurationWindow) {
    form.Form_Load("");
    EXPECT_EQ(sys.log, (EventLog{"hide", "configuration window"}));
    EXPECT_FALSE(sys.mainWindow.trayIcon);
    EXPECT_EQ(sys.engine.state.descriptor.WinClass, "");
}

TEST_F(StartUp, GameModeHidesBehindTheTrayReadsTheDescriptorAndArmsTheTimer) {
    form.Form_Load("demo");
    EXPECT_EQ(sys.log, (EventLog{"tray add", "minimise", "strip system menu", "label status=Status:  Waiting for Demo",
                                 "arm timer 500"}));
    EXPECT_EQ(sys.engine.state.gameName, "demo");
    EXPECT_EQ(sys.engine.state.descriptor.WinClass, "DemoClass");
}

TEST_F(StartUp, TheGamesOwnSettingsFileOrTheDefaultWillDo) {
    sys.folder.writeFile("memcfg\\other.ini", "[Info]\r\nName=Other\r\nWinClass=OtherClass\r\n");
    form.Form_Load("other");  // only joycfg\default.ini exists
    EXPECT_EQ(sys.log.back(), "arm timer 500");
}

TEST_F(StartUp, NoSettingsFileStopsTheProgramInOrder) {
    std::filesystem::remove(NativePath(sys.folder.path() + "\\joycfg\\default.ini"));
    EXPECT_EQ(sys.exitCodeOf([&] { form.Form_Load("demo"); }), static_cast<int>(ExitCode::MissingSettings));
    const int stopAt = sys.indexOf("tray remove");
    ASSERT_GE(stopAt, 0);
    EXPECT_EQ(EventLog(sys.log.begin() + stopAt, sys.log.end()),
              (EventLog{"tray remove", "minimise", "minimise", "sleep 100", "stop reports", "release directx", "exit 3"}));
}

TEST_F(StartUp, MissingDescriptorEndsBeforeAnySettingsAreRead) {
    EXPECT_EQ(sys.exitCodeOf([&] { form.Form_Load("unknown game"); }), static_cast<int>(ExitCode::MissingDescriptor));
    EXPECT_EQ(sys.log, (EventLog{"tray add", "minimise", "strip system menu", "tray remove", "exit 2"}));
}

TEST_F(StartUp, ANameThatIsNoPlainFileNameEndsAtOnceWithItsCodeAndReadsNothing) {
    sys.folder.writeFile("x.ini", "[Info]\r\nName=Planted\r\nWinClass=DemoClass\r\n");  // beside memcfg, not in it
    for (const char* name : {"..\\x", "../x", "..\\memcfg\\demo", "CON", "NUL", "a:b", "\"\""}) {
        FakeSystem other;
        Form1 otherForm{other.engine};
        EXPECT_EQ(other.exitCodeOf([&] { otherForm.Form_Load(name); }), static_cast<int>(ExitCode::BadGameName)) << name;
        EXPECT_EQ(other.indexOf("tray add"), -1) << name;
        EXPECT_EQ(other.engine.state.descriptor.Name, "") << name;
    }
}

TEST_F(StartUp, AQuotedNameIsTheSameGameAsTheNameUnquoted) {
    sys.folder.writeFile("memcfg\\my odd game.ini", "[Info]\r\nName=Odd\r\nWinClass=OddClass\r\n");
    form.Form_Load("\"my odd game\"");
    EXPECT_EQ(sys.engine.state.gameName, "my odd game");
    EXPECT_EQ(sys.engine.state.descriptor.Name, "Odd");
    EXPECT_EQ(sys.log.back(), "arm timer 500");
}

TEST_F(StartUp, ASecondRunForTheSameGameEndsWithItsCodeAndShowsNothing) {
    sys.runLocks.heldElsewhere.insert("demo");  // another VT2 hooks the demo game
    EXPECT_EQ(sys.exitCodeOf([&] { form.Form_Load("Demo"); }), static_cast<int>(ExitCode::AlreadyHooked));
    EXPECT_TRUE(sys.eventsStartingWith("message ").empty());  // no box to take the focus from the game
    EXPECT_EQ(sys.indexOf("tray add"), -1);
    EXPECT_TRUE(sys.runLocks.held.empty());

    FakeSystem first;
    first.folder.writeFile("memcfg\\demo.ini", "[Info]\r\nName=Demo\r\nWinClass=DemoClass\r\n");
    first.folder.writeFile("joycfg\\default.ini", "[Player1]\r\nEnable=1\r\n");
    Form1 firstForm{first.engine};
    firstForm.Form_Load("demo");
    EXPECT_EQ(first.runLocks.held, (std::set<std::string>{"demo"}));  // held for the whole run
}

TEST_F(StartUp, ADescriptorThatNamesNoWindowEndsAtOnceInsteadOfWaitingForEver) {
    for (const std::string& content : {std::string(), std::string("[Info]\r\nName=Nothing\r\n"),
                                       std::string("\x01\x7F\xFE[\xFF]\r\n==\r\n[Info\r\nWinClass\r\n")}) {
        FakeSystem other;
        other.folder.writeFile("memcfg\\empty.ini", content);
        Form1 otherForm{other.engine};
        EXPECT_EQ(other.exitCodeOf([&] { otherForm.Form_Load("empty"); }), static_cast<int>(ExitCode::NoGameWindow));
        EXPECT_EQ(other.indexOf("arm timer 500"), -1);
    }
    FakeSystem captionOnly;  // a caption alone is enough to find the game by
    captionOnly.folder.writeFile("memcfg\\c.ini", "[Info]\r\nWinCaption=Some Game\r\n");
    captionOnly.folder.writeFile("joycfg\\default.ini", "[Player1]\r\nEnable=1\r\n");
    Form1 captionForm{captionOnly.engine};
    captionForm.Form_Load("c");
    EXPECT_EQ(captionOnly.log.back(), "arm timer 500");
}

TEST_F(StartUp, LaunchHappensAfterTheSettingsAndBeforeTheTimer) {
    sys.folder.writeFile("memcfg\\demo.ini",
                         "[Info]\r\nName=Demo\r\nWinClass=C\r\nExePath=C:\\g\\\r\nExeName=g.exe\r\nLaunchGame=1\r\n");
    sys.files.pretend.insert("C:\\g\\g.exe");
    form.Form_Load("demo");
    EXPECT_LT(sys.indexOf("start C:\\g\\|g.exe"), sys.indexOf("arm timer 500"));
    EXPECT_EQ(sys.mainWindow.labels[MainWindowLabel::Status], "Status:  Launchingg.exe");
}

TEST_F(StartUp, TheTimerFiresOnceAndRunsTheHook) {
    form.Form_Load("demo");
    sys.windows.addWindow({"DemoClass", "", 7, 0});  // a game whose caption reads empty ends the run
    sys.memory.processes[7];
    EXPECT_EQ(sys.exitCodeOf([&] { form.timGameStart_Timer(); }), 0);
    EXPECT_EQ(sys.eventsStartingWith("disarm timer").size(), 1u);
    EXPECT_LT(sys.indexOf("disarm timer"), sys.indexOf("pump"));
}

TEST_F(StartUp, TrayIconMouseMessages) {
    form.Form_MouseMove(0x0202);  // left button released
    EXPECT_EQ(sys.log, (EventLog{"foreground"}));
    sys.log.clear();
    form.Form_MouseMove(0x0203);  // left double-click
    EXPECT_EQ(sys.log, (EventLog{"normal", "foreground", "show"}));
    sys.log.clear();
    form.Form_MouseMove(0x0205);  // right button released
    EXPECT_EQ(sys.log, (EventLog{"foreground", "popup menu"}));
    sys.log.clear();
    for (int other : {0, 0x0200, 0x0201, 0x0204, 0x0206, 514 * 15}) form.Form_MouseMove(other);
    EXPECT_TRUE(sys.log.empty());
}

TEST_F(StartUp, MinimisingTheDebugWindowHidesItAndTheMenuShowsIt) {
    form.mnuPopDebug_Click();
    EXPECT_EQ(sys.log, (EventLog{"normal", "show"}));
    EXPECT_TRUE(sys.mainWindow.visible);
    sys.log.clear();
    form.Form_Resize();  // not minimised: nothing
    EXPECT_TRUE(sys.log.empty());
    sys.mainWindow.minimised = true;
    form.Form_Resize();
    EXPECT_EQ(sys.log, (EventLog{"hide"}));
    EXPECT_FALSE(sys.mainWindow.visible);
}

TEST_F(StartUp, TheMenusExitItemTellsTheOutputServerWhenAHookedRunHasOutputs) {
    sys.engine.state.OutputsActive = 1;  // the player's switch alone: the game was not hooked yet
    EXPECT_EQ(sys.exitCodeOf([&] { form.mnuPopExit_Click(); }), 0);
    EXPECT_TRUE(sys.dde.received.empty());

    FakeSystem hooked;
    Form1 hookedForm{hooked.engine};
    hooked.engine.state.hooked = true;
    hooked.engine.state.OutputsActive = 1;
    EXPECT_EQ(hooked.exitCodeOf([&] { hookedForm.mnuPopExit_Click(); }), 0);
    EXPECT_EQ(hooked.dde.received, (std::vector<std::string>{"mamestop|"}));
    // Delivered (or given up after its bound) before the stop goes on.
    EXPECT_LT(hooked.indexOf("finish outputs 500"), hooked.indexOf("tray remove"));
}

TEST_F(StartUp, TheMenusExitItemIsTheOrderlyStop) {
    sys.mainWindow.trayIcon = true;
    EXPECT_EQ(sys.exitCodeOf([&] { form.mnuPopExit_Click(); }), 0);
    EXPECT_EQ(sys.log, (EventLog{"tray remove", "minimise", "minimise", "sleep 100", "stop reports", "release directx", "exit 0"}));
    EXPECT_FALSE(sys.mainWindow.trayIcon);
}

}  // namespace
}  // namespace vt2::test
