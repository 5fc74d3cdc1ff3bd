// The windows the configuration window opens: the key detector, the twin-stick window and the
// input box; and the layouts of all four.
#include <gtest/gtest.h>

#include "common/ini.h"
#include "support/fake_forms.h"
#include "support/fake_platform.h"
#include "ui/config_tool.h"
#include "ui/input_box_model.h"
#include "ui/layouts.h"

namespace vt2::test {
namespace {

constexpr std::int16_t kDown = static_cast<std::int16_t>(0x8000);

class Helpers : public ::testing::Test {
protected:
    void SetUp() override {
        sys.folder.writeFile("memcfg\\von.ini", "[Info]\r\nName=Virtual On Cybertroopers (US)\r\nWinClass=V\r\nGameType=VON\r\n");
        sys.folder.writeFile("memcfg\\vonj.ini", "[Info]\r\nName=Virtual On (J)\r\nWinClass=V\r\nGameType=VON\r\n");
        sys.folder.writeFile("memcfg\\demo.ini", "[Info]\r\nName=Demo\r\nWinClass=D\r\n");
        sys.folder.writeFile("joycfg\\default.ini", "[Player1]\r\nEnable=1\r\n");
        sys.folder.writeFile("joycfg\\von.ini", kVon);
        tool.open();
        tool.config().timerTicked();
    }
    std::string read(const std::string& base, const char* section, const char* key) {
        return ReadIniValue(sys.ini, sys.folder.path() + "\\joycfg\\" + base + ".ini", section, key, false);
    }
    ControlState von(const std::string& control) { return tool.twinStick().state(control); }

    static constexpr const char* kVon =
        "[Player1]\r\nEnable=1\r\nInputType=joystick\r\nJoyID=1\r\nAnalogX=0\r\nAnalogY=1\r\nTestButton=10\r\n"
        "ServiceButton=11\r\nShotButton=0\r\nDashButton=1\r\nUpButton=2\r\nDownButton=3\r\nRightButton=4\r\nLeftButton=5\r\n"
        "[Player2]\r\nEnable=1\r\nInputType=joystick\r\nJoyID=2\r\nAnalogX=3\r\nAnalogY=-1\r\nShotButton=6\r\nDashButton=7\r\n"
        "UpButton=8\r\nDownButton=9\r\nRightButton=12\r\nLeftButton=40\r\n"
        "[keys]\r\nEnable=1\r\nP1StartKey=49\r\nTestKey=84\r\nServiceKey=83\r\nLShotKey=65\r\nLDashKey=66\r\nLUKey=38\r\n"
        "LDKey=40\r\nLRKey=39\r\nLLKey=37\r\nRShotKey=71\r\nRDashKey=72\r\nRUKey=73\r\nRDKey=74\r\nRRKey=75\r\nRLKey=76\r\n";

    FakeSystem sys;
    FakeForms forms{sys.log};
    FakeInputBoxes inputs{sys.log};
    ConfigServices services{sys.ini, sys.files, sys.messageBoxes, inputs, sys.launcher, forms, sys.folder.path()};
    ConfigTool tool{services, sys.keyboard};
};

TEST(KeyDetector, TheScanRunsFrom255DownTo8AndCountsEveryStateButUp) {
    EventLog log;
    FakeKeyboard keyboard(log);
    EXPECT_FALSE(FirstKeyDown(keyboard).has_value());
    keyboard.states = {{1, kDown}, {7, kDown}};  // the mouse buttons and Cancel are never seen
    EXPECT_FALSE(FirstKeyDown(keyboard).has_value());
    keyboard.states = {{16, kDown}, {160, kDown}};  // Shift and left Shift: the side wins
    EXPECT_EQ(FirstKeyDown(keyboard), 160);
    keyboard.states = {{8, kDown}};
    EXPECT_EQ(FirstKeyDown(keyboard), 8);
    keyboard.states = {{20, 1}};  // Caps Lock toggled, up
    EXPECT_FALSE(FirstKeyDown(keyboard).has_value());
    keyboard.states = {{65, static_cast<std::int16_t>(kDown | 1)}, {300, kDown}};
    EXPECT_EQ(FirstKeyDown(keyboard), 65);
}

TEST_F(Helpers, AKeyDownFillsTheClickedBoxAndTheFocusGoesBackToItsWindow) {
    Click(tool.config(), "txtStart2Key");
    tool.keyDetector().timerTicked();  // nothing down yet: it goes on polling
    EXPECT_TRUE(forms.isOpen(tool.keyDetector()));
    sys.keyboard.states = {{65, kDown}};
    tool.keyDetector().timerTicked();
    EXPECT_EQ(tool.config().state("txtStart2Key").text, "65");
    EXPECT_FALSE(forms.isOpen(tool.keyDetector()));
    EXPECT_FALSE(forms.timerRunning(tool.keyDetector()));
    EXPECT_NE(sys.indexOf("focus frmConfig txtStart2Key"), -1);
}

TEST_F(Helpers, ASecondBoxClickedWhileTheDetectorIsOpenIsTheOneFilled) {
    Click(tool.config(), "txtStart1Key");
    Click(tool.config(), "txtCoin1Key");
    sys.keyboard.states = {{160, kDown}};
    tool.keyDetector().timerTicked();
    EXPECT_EQ(tool.config().state("txtCoin1Key").text, "160");
    EXPECT_EQ(tool.config().state("txtStart1Key").text, "");  // default.ini holds no key
    EXPECT_EQ(sys.eventsStartingWith("timer frmKeyDetect").size(), 1u);  // one scan, not two
}

TEST_F(Helpers, ClearEmptiesTheBoxCancelLeavesItAlone) {
    TypeIntoField(tool.config(), "txtExitKey", "27");
    Click(tool.config(), "txtExitKey");
    Click(tool.keyDetector(), "cmdCancel");
    EXPECT_EQ(tool.config().state("txtExitKey").text, "27");
    EXPECT_FALSE(forms.isOpen(tool.keyDetector()));
    Click(tool.config(), "txtExitKey");
    Click(tool.keyDetector(), "cmdClear");
    EXPECT_EQ(tool.config().state("txtExitKey").text, "");
    EXPECT_FALSE(forms.timerRunning(tool.keyDetector()));
}

TEST_F(Helpers, ATwinStickBoxIsFilledInItsWindowAndAClosedWindowsBoxIsLeftAlone) {
    Click(tool.config(), "cmdVON");
    Click(tool.twinStick(), "txtRShot");
    EXPECT_EQ(tool.keyTarget(), "rshot");
    sys.keyboard.states = {{90, kDown}};
    tool.keyDetector().timerTicked();
    EXPECT_EQ(von("txtRShot").text, "90");
    EXPECT_NE(sys.indexOf("focus frmVON txtRShot"), -1);
    EXPECT_EQ(tool.config().state("txtStart1Key").text, "49");  // the configuration window's boxes are untouched

    Click(tool.twinStick(), "txtLL");
    forms.close(tool.twinStick());  // the user closes the twin-stick window first
    sys.keyboard.states = {{91, kDown}};
    tool.keyDetector().timerTicked();
    EXPECT_EQ(von("txtLL").text, "37");
    EXPECT_FALSE(forms.isOpen(tool.keyDetector()));
}

TEST_F(Helpers, TheTwinStickWindowShowsTheTablesWithUpAndDownAsTheReaderHasThem) {
    Click(tool.config(), "cmdVON");
    EXPECT_EQ(tool.config().games()[*tool.config().currentGame()].base, "von");
    EXPECT_EQ(von("cmbLX").text, "X");
    EXPECT_EQ(von("cmbLY").text, "Y");
    EXPECT_EQ(von("cmbRX").text, "RX");
    EXPECT_EQ(von("cmbRY").text, "NONE");
    EXPECT_EQ(von("cmbTest").text, "10");
    EXPECT_EQ(von("txtService").text, "83");
    EXPECT_EQ(von("cmbLU").text, "2");  // UpButton
    EXPECT_EQ(von("txtLU").text, "38");  // LUKey
    EXPECT_EQ(von("cmbLD").text, "3");
    EXPECT_EQ(von("txtLD").text, "40");
    EXPECT_EQ(von("txtRR").text, "75");
    EXPECT_EQ(von("cmbRL").text, "NONE");  // 40: no such button entry
}

TEST_F(Helpers, SavingWritesBothFilesInOrderKeepsTheVerticalKeysAndWhatCannotBeShown) {
    Click(tool.config(), "cmdVON");
    Choose(tool.twinStick(), "cmbLX", 6);  // RZ
    Choose(tool.twinStick(), "cmbLY", 0);  // NONE
    TypeIntoField(tool.twinStick(), "txtTest", "");
    sys.log.clear();
    Click(tool.twinStick(), "cmdSave");
    for (const char* base : {"von", "vonj"}) {
        EXPECT_EQ(read(base, "Player1", "AnalogX"), "5") << base;
        EXPECT_EQ(read(base, "Player1", "AnalogY"), "-1") << base;
        EXPECT_EQ(read(base, "Player2", "AnalogX"), "3") << base;
        EXPECT_EQ(read(base, "Player1", "UpButton"), "2") << base;
        EXPECT_EQ(read(base, "Player1", "DownButton"), "3") << base;
        EXPECT_EQ(read(base, "keys", "LUKey"), "38") << base;  // load then save swaps nothing
        EXPECT_EQ(read(base, "keys", "LDKey"), "40") << base;
        EXPECT_EQ(read(base, "keys", "RUKey"), "73") << base;
        EXPECT_EQ(read(base, "Player2", "LeftButton"), "40") << base;  // kept, though no entry shows it
        EXPECT_EQ(read(base, "keys", "TestKey"), "") << base;
    }
    EXPECT_EQ(read("von", "Player1", "JoyID"), "1");  // the rest of the file is the other window's
    EXPECT_EQ(read("vonj", "Player1", "JoyID"), "");
    const std::string text = sys.folder.readFile("joycfg\\vonj.ini");
    EXPECT_LT(text.find("AnalogX"), text.find("TestButton"));
    EXPECT_LT(text.find("TestButton"), text.find("ShotButton"));
    EXPECT_LT(text.find("UpButton"), text.find("DownButton"));
    EXPECT_LT(text.find("LeftButton"), text.find("RightButton"));
    EXPECT_LT(text.find("TestKey"), text.find("LShotKey"));
    EXPECT_LT(text.find("LUKey"), text.find("LDKey"));
    EXPECT_LT(text.find("RLKey"), text.find("RRKey"));
    EXPECT_EQ(sys.eventsStartingWith("box "), (std::vector<std::string>{std::string("box VON Saved|") + kTwinStickSavedText}));
    EXPECT_FALSE(forms.isOpen(tool.twinStick()));
    EXPECT_EQ(sys.log.back(), "focus frmConfig");
}

TEST_F(Helpers, ClosingTheTwinStickWindowWithoutSavingWritesNothing) {
    const std::string before = sys.folder.readFile("joycfg\\von.ini");
    Click(tool.config(), "cmdVON");
    Choose(tool.twinStick(), "cmbLX", 3);
    tool.twinStick().closed();
    forms.close(tool.twinStick());
    EXPECT_EQ(sys.folder.readFile("joycfg\\von.ini"), before);
    EXPECT_EQ(read("vonj", "Player1", "AnalogX"), "");
}

TEST_F(Helpers, TheTwinStickWindowOverAnotherGameShowsVonsOwnSettings) {
    Choose(tool.config(), "cmbGame", 0);  // "Demo", no twin-stick game
    tool.twinStick().open();
    EXPECT_EQ(von("txtLShot").text, "65");
}

TEST(InputBox, OkAnswersTheFieldCancelAndClosingAnswerNothing) {
    EventLog log;
    FakeForms forms(log);
    ModalInputBoxes boxes(forms);
    forms.onModal = [](FormModel& box) {
        EXPECT_EQ(box.design().caption, "Set Mouse Accel");
        EXPECT_EQ(box.state("lblPrompt").text, "Set the Mouse Acceleration Value. 18 is default");
        EXPECT_EQ(box.state("txtAnswer").text, "18");
        TypeIntoField(box, "txtAnswer", " 25 ");
        box.clicked("cmdOK");
    };
    EXPECT_EQ(boxes.ask("Set the Mouse Acceleration Value. 18 is default", "Set Mouse Accel", "18"), " 25 ");
    forms.onModal = [](FormModel& box) {
        TypeIntoField(box, "txtAnswer", "30");
        box.clicked("cmdCancel");
    };
    EXPECT_EQ(boxes.ask("p", "t", "18"), "");
    forms.onModal = [](FormModel& box) {
        TypeIntoField(box, "txtAnswer", "30");
        box.closed();
    };
    EXPECT_EQ(boxes.ask("p", "t", "18"), "");
    const FormDesign& d = InputBoxDesign();
    auto find = [&](const char* name) {
        return *std::find_if(d.controls.begin(), d.controls.end(), [&](const ControlDesign& c) { return c.name == name; });
    };
    EXPECT_TRUE(find("cmdOK").defaultButton);  // Enter answers
    EXPECT_TRUE(find("cmdCancel").cancelButton);  // Esc cancels
}

// Every control of each window: inside the window, inside its frame, apart from the controls it
// shares a page with, and with the names, kinds and captions the windows are known by.
struct Rect {
    int left, top, right, bottom;
};
Rect Of(const ControlDesign& c) { return {c.left, c.top, c.left + c.width, c.top + c.height}; }
bool Inside(const Rect& a, const Rect& b) { return a.left >= b.left && a.top >= b.top && a.right <= b.right && a.bottom <= b.bottom; }
bool Overlap(const Rect& a, const Rect& b) { return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom; }

// hiddenPanel: a frame that lies below the client area with what it holds, where nothing shows it.
void CheckLayout(const FormDesign& d, const std::function<bool(const std::string&, const std::string&)>& samePage,
                 const std::string& hiddenPanel = {}) {
    const Rect client{0, 0, d.clientWidth, d.clientHeight};
    for (const ControlDesign& c : d.controls) {
        const bool hidden = !hiddenPanel.empty() && (c.name == hiddenPanel || c.frame == hiddenPanel);
        EXPECT_EQ(Inside(Of(c), client), !hidden) << d.name << " " << c.name;
        if (!c.frame.empty()) {
            const auto frame = std::find_if(d.controls.begin(), d.controls.end(), [&](const ControlDesign& f) { return f.name == c.frame; });
            ASSERT_NE(frame, d.controls.end()) << c.name;
            EXPECT_EQ(frame->kind, ControlKind::Frame);
            EXPECT_TRUE(Inside(Of(c), Of(*frame))) << d.name << " " << c.name << " in " << c.frame;
        }
        for (const ControlDesign& o : d.controls) {
            if (&o == &c || c.kind == ControlKind::Frame || o.kind == ControlKind::Frame || !samePage(c.name, o.name)) continue;
            EXPECT_FALSE(Overlap(Of(c), Of(o))) << d.name << " " << c.name << " and " << o.name;
        }
    }
}

const ControlDesign& Find(const FormDesign& d, const std::string& name) {
    const auto it = std::find_if(d.controls.begin(), d.controls.end(), [&](const ControlDesign& c) { return c.name == name; });
    if (it == d.controls.end()) throw std::logic_error("no " + name);
    return *it;
}

TEST(Layouts, TheConfigurationWindowHasEveryControlInItsPlace) {
    const FormDesign& d = ConfigWindowDesign();
    EXPECT_EQ(d.caption, "Vantor 2 Configuration");
    EXPECT_EQ(d.clientWidth, 6765);
    EXPECT_EQ(d.clientHeight, 7890);
    CheckLayout(d, [](const std::string& a, const std::string& b) {
        return !((IsOnConfigPage1(a) && IsOnConfigPage2(b)) || (IsOnConfigPage2(a) && IsOnConfigPage1(b)));
    });
    const std::pair<const char*, const char*> captions[] = {
        {"cmdPage1", "<<  Settings Page 1"}, {"cmdPage2", "Settings Page 2   >>"}, {"frmGame", "Game Settings"},
        {"fraLaunch", "Launch Settings"}, {"fraRemap", "Keyboard Input Remapping"}, {"frmM2", "Model 2 Specific Settings"},
        {"frmGunP1", "Gun Settings P1"}, {"frmGunP2", "Gun Settings P2"}, {"cmdGunSave", "&Save as Default"},
        {"Command1", "&Save for This Game Only"}, {"cmdRevert", "Revert this Game to Default"},
        {"chkOutputs", "Send Outputs to MameHooker"}, {"chkSysMouse", "Player 1 Controls System Mouse"},
        {"chkHideCross", "Hide Crosshairs"}, {"chkForce", "Force Joystick Poll"}, {"cmdNotes", "Read Notes for This Game"},
        {"lblExe", "Game Exe:"}, {"cmdWarning", "READ WARNING"}, {"lblExePath", "Exe Path:"},
        {"chkLaunch", "Have Vantor Launch Game"}, {"cmdLaunchSave", "Save"}, {"cmdHelp", "?"},
        {"lblStart1Key", "Start 1 Keycode:"}, {"lblStart2Key", "Start 2 Keycode:"}, {"lblExitKey", "Exit Keycode:"},
        {"lblCoin1Key", "Coin 1 Keycode:"}, {"lblCoin2Key", "Coin 2 Keycode:"}, {"lblExit2Key", "Alt Exit Keycode:"},
        {"cmdM2Setup", "Model 2 Setup Helper"}, {"cmdVON", "Virtua ON Setup"}, {"lblP1Uses", "P1 Uses:"},
        {"optP1_0", "Mouse/Trackball"}, {"optP1_1", "Lightgun/IR Gun (Mouse Based)"}, {"optP1_2", "Joystick"},
        {"cmnSetAccelP1", "Set Accel"}, {"lblP1Device", "Device #:"}, {"lblTrigger1", "Trigger Button:"},
        {"lblReload1", "Reload Button:"}, {"lblStart1", "Start Button:"}, {"lblCoin1", "Coin Button:"},
        {"lblExit1", "Exit Button:"}, {"chkEnableP1", "Enable Player 1 Controls"}, {"lblP2Uses", "P2 Uses:"},
        {"Command2", "Set Accel"}, {"chkEnableP2", "Enable Player 2 Controls"}, {"cmbTrigger2", "Combo1"},
        {"chkOffscreenP1", "Off-Screen Reload"}, {"cmdCalibrateP2", "Calibrate"}, {"lblGunPortP1", "Gun Port:"},
        {"lblGunKindP2", "Gun Kind:"}, {"cmdTestRecoilP2", "Test Recoil"}};
    for (const auto& [name, caption] : captions) EXPECT_EQ(Find(d, name).caption, caption) << name;
    const std::tuple<const char*, int, int, int, int> placed[] = {
        {"cmdPage1", 240, 120, 2295, 255}, {"cmdPage2", 4200, 120, 2295, 255}, {"frmGame", 240, 480, 6255, 1335},
        {"fraLaunch", 240, 1800, 6255, 1455}, {"fraRemap", 240, 3240, 6255, 1575}, {"frmM2", 240, 4800, 6255, 615},
        {"frmGunP1", 240, 480, 3135, 6735}, {"frmGunP2", 3360, 480, 3135, 6735}, {"cmdGunSave", 240, 7320, 1575, 375},
        {"Command1", 1920, 7320, 2175, 375}, {"cmdRevert", 4200, 7320, 2295, 375}};
    for (const auto& [name, left, top, width, height] : placed) {
        const ControlDesign& c = Find(d, name);
        EXPECT_EQ(std::make_tuple(c.left, c.top, c.width, c.height), std::make_tuple(left, top, width, height)) << name;
    }
    EXPECT_EQ(Find(d, "cmbGame").kind, ControlKind::DropDownList);
    EXPECT_EQ(Find(d, "cmbP2").kind, ControlKind::DropDownList);
    EXPECT_EQ(Find(d, "cmbExit1").kind, ControlKind::EditableList);
    EXPECT_EQ(Find(d, "optP2_1").kind, ControlKind::OptionButton);
    // Each field's label sits on its row, left of it.
    for (const auto& [label, field] : {std::pair{"lblExe", "txtExe"}, {"lblExit2Key", "txtExit2Key"}, {"lblP2Device", "cmbP2"},
                                       {"lblCoin2", "cmbCoin2"}, {"lblGunPortP1", "cmbGunPortP1"}, {"lblGunKindP2", "cmbGunKindP2"}}) {
        const ControlDesign& l = Find(d, label);
        const ControlDesign& f = Find(d, field);
        EXPECT_LE(l.left + l.width, f.left) << label;
        EXPECT_TRUE(l.top < f.top + f.height && f.top < l.top + l.height) << label;
    }
}

TEST(Layouts, TheKeyDetectorTheTwinStickWindowAndTheInputBox) {
    const FormDesign& k = KeyDetectorDesign();
    EXPECT_EQ(k.caption, "Key Detector");
    EXPECT_EQ(std::make_pair(k.clientWidth, k.clientHeight), std::make_pair(3660, 1875));
    EXPECT_EQ(Find(k, "Label1").caption, "Press Any Keyboard Key or Click \"Clear\" to Set to Nothing");
    EXPECT_EQ(Find(k, "Label1").fontName, "MS Sans Serif");
    EXPECT_EQ(Find(k, "Label1").fontPoints, 13.5);
    EXPECT_EQ(Find(k, "cmdClear").caption, "Clear");
    EXPECT_EQ(Find(k, "cmdCancel").left, 2040);
    CheckLayout(k, [](const std::string&, const std::string&) { return true; });

    const FormDesign& v = TwinStickDesign();
    EXPECT_EQ(v.caption, "Virtual On Setup");
    EXPECT_EQ(std::make_pair(v.clientWidth, v.clientHeight), std::make_pair(8040, 6195));
    CheckLayout(v, [](const std::string&, const std::string&) { return true; });
    EXPECT_EQ(Find(v, "fraLeft").caption, "Left Joystick");
    EXPECT_EQ(Find(v, "fraRight").left, 4080);
    EXPECT_EQ(Find(v, "fraAdmin").caption, "Misc");
    EXPECT_EQ(Find(v, "cmdSave").caption, "Save Settings");
    EXPECT_EQ(Find(v, "cmbLX").left, 840);
    EXPECT_EQ(Find(v, "cmbLShot").left, 1200);
    EXPECT_EQ(Find(v, "txtLShot").left, 2640);
    EXPECT_EQ(Find(v, "txtLShot").caption, "Text1");
    EXPECT_EQ(Find(v, "lblLHeading").caption, "Button:                     Key:");
    for (const char* row : {"lblLU", "lblLD", "lblLL", "lblLR", "lblLShot", "lblLDash"}) EXPECT_FALSE(Find(v, row).caption.empty());
    EXPECT_EQ(Find(v, "lblLU").caption, "Up:");
    EXPECT_LT(Find(v, "lblLU").top, Find(v, "lblLD").top);  // Up, Down, Left, Right, Shot, Dash
    EXPECT_LT(Find(v, "lblLR").top, Find(v, "lblLShot").top);

    CheckLayout(InputBoxDesign(), [](const std::string&, const std::string&) { return true; });
}

TEST(Layouts, TheModel2SetupWindowWithItsPanelBelowTheClientArea) {
    const FormDesign& d = Model2SetupDesign();
    EXPECT_EQ(d.caption, "Model 2 Setup");
    EXPECT_EQ(std::make_pair(d.clientWidth, d.clientHeight), std::make_pair(6285, 3540));
    CheckLayout(d, [](const std::string&, const std::string&) { return true; }, "fraHelp");
    const std::pair<const char*, const char*> captions[] = {
        {"fraOne", "Step 1:   Where is Model 2 Located?"}, {"txtM2Path", "C:\\M2Emulator\\"},
        {"cmdVerify", "Verify Path"}, {"fraTwo", "Step 2:   Does your Lightgun Show Up as a Mouse or  Joystick?"},
        {"optItype_0", "Mouse"}, {"optItype_1", "Joystick"}, {"optItype_2", "Don't care.  I'm just in it for the outputs."},
        {"fraThree", "Step 3:   Install scripts and Configure Model 2"}, {"cmdInstall", "Install Files for Model 2"},
        {"lblStatus", ""}, {"fraHelp", "Model 2 Helper"},
        {"lblHelp", "Temporarily Disable Raw Input and Launch Game for Configuration:"}, {"optRI_0", "Enable Raw Input"},
        {"optRI_1", "Disable Raw Input"}, {"cmdSet", "Set"}, {"lblGame", "Game:"}, {"cmdLaunch", "Launch Game"},
        {"cmdReadMe", "Read Model 2 Usage File"}};
    for (const auto& [name, caption] : captions) EXPECT_EQ(Find(d, name).caption, caption) << name;
    const std::tuple<const char*, int, int, int, int> frames[] = {{"fraOne", 120, 240, 6015, 855},
                                                                  {"fraTwo", 120, 1200, 6015, 975},
                                                                  {"fraThree", 120, 2280, 6015, 1215},
                                                                  {"fraHelp", 120, 3600, 6015, 2175}};
    for (const auto& [name, left, top, width, height] : frames) {
        const ControlDesign& c = Find(d, name);
        EXPECT_EQ(std::make_tuple(c.left, c.top, c.width, c.height), std::make_tuple(left, top, width, height)) << name;
    }
    EXPECT_EQ(Find(d, "cmbGame").kind, ControlKind::DropDownList);
    EXPECT_LE(Find(d, "lblGame").left + Find(d, "lblGame").width, Find(d, "cmbGame").left);
    EXPECT_LT(Find(d, "cmdInstall").top, Find(d, "lblStatus").top);  // the status below the button
}

}  // namespace
}  // namespace vt2::test
