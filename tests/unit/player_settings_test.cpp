#include <gtest/gtest.h>

#include "common/ini.h"
#include "engine/exit_codes.h"
#include "engine/run_files.h"
#include "input/player_settings.h"
#include "adapters/portable/native_path.h"
#include "support/fake_platform.h"
#include "support/shipped_files.h"

namespace vt2::test {
namespace {

constexpr const char* kSettings =
    "[Options]\r\nForcePoll=1\r\nHideCross=1\r\nOutputs=1\r\n"
    "[Player1]\r\nEnable=1\r\nSysMouse=0\r\nInputType=LightGun\r\nJoyID=2\r\nMouseID=1\r\nMouseAccel=18\r\n"
    "TriggerButton=0\r\nReloadButton=1\r\nStartButton=2\r\nCoinButton=3\r\nEscButton=4\r\n"
    "[Player2]\r\nEnable=0\r\nInputType=joystick\r\nJoyID=1\r\nMouseID=0\r\nMouseAccel=-5\r\n"
    "TriggerButton=5\r\nReloadButton=6\r\nStartButton=7\r\nCoinButton=8\r\nEscButton=9\r\n"
    "[keys]\r\nEnable=1\r\nP1StartKey=49\r\nP2StartKey=50\r\nP1CoinKey=53\r\nP2CoinKey=54\r\nP1EscKey=27\r\nP2EscKey=-1\r\n";

class Settings : public ::testing::Test {
protected:
    void SetUp() override { sys.engine.state.gameName = "g"; }
    // View mode: the settings of game g as stored. Start-up mode: as the run takes them.
    const PlayerSettings& load(const std::string& content, bool viewMode, const std::string& file = "g") {
        sys.folder.writeFile("joycfg\\" + file + ".ini", content);
        if (viewMode) {
            sys.engine.state.settings = stored();
        } else {
            LoadRunSettings(sys.engine);
        }
        return sys.engine.state.settings;
    }
    PlayerSettings stored() {
        return LoadPlayerSettings(sys.files, sys.ini, sys.folder.path(), "g", sys.engine.state.descriptor.GameType).value();
    }
    FakeSystem sys;
};

TEST_F(Settings, ViewModeKeepsTheStoredValues) {
    const PlayerSettings& s = load(kSettings, true);
    EXPECT_EQ(s.ForcePoll, 1);
    EXPECT_EQ(s.HideCross, 1);
    EXPECT_EQ(s.Outputs, 1);
    EXPECT_EQ(sys.engine.state.OutputsActive, 0);  // reading the file alone leaves the run's switch alone
    const PlayerConfig& p1 = s.players[0];
    EXPECT_EQ(p1.InputType, "lightgun");  // lower-cased
    EXPECT_EQ(p1.JoyID, 2);
    EXPECT_EQ(p1.MouseID, 1);
    EXPECT_EQ(p1.MouseAccel, 18);
    EXPECT_EQ(p1.EscButton, 4);
    const PlayerConfig& p2 = s.players[1];
    EXPECT_EQ(p2.Enable, 0);
    EXPECT_EQ(p2.MouseID, 0);
    EXPECT_EQ(p2.JoyID, 1);
    EXPECT_EQ(p2.MouseAccel, -5);
    EXPECT_EQ(p2.CoinButton, 8);
    EXPECT_EQ(s.KeysEnabled, 1);
    EXPECT_EQ(s.P1StartKey, 49);
    EXPECT_EQ(s.P2CoinKey, 54);
    EXPECT_EQ(s.P1EscKey, 27);
    EXPECT_EQ(s.P2EscKey, -1);
    EXPECT_FALSE(s.DeviceButtonsCount);
}

TEST_F(Settings, StartUpModeNormalisesForTheRun) {
    const PlayerSettings& s = load(kSettings, false);
    EXPECT_EQ(sys.engine.state.OutputsActive, 1);  // the run's outputs switch starts as the player's
    EXPECT_EQ(s.players[0].JoyID, 0);      // a light gun has no joystick
    EXPECT_EQ(s.players[0].MouseID, 1);
    EXPECT_EQ(s.players[1].JoyID, 0);      // player 2 is disabled
    EXPECT_EQ(s.players[1].MouseID, -1);
    EXPECT_FALSE(s.DeviceButtonsCount);    // a light gun and a disabled joystick player
}

TEST_F(Settings, DeviceButtonsCountForAMouseOrAnEnabledJoystickPlayer) {
    EXPECT_TRUE(load("[Player2]\r\nInputType=mouse\r\n", false).DeviceButtonsCount);
    FakeSystem other;
    other.folder.writeFile("joycfg\\g.ini", "[Player1]\r\nEnable=1\r\nInputType=joystick\r\nMouseID=3\r\nJoyID=1\r\n");
    other.engine.state.gameName = "g";
    LoadRunSettings(other.engine);
    EXPECT_TRUE(other.engine.state.settings.DeviceButtonsCount);
    EXPECT_EQ(other.engine.state.settings.players[0].MouseID, -1);
    EXPECT_EQ(other.engine.state.settings.players[0].JoyID, 1);
}

// A saved mouse path is read trimmed, and goes with MouseID wherever a player has no mouse.
TEST_F(Settings, ThePathOfTheSavedMouseGoesWhereMouseIdGoes) {
    const PlayerSettings& s = load("[Player1]\r\nEnable=1\r\nInputType=lightgun\r\nMouseID=1\r\nMouseDevice=  \\\\?\\HID#VID_16C0&PID_0F01#8&aa&0&1#{x} \r\n"
                                   "[Player2]\r\nEnable=0\r\nInputType=mouse\r\nMouseDevice=gun2\r\n", false);
    EXPECT_EQ(s.players[0].MouseDevice, R"(\\?\HID#VID_16C0&PID_0F01#8&aa&0&1#{x})");
    EXPECT_EQ(s.players[1].MouseDevice, "");  // player 2 is off
    FakeSystem other;
    other.folder.writeFile("joycfg\\g.ini", "[Player1]\r\nEnable=1\r\nInputType=joystick\r\nMouseDevice=gun\r\nJoyID=1\r\n");
    other.engine.state.gameName = "g";
    LoadRunSettings(other.engine);
    EXPECT_EQ(other.engine.state.settings.players[0].MouseDevice, "");
}

TEST_F(Settings, ADisabledPlayerOneWithTheSystemMouseKeepsItsDevices) {
    const PlayerSettings& s = load("[Player1]\r\nEnable=0\r\nSysMouse=1\r\nInputType=mouse\r\nMouseID=2\r\n", false);
    EXPECT_EQ(s.players[0].MouseID, 2);
    EXPECT_EQ(s.players[0].SysMouse, 1);
}

TEST_F(Settings, AbsentKeysReadAsZeroAndKeysStayOffWithoutEnable) {
    const PlayerSettings& s = load("[Player1]\r\nEnable=1\r\n[keys]\r\nP1StartKey=49\r\n", true);
    EXPECT_EQ(s.players[0].MouseAccel, 0);
    EXPECT_EQ(s.players[0].TriggerButton, 0);
    EXPECT_EQ(s.players[0].InputType, "");
    EXPECT_EQ(s.KeysEnabled, 0);
    EXPECT_EQ(s.P1StartKey, -1);
}

TEST_F(Settings, ANumberWithAFractionIsRoundedNotTakenForNoNumber) {
    const PlayerSettings& s = load("[Player1]\r\nEnable=1.0\r\nMouseAccel=18.5\r\nTriggerButton=0.6\r\n"
                                   "[Player2]\r\nMouseAccel=19.5\r\nEnable=x\r\n[keys]\r\nEnable=1.2\r\nP1StartKey=49.0\r\n"
                                   "P2StartKey=abc\r\n",
                                   true);
    EXPECT_EQ(s.players[0].Enable, 1);
    EXPECT_EQ(s.players[0].MouseAccel, 18);  // halves go to the even number, as elsewhere
    EXPECT_EQ(s.players[1].MouseAccel, 20);
    EXPECT_EQ(s.players[0].TriggerButton, 1);
    EXPECT_EQ(s.players[1].Enable, 0);  // no number: as before
    EXPECT_EQ(s.KeysEnabled, 1);
    EXPECT_EQ(s.P1StartKey, 49);
    EXPECT_EQ(s.P2StartKey, -1);
}

TEST_F(Settings, AllSixKeysNoneSwitchesTheKeyboardOff) {
    const PlayerSettings& s = load("[keys]\r\nEnable=1\r\nP1StartKey=-1\r\nP2StartKey=-1\r\nP1CoinKey=-1\r\n"
                                   "P2CoinKey=-1\r\nP1EscKey=-1\r\nP2EscKey=-1\r\n",
                                   true);
    EXPECT_EQ(s.KeysEnabled, 0);
}

TEST_F(Settings, AbsentOrMalformedKeyCodesReadAsNone) {
    const PlayerSettings& s = load("[keys]\r\nEnable=1\r\nP1StartKey=abc\r\nP2StartKey=50\r\n", true);
    EXPECT_EQ(s.KeysEnabled, 1);
    EXPECT_EQ(s.P1StartKey, -1);
    EXPECT_EQ(s.P2StartKey, 50);
    EXPECT_EQ(s.P1CoinKey, -1);
}

TEST_F(Settings, TheShippedDefaultsAreThoseOfTheShippedDefaultIni) {
    sys.folder.writeFile("joycfg\\default.ini", kShippedDefaultIni);
    EXPECT_TRUE(stored() == ShippedDefaultSettings());
}

TEST_F(Settings, TheGamesOwnFileWinsOverDefaultAndNoFileStops) {
    sys.folder.writeFile("joycfg\\default.ini", "[Player1]\r\nMouseAccel=7\r\n");
    EXPECT_EQ(stored().players[0].MouseAccel, 7);
    EXPECT_EQ(load("[Player1]\r\nMouseAccel=9\r\n", true).players[0].MouseAccel, 9);

    FakeSystem none;
    EXPECT_FALSE(LoadPlayerSettings(none.files, none.ini, none.folder.path(), "g", "").has_value());
    EXPECT_TRUE(none.log.empty());  // the loader itself ends nothing: the run does
    none.engine.state.gameName = "g";
    EXPECT_EQ(none.exitCodeOf([&] { LoadRunSettings(none.engine); }), static_cast<int>(ExitCode::MissingSettings));
}

constexpr const char* kTwinStick =
    "[Player1]\r\nEnable=1\r\nInputType=mouse\r\nMouseID=0\r\nJoyID=1\r\nTriggerButton=1\r\nReloadButton=2\r\n"
    "StartButton=9\r\nCoinButton=8\r\nEscButton=7\r\nAnalogX=0\r\nAnalogY=1\r\nTestButton=10\r\nServiceButton=11\r\n"
    "ShotButton=0\r\nDashButton=1\r\nUpButton=2\r\nDownButton=3\r\nRightButton=4\r\nLeftButton=5\r\n"
    "[Player2]\r\nEnable=1\r\nInputType=lightgun\r\nJoyID=2\r\nCoinButton=6\r\nStartButton=12\r\nAnalogX=3\r\n"
    "ShotButton=0\r\nDashButton=1\r\nUpButton=2\r\nDownButton=3\r\nRightButton=4\r\n"
    "[keys]\r\nEnable=1\r\nP1StartKey=49\r\nP1CoinKey=53\r\nP2CoinKey=54\r\nTestKey=84\r\nServiceKey=83\r\n"
    "LShotKey=65\r\nLDashKey=66\r\nLDKey=67\r\nLUKey=68\r\nLRKey=69\r\nLLKey=70\r\n"
    "RShotKey=71\r\nRDashKey=72\r\nRDKey=73\r\nRUKey=74\r\nRRKey=75\r\nRLKey=76\r\n";

TEST_F(Settings, TheTwinStickGameReadsItsTablesAndMakesBothPlayersJoysticks) {
    sys.engine.state.descriptor.GameType = "VON";
    const PlayerSettings& s = load(kTwinStick, false);
    EXPECT_EQ(s.players[0].InputType, "joystick");
    EXPECT_EQ(s.players[1].InputType, "joystick");
    EXPECT_EQ(s.players[0].MouseID, -1);
    EXPECT_EQ(s.players[1].JoyID, 2);
    for (const PlayerConfig& p : s.players) {
        EXPECT_EQ(p.TriggerButton, -1);
        EXPECT_EQ(p.ReloadButton, -1);
        EXPECT_EQ(p.StartButton, -1);
        EXPECT_EQ(p.CoinButton, -1);
    }
    EXPECT_EQ(s.players[0].EscButton, 7);
    EXPECT_EQ(s.players[0].AnalogX, 0);
    EXPECT_EQ(s.players[0].AnalogY, 1);
    EXPECT_EQ(s.players[1].AnalogX, 3);
    EXPECT_EQ(s.players[1].AnalogY, -1);  // absent
    const TwinStickTable buttons{0, 8, 6, 10, 11, 9, 0, 1, 3, 2, 4, 5, 0, 1, 3, 2, 4, -1};
    const TwinStickTable keys{0, 53, 53, 84, 83, 49, 65, 66, 67, 68, 69, 70, 71, 72, 73, 74, 75, 76};
    EXPECT_EQ(s.TwinStickButtonMap, buttons);
    EXPECT_EQ(s.TwinStickKeyMap, keys);
    EXPECT_TRUE(s.DeviceButtonsCount);
}

TEST_F(Settings, TheTwinStickFileAsStoredKeepsItsPlayersButtons) {
    sys.engine.state.descriptor.GameType = "VON";
    const PlayerSettings& s = load(kTwinStick, true);
    EXPECT_EQ(s.players[1].InputType, "lightgun");
    EXPECT_EQ(s.players[0].TriggerButton, 1);
    EXPECT_EQ(s.players[1].CoinButton, 6);
    EXPECT_EQ(s.TwinStickButtonMap[1], 0);  // filled by the run alone
    EXPECT_EQ(s.TwinStickButtonMap[3], 10);
    EXPECT_EQ(s.players[1].AnalogX, 3);
}

TEST_F(Settings, TheTwinStickTypeIsCaseSensitive) {
    sys.engine.state.descriptor.GameType = "von";
    const PlayerSettings& s = load(kTwinStick, true);
    EXPECT_EQ(s.players[0].InputType, "mouse");
    EXPECT_EQ(s.players[0].TriggerButton, 1);
    EXPECT_EQ(s.TwinStickButtonMap, TwinStickTable{});
}

SettingsControls SampleControls() {
    SettingsControls c;
    c.forcePoll = true;
    c.outputs = true;
    c.player1 = {true, true, 1, 1, "18", 1, 2, 0, 0, 18, {}, true};
    c.player2 = {false, true, 2, 3, "25", 0, 0, 4, 5, 6, {}};
    c.p1StartKey = "49";
    c.p2StartKey = "";
    c.p1CoinKey = "53";
    c.p2CoinKey = "54";
    c.p1EscKey = "27";
    c.p2EscKey = "";
    return c;
}

TEST(SaveSettings, WritesEveryControlWithItsEncoding) {
    FakeSystem sys;
    SaveSettings(sys.ini, sys.folder.path(), "g", SampleControls());
    auto read = [&](const char* section, const char* key) {
        return ReadIniValue(sys.ini, sys.folder.path() + "\\joycfg\\g.ini", section, key, false);
    };
    EXPECT_EQ(read("Options", "ForcePoll"), "1");
    EXPECT_EQ(read("Options", "HideCross"), "0");
    EXPECT_EQ(read("Options", "Outputs"), "1");
    EXPECT_EQ(read("Player1", "Enable"), "1");
    EXPECT_EQ(read("Player1", "SysMouse"), "1");
    EXPECT_EQ(read("Player1", "InputType"), "lightgun");
    EXPECT_EQ(read("Player1", "JoyID"), "-1");  // a mouse-type player stores no joystick
    EXPECT_EQ(read("Player1", "MouseID"), "0");
    EXPECT_EQ(read("Player1", "MouseAccel"), "18");
    EXPECT_EQ(read("Player1", "TriggerButton"), "0");
    EXPECT_EQ(read("Player1", "ReloadButton"), "1");
    EXPECT_EQ(read("Player1", "StartButton"), "-1");  // "NONE"
    EXPECT_EQ(read("Player1", "EscButton"), "17");
    EXPECT_EQ(read("Player1", "OffscreenReload"), "1");
    EXPECT_EQ(read("Player2", "OffscreenReload"), "0");
    EXPECT_EQ(read("Player2", "Enable"), "0");
    EXPECT_EQ(read("Player2", "SysMouse"), "");  // never written for player 2
    EXPECT_EQ(read("Player2", "InputType"), "joystick");
    EXPECT_EQ(read("Player2", "JoyID"), "2");
    EXPECT_EQ(read("Player2", "MouseID"), "-1");
    EXPECT_EQ(read("Player2", "CoinButton"), "4");
    EXPECT_EQ(read("keys", "P1StartKey"), "49");
    EXPECT_EQ(read("keys", "P2StartKey"), "");
    EXPECT_EQ(read("keys", "P1EscKey"), "27");
}

TEST(SaveSettings, WritesInOrderAndARoundTripKeepsTheKeysItDoesNotOwn) {
    FakeSystem sys;
    sys.folder.writeFile("joycfg\\g.ini", "[keys]\r\nEnable=1\r\nLShotKey=65\r\n[Player2]\r\nSysMouse=1\r\nUpButton=4\r\n");
    SaveSettings(sys.ini, sys.folder.path(), "g", SampleControls());
    const std::string text = sys.folder.readFile("joycfg\\g.ini");
    EXPECT_LT(text.find("ForcePoll"), text.find("[Player1]"));
    const PlayerSettings s = LoadPlayerSettings(sys.files, sys.ini, sys.folder.path(), "g", "").value();
    EXPECT_EQ(s.KeysEnabled, 1);
    EXPECT_EQ(s.P1CoinKey, 53);
    EXPECT_EQ(s.players[0].InputType, "lightgun");
    EXPECT_EQ(s.players[1].JoyID, 2);
    auto read = [&](const char* section, const char* key) {
        return ReadIniValue(sys.ini, sys.folder.path() + "\\joycfg\\g.ini", section, key, false);
    };
    EXPECT_EQ(read("keys", "Enable"), "1");
    EXPECT_EQ(read("keys", "LShotKey"), "65");
    EXPECT_EQ(read("Player2", "SysMouse"), "1");
    EXPECT_EQ(read("Player2", "UpButton"), "4");
}

}  // namespace
}  // namespace vt2::test
