// The configuration window's model: what every control shows for a game, and what each action
// writes, asks and answers.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "common/ini.h"
#include "adapters/portable/native_path.h"
#include "support/fake_forms.h"
#include "support/fake_platform.h"
#include "input/aim_settings.h"
#include "ui/config_tool.h"

namespace vt2::test {
namespace {

constexpr const char* kSettings =
    "[Options]\r\nForcePoll=1\r\nHideCross=0\r\nOutputs=1\r\n"
    "[Player1]\r\nEnable=1\r\nSysMouse=1\r\nInputType=lightgun\r\nJoyID=-1\r\nMouseID=2\r\nMouseAccel=25\r\n"
    "TriggerButton=0\r\nReloadButton=1\r\nStartButton=-1\r\nCoinButton=3\r\nEscButton=16\r\n"
    "[Player2]\r\nEnable=0\r\nInputType=joystick\r\nJoyID=1\r\nMouseID=-1\r\nMouseAccel=18\r\n"
    "TriggerButton=5\r\nReloadButton=6\r\nStartButton=7\r\nCoinButton=8\r\nEscButton=-1\r\n"
    "[keys]\r\nEnable=1\r\nP1StartKey=49\r\nP2StartKey=50\r\nP1CoinKey=53\r\nP2CoinKey=54\r\nP1EscKey=27\r\nP2EscKey=-1\r\n";

class ConfigWindow : public ::testing::Test {
protected:
    void SetUp() override {
        sys.folder.writeFile("memcfg\\hotd.ini", "[Info]\r\nName=House of the Dead\r\nWinClass=H\r\nExeName=hotd.exe\r\n"
                                                 "ExePath=C:\\games\\hotd\\\r\nLaunchGame=1\r\nGameType=\r\n");
        sys.folder.writeFile("memcfg\\bare.ini", "[Info]\r\nWinClass=B\r\n");
        sys.folder.writeFile("joycfg\\default.ini", "[Player1]\r\nEnable=1\r\nInputType=mouse\r\nMouseID=0\r\nMouseAccel=18\r\n");
        sys.folder.writeFile("joycfg\\hotd.ini", kSettings);
    }
    // The window open, its start-up step done: the list read and the first game loaded.
    void start() {
        tool.open();
        tool.config().timerTicked();
    }
    void select(const std::string& base) {
        for (std::size_t i = 0; i < config().games().size(); ++i) {
            if (config().games()[i].base == base) Choose(config(), "cmbGame", static_cast<int>(i));
        }
        ASSERT_EQ(config().games()[*config().currentGame()].base, base);
    }
    ConfigModel& config() { return tool.config(); }
    ControlState shown(const std::string& control) { return config().state(control); }
    std::string file(const std::string& relative) const { return sys.folder.path() + "\\" + relative; }
    std::string read(const std::string& relative, const char* section, const char* key) {
        return ReadIniValue(sys.ini, file(relative), section, key, false);
    }
    bool exists(const std::string& relative) const {
        return std::filesystem::exists(NativePath(sys.folder.path() + "\\" + relative));
    }

    FakeSystem sys;
    FakeForms forms{sys.log};
    FakeInputBoxes inputs{sys.log};
    ConfigServices services{sys.ini, sys.files, sys.messageBoxes, inputs, sys.launcher, forms, sys.folder.path()};
    ConfigTool tool{services, sys.keyboard};
};

TEST_F(ConfigWindow, StartUpReadsTheListInOrderAndLoadsTheFirstGame) {
    tool.open();
    EXPECT_EQ(sys.log, (EventLog{"show frmConfig", "timer frmConfig 100"}));
    config().timerTicked();
    ASSERT_EQ(config().games().size(), 2u);
    EXPECT_EQ(shown("cmbGame").items, (std::vector<std::string>{"  (bare)", "House of the Dead  (hotd)"}));
    EXPECT_EQ(config().games()[0].displayName, "bare");  // no Name: the base name stands in
    EXPECT_EQ(shown("cmbGame").selected, 0);
    EXPECT_EQ(sys.eventsStartingWith("stop timer"), (std::vector<std::string>{"stop timer frmConfig"}));  // once
    EXPECT_EQ(sys.log.back(), "focus frmConfig cmbGame");
    EXPECT_FALSE(shown("cmdPage1").enabled);
    EXPECT_TRUE(shown("cmdPage2").enabled);
    EXPECT_TRUE(shown("frmGame").visible);
    EXPECT_FALSE(shown("frmGunP1").visible);
    EXPECT_FALSE(shown("cmbTrigger2").visible);
}

TEST_F(ConfigWindow, AGameShowsItsDescriptorAndItsSettingsInEveryControl) {
    start();
    select("hotd");
    EXPECT_EQ(shown("txtExe").text, "hotd.exe");
    EXPECT_EQ(shown("txtExePath").text, "C:\\games\\hotd\\");
    EXPECT_TRUE(shown("chkLaunch").checked);
    EXPECT_TRUE(shown("chkForce").checked);
    EXPECT_FALSE(shown("chkHideCross").checked);
    EXPECT_TRUE(shown("chkOutputs").checked);
    EXPECT_TRUE(shown("chkSysMouse").checked);
    EXPECT_TRUE(shown("chkEnableP1").checked);
    EXPECT_FALSE(shown("chkEnableP2").checked);
    EXPECT_EQ(shown("txtStart1Key").text, "49");
    EXPECT_EQ(shown("txtCoin2Key").text, "54");
    EXPECT_EQ(shown("txtExitKey").text, "27");
    EXPECT_EQ(shown("txtExit2Key").text, "-1");
    EXPECT_EQ(shown("txtP1Accel").text, "25");
    EXPECT_TRUE(shown("optP1_1").checked);  // lightgun
    EXPECT_FALSE(shown("optP1_0").checked);
    EXPECT_EQ(shown("cmbP1").selected, 3);  // MouseID 2
    EXPECT_TRUE(shown("optP2_2").checked);  // joystick
    EXPECT_EQ(shown("cmbP2").selected, 2);  // JoyID 1
    EXPECT_EQ(shown("cmbTrigger1").selected, 1);
    EXPECT_EQ(shown("cmbStart1").selected, 0);  // -1 is "NONE"
    EXPECT_EQ(shown("cmbStart1").text, "NONE");
    EXPECT_EQ(shown("cmbExit1").selected, 17);  // 16
    EXPECT_EQ(shown("cmbCoin2").text, "8");
    EXPECT_EQ(shown("cmbP1").items.size(), 18u);
}

TEST_F(ConfigWindow, ThePageButtonsSwapTheFramesAndEnableEachOther) {
    start();
    Click(config(), "cmdPage2");
    EXPECT_TRUE(shown("cmdPage1").enabled);
    EXPECT_FALSE(shown("cmdPage2").enabled);
    for (const char* page2 : {"frmGunP1", "frmGunP2", "optP1_0", "cmbExit2", "chkEnableP2"}) EXPECT_TRUE(shown(page2).visible) << page2;
    for (const char* page1 : {"frmGame", "fraLaunch", "fraRemap", "frmM2", "cmbGame", "cmdVON"}) EXPECT_FALSE(shown(page1).visible) << page1;
    EXPECT_TRUE(shown("cmdGunSave").visible);  // on both pages
    Click(config(), "cmdPage1");
    EXPECT_TRUE(shown("frmGame").visible);
    EXPECT_FALSE(shown("frmGunP2").visible);
}

TEST_F(ConfigWindow, SaveAsDefaultWritesDefaultIniAndLeavesTheGamesOwnFile) {
    start();
    select("hotd");
    const std::string own = sys.folder.readFile("joycfg\\hotd.ini");
    Click(config(), "cmdGunSave");
    EXPECT_EQ(sys.log.back(), "box Settings Saved|Settings Saved as Default.");
    EXPECT_EQ(read("joycfg\\default.ini", "Player1", "InputType"), "lightgun");
    EXPECT_EQ(read("joycfg\\default.ini", "Player1", "MouseAccel"), "25");
    EXPECT_EQ(sys.folder.readFile("joycfg\\hotd.ini"), own);
}

TEST_F(ConfigWindow, SaveForThisGameWritesItsOwnFileAndNamesIt) {
    start();  // "bare": no file of its own yet, default.ini shows
    EXPECT_TRUE(shown("optP1_0").checked);
    Choose(config(), "cmbTrigger1", 3);
    Click(config(), "Command1");
    EXPECT_EQ(sys.log.back(), "box Settings Saved|Settings Saved for bare.");
    EXPECT_EQ(read("joycfg\\bare.ini", "Player1", "TriggerButton"), "2");
    EXPECT_EQ(read("joycfg\\bare.ini", "Player1", "InputType"), "mouse");
    select("hotd");
    Click(config(), "Command1");
    EXPECT_EQ(sys.log.back(), "box Settings Saved|Settings Saved for House of the Dead.");
}

TEST_F(ConfigWindow, TheTwinStickGamesSaveBothFilesWithBothPlayersOnJoysticksAndBothEnabled) {
    sys.folder.writeFile("memcfg\\vonj.ini", "[Info]\r\nName=Virtual On (J)\r\nWinClass=V\r\nGameType=VON\r\n");
    start();
    select("vonj");
    Check(config(), "chkEnableP2", true);
    Check(config(), "chkEnableP1", false);
    Click(config(), "Command1");
    for (const char* base : {"joycfg\\vonj.ini", "joycfg\\von.ini"}) {
        EXPECT_EQ(read(base, "Player1", "InputType"), "joystick") << base;
        EXPECT_EQ(read(base, "Player2", "InputType"), "joystick") << base;
        EXPECT_EQ(read(base, "Player1", "Enable"), "1") << base;
        EXPECT_EQ(read(base, "Player2", "Enable"), "1") << base;
    }
    EXPECT_EQ(sys.folder.readFile("joycfg\\vonj.ini"), sys.folder.readFile("joycfg\\von.ini"));
    EXPECT_EQ(sys.log.back(), "box Settings Saved|Settings Saved for Virtual On (J).");
}

TEST_F(ConfigWindow, ATwinStickGameShowsAndSavesTheButtonsItsFileHolds) {
    sys.folder.writeFile("memcfg\\von.ini", "[Info]\r\nName=VON\r\nWinClass=V\r\nGameType=VON\r\n");
    sys.folder.writeFile("joycfg\\von.ini", kSettings);
    start();
    select("von");
    EXPECT_EQ(shown("cmbTrigger1").text, "0");
    EXPECT_EQ(shown("cmbReload1").text, "1");
    EXPECT_EQ(shown("cmbCoin1").text, "3");
    EXPECT_EQ(shown("cmbStart2").text, "7");
    EXPECT_TRUE(shown("optP1_1").checked);  // as stored; the run makes both players joystick players
    Click(config(), "Command1");
    EXPECT_EQ(read("joycfg\\von.ini", "Player1", "CoinButton"), "3");
    EXPECT_EQ(read("joycfg\\vonj.ini", "Player2", "TriggerButton"), "5");
}

TEST_F(ConfigWindow, RevertSaysWhyItCannotAsksFirstAndThenShowsDefaultIni) {
    sys.folder.writeFile("memcfg\\von.ini", "[Info]\r\nName=VON\r\nWinClass=V\r\nGameType=VON\r\n");
    start();
    Click(config(), "cmdRevert");  // "bare" has no file of its own
    EXPECT_EQ(sys.log.back(), "box Already Using Default|Game is already using default.ini!");
    select("von");
    Click(config(), "cmdRevert");
    EXPECT_EQ(sys.log.back(), "box Cannot Revert|Sorry, but this game uses custom settings.  Cannot Revert to default.ini");
    select("hotd");
    sys.messageBoxes.answers = {MessageAnswer::No};
    Click(config(), "cmdRevert");
    EXPECT_EQ(sys.log.back(), "box Revert Settings|Delete settings for this game and revert to default.ini?|yes/no");
    EXPECT_TRUE(exists("joycfg\\hotd.ini"));
    sys.messageBoxes.answers = {MessageAnswer::Yes};
    Click(config(), "cmdRevert");
    EXPECT_FALSE(exists("joycfg\\hotd.ini"));
    EXPECT_TRUE(shown("optP1_0").checked);  // default.ini's mouse player now shows
    EXPECT_EQ(shown("txtP1Accel").text, "18");
}

TEST_F(ConfigWindow, AFileThatCannotBeDeletedOrWrittenIsReportedAndNeverCalledDone) {
    start();
    select("hotd");
    sys.files.undeletable.insert(file("joycfg\\hotd.ini"));
    Click(config(), "cmdRevert");
    EXPECT_EQ(sys.log.back(), "box Not Reverted|VT2 could not delete " + file("joycfg\\hotd.ini") +
                                  ".\r\n\r\nAccess is denied.");
    EXPECT_TRUE(exists("joycfg\\hotd.ini"));

    const std::string before = sys.folder.readFile("joycfg\\hotd.ini");
    std::filesystem::permissions(NativePath(file("joycfg\\hotd.ini")), std::filesystem::perms::owner_read,
                                 std::filesystem::perm_options::replace);
    sys.log.clear();
    Choose(config(), "cmbTrigger1", 5);
    Click(config(), "Command1");
    EXPECT_EQ(sys.eventsStartingWith("box "), (std::vector<std::string>{"box Settings Not Saved|VT2 could not write " +
                                                                       file("joycfg\\hotd.ini") + ".\r\n\r\nAccess is denied."}));
    EXPECT_EQ(sys.folder.readFile("joycfg\\hotd.ini"), before);
    std::filesystem::permissions(NativePath(file("joycfg\\hotd.ini")), std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::replace);
}

TEST_F(ConfigWindow, NotesPreferTheTextFileThenTheHtmlFile) {
    start();
    select("hotd");
    Click(config(), "cmdNotes");
    EXPECT_EQ(sys.log.back(), "box No Notes|No Notes Found!  Sorry.");
    sys.folder.writeFile("docs\\hotd.html", "<p>notes</p>");
    Click(config(), "cmdNotes");
    EXPECT_EQ(sys.log.back(), "open " + file("docs\\hotd.html"));
    sys.folder.writeFile("docs\\hotd.txt", "notes");
    Click(config(), "cmdNotes");
    EXPECT_EQ(sys.log.back(), "open " + file("docs\\hotd.txt"));
}

TEST_F(ConfigWindow, TheFixedMessagesOfHelpAndWarning) {
    start();
    Click(config(), "cmdHelp");
    EXPECT_EQ(sys.log.back(), "box !!!!IMPORTANT NOTE!!!!|NOTE:  Launch settings are always unique to each game, so "
                              "they must be saved seperately!!!");
    Click(config(), "cmdWarning");
    EXPECT_EQ(sys.log.back(),
              "box !!Warning!!|Note:  While you might need to change the path, there really isn't a reason to change the "
              "exe.  Model 2 games work automatically and pc games have fixed exe names.  Changing the exe name can lead "
              "to detection issues.|information");
}

TEST_F(ConfigWindow, SetAccelTrimsTheAnswerKeepsOnNothingAndEmptiesOnBlanks) {
    start();
    select("hotd");
    inputs.answers = {"  20 ", "", "   ", "x y"};
    Click(config(), "cmnSetAccelP1");
    EXPECT_EQ(sys.log.back(), "input Set Mouse Accel|Set the Mouse Acceleration Value. 18 is default|25");
    EXPECT_EQ(shown("txtP1Accel").text, "20");
    Click(config(), "cmnSetAccelP1");  // nothing (or Cancel) keeps it
    EXPECT_EQ(shown("txtP1Accel").text, "20");
    Click(config(), "cmnSetAccelP1");
    EXPECT_EQ(shown("txtP1Accel").text, "");
    Click(config(), "Command2");
    EXPECT_EQ(shown("txtP2Accel").text, "x y");  // not checked for being a number
    Click(config(), "Command1");
    EXPECT_EQ(read("joycfg\\hotd.ini", "Player2", "MouseAccel"), "x y");
}

TEST_F(ConfigWindow, LaunchSettingsAreWrittenAloneTrimmedIntoTheDescriptor) {
    start();
    select("hotd");
    TypeIntoField(config(), "txtExe", "  game.exe ");
    TypeIntoField(config(), "txtExePath", " D:\\g\\  ");
    Check(config(), "chkLaunch", false);
    Click(config(), "cmdLaunchSave");
    EXPECT_EQ(sys.log.back(), "box Saved|Launch Settings Saved for This Game.");
    EXPECT_EQ(read("memcfg\\hotd.ini", "Info", "ExeName"), "game.exe");
    EXPECT_EQ(read("memcfg\\hotd.ini", "Info", "ExePath"), "D:\\g\\");
    EXPECT_EQ(read("memcfg\\hotd.ini", "Info", "LaunchGame"), "0");
    EXPECT_EQ(read("memcfg\\hotd.ini", "Info", "Name"), "House of the Dead");
    EXPECT_EQ(read("memcfg\\hotd.ini", "Info", "WinClass"), "H");
    EXPECT_EQ(sys.folder.readFile("joycfg\\hotd.ini"), kSettings);  // player settings are saved apart
}

TEST_F(ConfigWindow, ValuesTheControlsCannotShowSurviveASaveUnlessTheirControlWasChanged) {
    sys.folder.writeFile("memcfg\\odd.ini", "[Info]\r\nName=Odd\r\nWinClass=O\r\nLaunchGame=yes\r\n");
    sys.folder.writeFile("joycfg\\odd.ini", "[Options]\r\nForcePoll=2\r\n[Player1]\r\nEnable=1\r\nInputType=gamepad\r\n"
                                            "JoyID=3\r\nMouseID=4\r\nTriggerButton=30\r\n[Player2]\r\nEnable=7\r\n"
                                            "InputType=mouse\r\nMouseID=20\r\n");
    start();
    select("odd");
    EXPECT_FALSE(shown("chkForce").checked);
    EXPECT_FALSE(shown("chkLaunch").checked);
    EXPECT_EQ(shown("cmbTrigger1").text, "NONE");
    for (int i = 0; i < 3; ++i) EXPECT_FALSE(shown("optP1_" + std::to_string(i)).checked);
    Check(config(), "chkEnableP2", true);  // this one the user changes
    Click(config(), "Command1");
    EXPECT_EQ(read("joycfg\\odd.ini", "Options", "ForcePoll"), "2");
    EXPECT_EQ(read("joycfg\\odd.ini", "Player1", "InputType"), "gamepad");
    EXPECT_EQ(read("joycfg\\odd.ini", "Player1", "JoyID"), "3");
    EXPECT_EQ(read("joycfg\\odd.ini", "Player1", "MouseID"), "4");
    EXPECT_EQ(read("joycfg\\odd.ini", "Player1", "TriggerButton"), "30");
    EXPECT_EQ(read("joycfg\\odd.ini", "Player2", "MouseID"), "20");
    EXPECT_EQ(read("joycfg\\odd.ini", "Player2", "Enable"), "1");
    Click(config(), "cmdLaunchSave");
    EXPECT_EQ(read("memcfg\\odd.ini", "Info", "LaunchGame"), "yes");
    Choose(config(), "cmbTrigger1", 2);
    Check(config(), "optP1_2", true);
    Click(config(), "Command1");
    EXPECT_EQ(read("joycfg\\odd.ini", "Player1", "TriggerButton"), "1");
    EXPECT_EQ(read("joycfg\\odd.ini", "Player1", "InputType"), "joystick");
}

// Page 2's guns: the port and kind a save writes and a game shows, and one pulse on "Test Recoil".
class ConfigGuns : public ConfigWindow {
protected:
    FakeFeedbackPorts ports;
    ConfigServices withPorts = [this] {
        ConfigServices s = services;
        s.feedbackPorts = &ports;
        return s;
    }();
    std::unique_ptr<ConfigTool> gunTool;
    ConfigModel& guns() { return gunTool->config(); }
    void startGuns(const std::string& base) {
        gunTool = std::make_unique<ConfigTool>(withPorts, sys.keyboard);
        gunTool->open();
        guns().timerTicked();
        for (std::size_t i = 0; i < guns().games().size(); ++i) {
            if (guns().games()[i].base == base) Choose(guns(), "cmbGame", static_cast<int>(i));
        }
    }
};

TEST_F(ConfigGuns, EachPlayersGunPortAndKindAreShownAndSavedAndAValueTheListsCannotShowIsKept) {
    struct Case {
        const char* stored1;  // [Player1] GunPort and GunKind as the file holds them
        const char* kind1;
        int shownPort, shownKind;
        int choosePort, chooseKind;  // -1: untouched
        const char* savedPort;
        const char* savedKind;
    };
    const Case cases[] = {
        {"5", "firmware", 5, 1, -1, -1, "5", "firmware"},
        {"", "", 0, 0, 3, 3, "3", "zs"},
        {"40", "Sinden", 0, 0, -1, -1, "40", "Sinden"},  // neither can be shown: both kept
        {"40", "Sinden", 0, 0, 2, 2, "2", "smfb"},       // until the player chooses
        {"7", "TCP", 7, 4, -1, 0, "7", ""},              // "None" saves no kind
    };
    for (const Case& c : cases) {
        std::string settings = kSettings;
        settings.insert(settings.find("[Player2]"), std::string("GunPort=") + c.stored1 + "\r\nGunKind=" + c.kind1 + "\r\n");
        sys.folder.writeFile("joycfg\\hotd.ini", settings);
        startGuns("hotd");
        EXPECT_EQ(guns().state("cmbGunPortP1").selected, c.shownPort) << c.stored1;
        EXPECT_EQ(guns().state("cmbGunKindP1").selected, c.shownKind) << c.kind1;
        EXPECT_EQ(guns().state("cmbGunKindP1").items.at(1), "S / E / F0x (9600)");
        EXPECT_EQ(guns().state("cmbGunPortP2").items.back(), "COM32");
        if (c.choosePort >= 0) Choose(guns(), "cmbGunPortP1", c.choosePort);
        if (c.chooseKind >= 0) Choose(guns(), "cmbGunKindP1", c.chooseKind);
        Click(guns(), "Command1");
        EXPECT_EQ(read("joycfg\\hotd.ini", "Player1", "GunPort"), c.savedPort) << c.stored1;
        EXPECT_EQ(read("joycfg\\hotd.ini", "Player1", "GunKind"), c.savedKind) << c.kind1;
        EXPECT_EQ(read("joycfg\\hotd.ini", "Player2", "GunPort"), "0");
    }
}

TEST_F(ConfigGuns, TestRecoilFiresOnePulseAndStopsTheGunWhenItsTimerTicks) {
    startGuns("hotd");
    Click(guns(), "cmdPage2");
    Click(guns(), "cmdTestRecoilP2");  // no port and kind yet
    EXPECT_EQ(sys.log.back(), "box Test Recoil|Choose the gun's port and kind first.");
    EXPECT_TRUE(ports.writes.empty());
    Choose(guns(), "cmbGunPortP2", 4);
    Choose(guns(), "cmbGunKindP2", 1);
    Click(guns(), "cmdTestRecoilP2");
    using Kind = FeedbackWrite::Kind;
    EXPECT_EQ(ports.writes, (std::vector<FeedbackWrite>{{Kind::Open, 4, "baud=9600_parity=N_data=8_stop=1", ""},
                                                         {Kind::Write, 4, "S", ""},
                                                         {Kind::Write, 4, "F0x2x1", ""}}));
    EXPECT_EQ(sys.log.back(), "timer frmConfig 300");
    ports.notes = {"COM4 cannot be opened (Access is denied.)"};
    guns().timerTicked();
    EXPECT_EQ(ports.texts(), (std::vector<std::string>{"S", "F0x2x1", "E"}));
    EXPECT_EQ(ports.writes.back(), (FeedbackWrite{Kind::Close, 4, "", ""}));
    EXPECT_EQ(ports.flushes, 1);
    EXPECT_EQ(sys.log.back(), "box Test Recoil|COM4 cannot be opened (Access is denied.)");
    EXPECT_EQ(guns().games().size(), 2u);  // the tick was the test's, not a second start-up
    guns().timerTicked();                   // nothing more to stop
    EXPECT_EQ(ports.writes.size(), 5u);
    // Without the guns' ports (no system to write them), the buttons are off.
    start();
    EXPECT_FALSE(shown("cmdTestRecoilP1").enabled);
    EXPECT_TRUE(shown("cmbGunKindP1").enabled);
}

TEST_F(ConfigWindow, AButtonListTypedByHandTakesAnEntryItEqualsOrKeepsItsSelection) {
    start();
    select("hotd");
    Type(config(), "cmbTrigger1", "12");
    EXPECT_EQ(shown("cmbTrigger1").selected, 13);
    Type(config(), "cmbTrigger1", "NONE");
    EXPECT_EQ(shown("cmbTrigger1").selected, 0);
    Type(config(), "cmbTrigger1", "17");
    EXPECT_EQ(shown("cmbTrigger1").selected, 0);
    Type(config(), "cmbReload1", "5x");
    EXPECT_EQ(shown("cmbReload1").text, "1");  // refused at once: what shows is what is saved
    Type(config(), "cmbCoin1", "none");
    EXPECT_EQ(shown("cmbCoin1").text, "NONE");
    Type(config(), "cmbExit1", "");
    EXPECT_EQ(shown("cmbExit1").text, "NONE");
    Click(config(), "Command1");
    EXPECT_EQ(read("joycfg\\hotd.ini", "Player1", "TriggerButton"), "-1");
    EXPECT_EQ(read("joycfg\\hotd.ini", "Player1", "ReloadButton"), "1");  // never -2
    EXPECT_EQ(read("joycfg\\hotd.ini", "Player1", "CoinButton"), "-1");
}

TEST_F(ConfigWindow, OnlyOneOptionOfAPlayerIsChosen) {
    start();
    select("hotd");
    Check(config(), "optP1_2", true);
    EXPECT_TRUE(shown("optP1_2").checked);
    EXPECT_FALSE(shown("optP1_1").checked);
    EXPECT_TRUE(shown("optP2_2").checked);  // the other player's options stay
}

TEST_F(ConfigWindow, ChoosingAnotherGameDropsEditsAndLeavesNothingOfTheGameBefore) {
    sys.folder.writeFile("joycfg\\bare.ini", "[keys]\r\nEnable=0\r\n[Player1]\r\nEnable=1\r\nInputType=mouse\r\n");
    start();
    select("hotd");
    TypeIntoField(config(), "txtP1Accel", "99");
    select("bare");
    EXPECT_EQ(shown("txtStart1Key").text, "");  // hotd's "49" does not carry over
    EXPECT_EQ(shown("txtP1Accel").text, "0");
    select("hotd");
    EXPECT_EQ(shown("txtP1Accel").text, "25");
}

TEST_F(ConfigWindow, KeysOfAFileWhoseKeyboardIsOffAreShownAndKeptNotLost) {
    sys.folder.writeFile("joycfg\\bare.ini", "[keys]\r\nEnable=0\r\nP1StartKey=49\r\n");
    start();
    EXPECT_EQ(shown("txtStart1Key").text, "49");
    Click(config(), "Command1");
    EXPECT_EQ(read("joycfg\\bare.ini", "keys", "P1StartKey"), "49");
    EXPECT_EQ(read("joycfg\\bare.ini", "keys", "Enable"), "0");  // never written by this window
}

TEST_F(ConfigWindow, AKeyBoxClickedOpensTheKeyDetectorForIt) {
    start();
    Click(config(), "txtCoin2Key");
    EXPECT_EQ(tool.keyTarget(), "coin2");
    EXPECT_TRUE(forms.isOpen(tool.keyDetector()));
    EXPECT_TRUE(forms.timerRunning(tool.keyDetector()));
    Click(config(), "txtExitKey");
    EXPECT_EQ(tool.keyTarget(), "exit1");
}

TEST_F(ConfigWindow, VirtuaOnSetupFindsTheGameByNameThenByItsBaseNames) {
    sys.folder.writeFile("memcfg\\vonj.ini", "[Info]\r\nName=Virtual On (J)\r\nWinClass=V\r\nGameType=VON\r\n");
    start();
    Click(config(), "cmdVON");
    EXPECT_EQ(config().games()[*config().currentGame()].base, "vonj");
    EXPECT_TRUE(forms.isOpen(tool.twinStick()));
    sys.folder.writeFile("memcfg\\von.ini", "[Info]\r\nName=V\r\nWinClass=V\r\nGameType=VON\r\n");
    sys.folder.writeFile("memcfg\\zzz.ini", "[Info]\r\nName=Virtual On Cybertroopers (US)\r\nWinClass=V\r\nGameType=VON\r\n");
    config().LoadINIList();
    config().selectGame(0);
    Click(config(), "cmdVON");
    ASSERT_TRUE(config().currentGame().has_value());
    EXPECT_EQ(config().games()[*config().currentGame()].base, "zzz");
}

TEST_F(ConfigWindow, AMissingDescriptorOrSettingsFileIsSaidAndTheWindowStaysOpen) {
    start();
    std::filesystem::remove(NativePath(file("memcfg\\hotd.ini")));
    select("bare");
    Choose(config(), "cmbGame", 1);  // "hotd", gone since the list was read
    EXPECT_NE(sys.indexOf("box Missing File|The file " + file("memcfg\\hotd.ini") + " is gone. The list of games is read again."), -1);
    EXPECT_EQ(config().games().size(), 1u);
    EXPECT_EQ(config().games()[*config().currentGame()].base, "bare");
    std::filesystem::remove(NativePath(file("joycfg\\default.ini")));
    config().LoadGame();
    EXPECT_EQ(sys.log.back(), "box Missing File|Neither " + file("joycfg\\bare.ini") + " nor " + file("joycfg\\default.ini") +
                                  " is there. The controls show the defaults.");
    EXPECT_EQ(sys.indexOf("end program"), -1);
    // The defaults VT2 ships, which a save then writes.
    EXPECT_TRUE(shown("chkEnableP1").checked);
    EXPECT_TRUE(shown("optP1_0").checked);
    EXPECT_EQ(shown("txtP1Accel").text, "18");
    EXPECT_TRUE(shown("chkOutputs").checked);
}

TEST_F(ConfigWindow, AnEmptyGameFolderGivesAnEmptyListAndTheGameControlsOff) {
    std::filesystem::remove(NativePath(file("memcfg\\hotd.ini")));
    std::filesystem::remove(NativePath(file("memcfg\\bare.ini")));
    start();
    EXPECT_TRUE(shown("cmbGame").items.empty());
    for (const char* name : {"cmbGame", "Command1", "cmdGunSave", "cmdRevert", "cmdLaunchSave", "cmdNotes", "cmbTrigger1", "chkForce"}) {
        EXPECT_FALSE(shown(name).enabled) << name;
    }
    EXPECT_TRUE(shown("cmdHelp").enabled);
    for (const char* name : {"Command1", "cmdGunSave", "cmdRevert", "cmdLaunchSave", "cmdNotes", "cmnSetAccelP1"}) Click(config(), name);
    EXPECT_TRUE(sys.eventsStartingWith("box ").empty());
}

TEST_F(ConfigWindow, ClosingTheWindowEndsTheProgram) {
    start();
    EXPECT_EQ(sys.exitCodeOf([&] { config().closed(); }), 0);
    EXPECT_EQ(sys.log.back(), "end program");
}

// The players' devices by name and path: the list shows where a saved gun is now, the label
// names it, a save writes its path with its number, and the detector picks the gun fired.
constexpr const char* kGun1 = R"(\\?\HID#VID_16C0&PID_0F01&MI_02&Col02#8&aa&0&0001#{378de44c})";
constexpr const char* kGun2 = R"(\\?\HID#VID_16C0&PID_0F01&MI_02&Col02#8&bb&0&0001#{378de44c})";

class ConfigDevices : public ConfigWindow {
protected:
    void SetUp() override {
        ConfigWindow::SetUp();
        sys.folder.writeFile("joycfg\\default.ini",
                             std::string("[Player1]\r\nEnable=1\r\nInputType=lightgun\r\nMouseID=0\r\nMouseDevice=") + kGun1 +
                                 "\r\n[Player2]\r\nEnable=1\r\nInputType=mouse\r\nMouseID=1\r\n");
        sys.joysticks.described = {{"Pad", 0x045E, 0x028E, "pad-path"}};
        // Gun 1 was mouse 0 when it was saved; now the trackball and gun 2 come first.
        sys.rawInput.devices = std::vector<RawInputDevice>{{0x50, 0, R"(\\?\HID#VID_046D&PID_C408#1&2&0&0#{x})", "Trackball"},
                                                           {0x60, 0, kGun2, "Gun"},
                                                           {0x61, 1, "keyboard", "Keys"},
                                                           {0x70, 0, kGun1, "Gun"}};
    }
    ConfigServices withMice{sys.ini,   sys.files, sys.messageBoxes, inputs, sys.launcher, forms, sys.folder.path(),
                            &sys.rawInput, &sys.joysticks};
    ConfigTool miceTool{withMice, sys.keyboard};
    ConfigModel& model() { return miceTool.config(); }
    std::string label(int player) { return model().state("lblP" + std::to_string(player) + "DeviceName").text; }
    void begin() {
        miceTool.open();
        model().timerTicked();  // "bare", which uses default.ini
    }
    RawMouseReport press(std::uint32_t device, std::uint32_t buttons = 0x0001) {
        RawMouseReport r;
        r.device = device;
        r.buttons = buttons;
        return r;
    }
};

TEST_F(ConfigDevices, TheSavedGunIsShownWhereItIsNowWithItsNameAndSavedWithItsPath) {
    begin();
    EXPECT_EQ(model().state("cmbP1").selected, 3);  // entry "2": mouse 2 now
    EXPECT_EQ(label(1), "Gun");
    EXPECT_EQ(model().state("cmbP2").selected, 2);  // no saved path: MouseID 1
    EXPECT_EQ(label(2), "Gun");
    Choose(model(), "cmbP2", 1);
    EXPECT_EQ(label(2), "Trackball");
    Choose(model(), "cmbP2", 9);
    EXPECT_EQ(label(2), "(no mouse 8 attached)");
    Choose(model(), "cmbP2", 0);
    EXPECT_EQ(label(2), "");
    Choose(model(), "cmbP2", 1);
    Click(model(), "Command1");
    EXPECT_EQ(read("joycfg\\bare.ini", "Player1", "MouseID"), "2");
    EXPECT_EQ(read("joycfg\\bare.ini", "Player1", "MouseDevice"), kGun1);
    EXPECT_EQ(read("joycfg\\bare.ini", "Player2", "MouseID"), "0");
    EXPECT_EQ(read("joycfg\\bare.ini", "Player2", "MouseDevice"), R"(\\?\HID#VID_046D&PID_C408#1&2&0&0#{x})");
    // A joystick player has no mouse: neither number nor path; the label names the joystick.
    Check(model(), "optP2_2", true);
    EXPECT_EQ(label(2), "");  // entry "0", mouse 0 a moment ago, is JoyID 0: no joystick
    Choose(model(), "cmbP2", 2);
    EXPECT_EQ(label(2), "Pad");
    Choose(model(), "cmbP2", 3);
    EXPECT_EQ(label(2), "(no joystick 2 attached)");
    Click(model(), "Command1");
    EXPECT_EQ(read("joycfg\\bare.ini", "Player2", "MouseID"), "-1");
    EXPECT_EQ(read("joycfg\\bare.ini", "Player2", "MouseDevice"), "");
}

TEST_F(ConfigDevices, ASavedGunThatIsNotAttachedStaysSavedUntilAnotherIsChosen) {
    sys.rawInput.devices = std::vector<RawInputDevice>{{0x50, 0, "ball", "Trackball"}};  // both guns unplugged
    begin();
    EXPECT_EQ(model().state("cmbP1").selected, 1);  // MouseID 0 applies
    EXPECT_EQ(label(1), "Trackball");
    Click(model(), "Command1");
    EXPECT_EQ(read("joycfg\\bare.ini", "Player1", "MouseDevice"), kGun1);
    EXPECT_EQ(read("joycfg\\bare.ini", "Player1", "MouseID"), "0");
    Choose(model(), "cmbP1", 1);  // chosen by the user: the trackball it is
    Click(model(), "Command1");
    EXPECT_EQ(read("joycfg\\bare.ini", "Player1", "MouseDevice"), "ball");
}

TEST_F(ConfigDevices, DetectSelectsTheMouseWhoseButtonGoesDownFirstAndCancelLeavesTheList) {
    begin();
    Click(model(), "cmdDetectP2");
    DeviceDetectorModel& detector = miceTool.deviceDetector(2);
    EXPECT_EQ(detector.design().caption, "Pull the trigger of the gun for player 2");
    EXPECT_TRUE(forms.isOpen(detector));
    EXPECT_EQ(sys.eventsStartingWith("start reports").size(), 1u);
    RawMouseReport move = press(0x70, 0);
    move.lastX = 30;
    detector.onMouseReport(move);                    // a move is not a pull
    detector.onMouseReport(press(0x61));             // nor a device that is no mouse
    detector.onMouseReport(press(0x70, 0x0002));     // nor a release
    EXPECT_TRUE(forms.isOpen(detector));
    detector.onMouseReport(press(0x70, 0x0004));     // the right button of gun 1
    EXPECT_FALSE(forms.isOpen(detector));
    EXPECT_EQ(sys.eventsStartingWith("stop reports").size(), 1u);
    EXPECT_EQ(model().state("cmbP2").selected, 3);  // mouse 2
    EXPECT_EQ(label(2), "Gun");
    EXPECT_EQ(sys.log.back(), "focus frmConfig cmbP2");
    detector.onMouseReport(press(0x50));  // after the window closed, nothing more is chosen
    EXPECT_EQ(model().state("cmbP2").selected, 3);
    Click(model(), "Command1");
    EXPECT_EQ(read("joycfg\\bare.ini", "Player2", "MouseDevice"), kGun1);

    // Cancel, or Esc, which presses it: the list stays as it was. Opening the other player's
    // detector cancels the first, so that one window at a time takes the reports.
    Click(model(), "cmdDetectP1");
    Click(model(), "cmdDetectP2");
    EXPECT_FALSE(forms.isOpen(miceTool.deviceDetector(1)));
    Click(detector, "cmdCancel");
    EXPECT_FALSE(forms.isOpen(detector));
    detector.onMouseReport(press(0x50));
    EXPECT_EQ(model().state("cmbP2").selected, 3);
    EXPECT_EQ(model().state("cmbP1").selected, 3);
    EXPECT_EQ(sys.eventsStartingWith("stop reports").size(), 3u);
}

TEST_F(ConfigDevices, AJoystickPlayerWhoPullsAGunBecomesALightGunPlayer) {
    begin();
    Check(model(), "optP1_2", true);
    Click(model(), "cmdDetectP1");
    miceTool.deviceDetector(1).onMouseReport(press(0x60));
    EXPECT_TRUE(model().state("optP1_1").checked);
    EXPECT_FALSE(model().state("optP1_2").checked);
    EXPECT_EQ(model().state("cmbP1").selected, 2);
    Click(model(), "Command1");
    EXPECT_EQ(read("joycfg\\bare.ini", "Player1", "InputType"), "lightgun");
    EXPECT_EQ(read("joycfg\\bare.ini", "Player1", "MouseDevice"), kGun2);
}

// A gun's calibration from page 2: two targets shot with the player's own gun, a check, a save.
class FakeTargetScreen final : public TargetScreen {
public:
    void open(const PixelRect& monitor, TargetScreenKeys& keys) override {
        opened = monitor;
        keys_ = &keys;
        isOpen = true;
    }
    void show(const TargetScreenView& view) override { shown = view; }
    void close() override { isOpen = false; }
    TargetScreenKeys& keys() { return *keys_; }
    std::optional<PixelRect> opened;
    TargetScreenView shown;
    bool isOpen = false;

private:
    TargetScreenKeys* keys_ = nullptr;
};

class ConfigCalibration : public ConfigDevices {
protected:
    void SetUp() override {
        ConfigDevices::SetUp();
        // The game's window ("bare": class B) on a monitor left of the primary one.
        sys.windows.monitors = {{0, 0, 1280, 1024}, {-1280, 0, 0, 1024}};
        sys.windows.addWindow({"B", "Bare", 77, 0, true, {-1000, 100, -200, 700}});
    }
    ConfigServices withScreen{sys.ini,   sys.files,     sys.messageBoxes, inputs,   sys.launcher, forms,
                              sys.folder.path(), &sys.rawInput, &sys.joysticks, &sys.windows, &screen};
    ConfigTool screenTool{withScreen, sys.keyboard};
    CalibrationModel& calibration() { return screenTool.calibration(); }
    void begin() {
        screenTool.open();
        screenTool.config().timerTicked();  // "bare": player 1 on gun 1 (0x70), player 2 on the trackball
    }
    // A gun's report of a position, as fractions of its range, with its buttons.
    void gunAt(std::uint32_t device, double x, double y, std::uint32_t buttons = 0) {
        RawMouseReport r;
        r.device = device;
        r.flags = 0x0001;
        r.lastX = static_cast<std::int32_t>(std::lround(x * 65535));
        r.lastY = static_cast<std::int32_t>(std::lround(y * 65535));
        r.buttons = buttons;
        calibration().onMouseReport(r);
    }
    FakeTargetScreen screen;
};

TEST_F(ConfigCalibration, TwoShotsAtTheTargetsGiveTheEdgesTheCheckShowsWhereItHitsAndTheShotThereSaves) {
    begin();
    Click(screenTool.config(), "cmdCalibrateP1");
    ASSERT_TRUE(screen.isOpen);
    EXPECT_EQ(screen.opened, (PixelRect{-1280, 0, 0, 1024}));  // the game's monitor
    EXPECT_EQ(screen.shown.target, (DesktopPixel{-1152, 102}));
    EXPECT_EQ(screen.shown.text, "Shoot the target with the gun of player 1\r\nEsc cancels");
    gunAt(0x60, 0.5, 0.5, 0x0001);  // another gun's trigger is nobody's shot
    EXPECT_EQ(calibration().stage(), CalibrationModel::Stage::TopLeft);
    gunAt(0x70, 0.15, 0.12, 0x0001);
    gunAt(0x70, 0.15, 0.12, 0x0002);  // a release is no shot
    EXPECT_EQ(calibration().stage(), CalibrationModel::Stage::BottomRight);
    EXPECT_EQ(screen.shown.target, (DesktopPixel{-128, 922}));
    gunAt(0x70, 0.85, 0.86, 0x0001);
    ASSERT_EQ(calibration().stage(), CalibrationModel::Stage::Check);
    const DeviceEdges edges = *calibration().edges();
    EXPECT_NEAR(edges.left, 0.0625, 1e-4);
    EXPECT_NEAR(edges.right, 0.9375, 1e-4);
    EXPECT_NEAR(edges.top, 0.0275, 1e-4);
    EXPECT_NEAR(edges.bottom, 0.9525, 1e-4);
    gunAt(0x70, 0.5, 0.49);  // the middle as the gun now sees it: the mark on the middle target
    EXPECT_EQ(screen.shown.target, (DesktopPixel{-640, 512}));
    ASSERT_TRUE(screen.shown.mark);
    EXPECT_NEAR(screen.shown.mark->x, -640, 2);
    EXPECT_NEAR(screen.shown.mark->y, 512, 2);
    EXPECT_FALSE(exists("joycfg\\bare.ini"));
    gunAt(0x70, 0.5, 0.49, 0x0001);
    EXPECT_FALSE(screen.isOpen);
    // Not inside the gun's report (a modal box's loop would deliver the next report into it).
    EXPECT_EQ(sys.eventsStartingWith("box Calibration Saved"), std::vector<std::string>{});
    sys.messageBoxes.runLater();
    EXPECT_EQ(sys.eventsStartingWith("box Calibration Saved"),
              (std::vector<std::string>{"box Calibration Saved|The calibration of player 1 is saved for this game.|information"}));
    // The game had no file of its own: it gets the players as the window shows them, and the edges.
    EXPECT_EQ(read("joycfg\\bare.ini", "Player1", "MouseDevice"), kGun1);
    const AimSettings aim = ReadAimSettings(sys.ini, file("joycfg\\bare.ini"));
    EXPECT_EQ(aim.area, AimAreaKind::Calibrated);
    ASSERT_TRUE(aim.calibrated[0]);
    EXPECT_NEAR(aim.calibrated[0]->left, edges.left, 1e-6);
    EXPECT_NEAR(aim.calibrated[0]->bottom, edges.bottom, 1e-6);
    EXPECT_FALSE(aim.calibrated[1]);
}

TEST_F(ConfigCalibration, EscCancelsTwoShotsAtOnePlaceStartAgainAndAMouseMovesByItsAcceleration) {
    begin();
    Click(screenTool.config(), "cmdCalibrateP2");  // mouse 1, moving relatively
    ASSERT_TRUE(screen.isOpen);
    RawMouseReport move;
    move.device = 0x60;
    move.buttons = 0x0001;
    calibration().onMouseReport(move);
    calibration().onMouseReport(move);  // no motion between the shots: nothing to tell the edges by
    EXPECT_EQ(calibration().stage(), CalibrationModel::Stage::TopLeft);
    EXPECT_EQ(screen.shown.text.rfind("The two shots read places too close together: once more.\r\n", 0), 0u) << screen.shown.text;
    move.buttons = 0;
    move.lastX = -1000;
    calibration().onMouseReport(move);
    ASSERT_TRUE(screen.shown.mark);
    EXPECT_EQ(*screen.shown.mark, (DesktopPixel{640, 512}));  // default.ini's acceleration 0: it stays in the middle
    Type(screenTool.config(), "txtP2Accel", "18");
    Click(screenTool.config(), "cmdCalibrateP2");
    move.lastX = -1820;  // at 18: half the screen, from the middle to the left edge
    calibration().onMouseReport(move);
    EXPECT_NEAR(screen.shown.mark->x, 0, 1);
    screen.keys().escapePressed();
    EXPECT_FALSE(screen.isOpen);
    EXPECT_EQ(calibration().stage(), CalibrationModel::Stage::Closed);
    EXPECT_FALSE(exists("joycfg\\bare.ini"));
    EXPECT_EQ(sys.eventsStartingWith("stop reports").size(), 2u);  // once for each time it was opened
}

TEST_F(ConfigCalibration, AJoystickPlayerIsToldToChooseAGunFirst) {
    begin();
    Check(screenTool.config(), "optP1_2", true);
    Click(screenTool.config(), "cmdCalibrateP1");
    EXPECT_FALSE(screen.isOpen);
    EXPECT_EQ(sys.eventsStartingWith("box Calibrate|").size(), 1u);
    EXPECT_TRUE(sys.eventsStartingWith("start reports").empty());
}

}  // namespace
}  // namespace vt2::test
