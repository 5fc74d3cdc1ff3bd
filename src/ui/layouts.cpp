#include "ui/layouts.h"

#include <algorithm>
#include <array>
#include <utility>

namespace vt2 {

namespace {

using K = ControlKind;

// Short, for the many rows below.
ControlDesign C(auto&&... row) { return MakeControl(std::forward<decltype(row)>(row)...); }

constexpr std::array<const char*, 5> kButtonLabels{"Trigger Button:", "Reload Button:", "Start Button:", "Coin Button:",
                                                   "Exit Button:"};
constexpr std::array<const char*, 5> kButtonLists{"cmbTrigger", "cmbReload", "cmbStart", "cmbCoin", "cmbExit"};

// One player's gun frame, its left edge at x.
void AddGunFrame(std::vector<ControlDesign>& c, int player, int x) {
    const std::string n = std::to_string(player);
    const std::string frame = "frmGunP" + n;
    c.push_back(C(frame, K::Frame, "Gun Settings P" + n, x, 480, 3135, 6735));
    c.push_back(C("lblP" + n + "Uses", K::Label, "P" + n + " Uses:", x + 120, 780, 2000, 255, frame));
    const char* options[] = {"Mouse/Trackball", "Lightgun/IR Gun (Mouse Based)", "Joystick"};
    for (int i = 0; i < 3; ++i) {
        c.push_back(C("optP" + n + "_" + std::to_string(i), K::OptionButton, options[i], x + 180, 1080 + 300 * i, 2895,
                      255, frame));
    }
    c.push_back(C("txtP" + n + "Accel", K::Edit, "", x + 120, 2040, 1215, 315, frame));
    c.push_back(C(player == 1 ? "cmnSetAccelP1" : "Command2", K::Button, "Set Accel", x + 1440, 2010, 1575, 375, frame));
    c.push_back(C("lblP" + n + "Device", K::Label, "Device #:", x + 120, 2520, 870, 255, frame));
    c.push_back(C("cmbP" + n, K::DropDownList, "", x + 1020, 2490, 1035, 315, frame));
    c.push_back(C("cmdDetectP" + n, K::Button, "Detect", x + 2115, 2475, 900, 345, frame));
    // The name of the device the list shows, right under it.
    c.push_back(C("lblP" + n + "DeviceName", K::Label, "", x + 120, 2865, 2895, 255, frame));
    for (std::size_t i = 0; i < kButtonLists.size(); ++i) {
        const int top = 3210 + 360 * static_cast<int>(i);
        c.push_back(C("lbl" + std::string(kButtonLists[i]).substr(3) + n, K::Label, kButtonLabels[i], x + 120, top + 30,
                      1380, 255, frame));
        c.push_back(C(kButtonLists[i] + n, K::EditableList, "Combo1", x + 1560, top, 1455, 315, frame));
    }
    c.push_back(C("chkEnableP" + n, K::CheckBox, "Enable Player " + n + " Controls", x + 120, 5040, 2775, 255, frame));
    // Where the gun's aim lands: a trigger pulled off the picture reloads; the picture's edges as this gun sees them.
    c.push_back(C("chkOffscreenP" + n, K::CheckBox, "Off-Screen Reload", x + 120, 5475, 1860, 255, frame));
    c.push_back(C("cmdCalibrateP" + n, K::Button, "Calibrate", x + 2115, 5430, 900, 345, frame));
    // The gun's recoil and lamps, driven by VT2: where the gun is, which commands it takes, and
    // one pulse to see that both are right.
    c.push_back(C("lblGunPortP" + n, K::Label, "Gun Port:", x + 120, 5910, 870, 255, frame));
    c.push_back(C("cmbGunPortP" + n, K::DropDownList, "", x + 1020, 5880, 1995, 315, frame));
    c.push_back(C("lblGunKindP" + n, K::Label, "Gun Kind:", x + 120, 6300, 870, 255, frame));
    c.push_back(C("cmbGunKindP" + n, K::DropDownList, "", x + 1020, 6270, 1995, 315, frame));
    c.push_back(C("cmdTestRecoilP" + n, K::Button, "Test Recoil", x + 1020, 6660, 1995, 375, frame));
}

FormDesign MakeConfigDesign() {
    FormDesign d;
    d.name = "frmConfig";
    d.caption = "Vantor 2 Configuration";
    d.clientWidth = 6765;
    d.clientHeight = 7890;
    auto& c = d.controls;
    c.push_back(C("cmdPage1", K::Button, "<<  Settings Page 1", 240, 120, 2295, 255));
    c.push_back(C("cmdPage2", K::Button, "Settings Page 2   >>", 4200, 120, 2295, 255));

    c.push_back(C("frmGame", K::Frame, "Game Settings", 240, 480, 6255, 1335));
    c.push_back(C("cmbGame", K::DropDownList, "", 360, 720, 4215, 315, "frmGame"));
    c.push_back(C("cmdFindAim", K::Button, "Find Addresses...", 4680, 705, 1695, 345, "frmGame"));
    c.push_back(C("chkOutputs", K::CheckBox, "Send Outputs to MameHooker", 360, 1110, 2895, 255, "frmGame"));
    c.push_back(C("chkSysMouse", K::CheckBox, "Player 1 Controls System Mouse", 3360, 1110, 3015, 255, "frmGame"));
    c.push_back(C("chkHideCross", K::CheckBox, "Hide Crosshairs", 360, 1440, 1575, 255, "frmGame"));
    c.push_back(C("chkForce", K::CheckBox, "Force Joystick Poll", 2040, 1440, 1935, 255, "frmGame"));
    c.push_back(C("cmdNotes", K::Button, "Read Notes for This Game", 4080, 1380, 2295, 360, "frmGame"));

    c.push_back(C("fraLaunch", K::Frame, "Launch Settings", 240, 1800, 6255, 1455));
    c.push_back(C("lblExe", K::Label, "Game Exe:", 360, 2100, 975, 255, "fraLaunch"));
    c.push_back(C("txtExe", K::Edit, "", 1440, 2070, 2880, 315, "fraLaunch"));
    c.push_back(C("cmdWarning", K::Button, "READ WARNING", 4440, 2040, 1935, 375, "fraLaunch"));
    c.push_back(C("lblExePath", K::Label, "Exe Path:", 360, 2520, 975, 255, "fraLaunch"));
    c.push_back(C("txtExePath", K::Edit, "", 1440, 2490, 4935, 315, "fraLaunch"));
    c.push_back(C("chkLaunch", K::CheckBox, "Have Vantor Launch Game", 360, 2910, 2775, 255, "fraLaunch"));
    c.push_back(C("cmdLaunchSave", K::Button, "Save", 3480, 2850, 1215, 360, "fraLaunch"));
    c.push_back(C("cmdHelp", K::Button, "?", 4800, 2850, 495, 360, "fraLaunch"));

    c.push_back(C("fraRemap", K::Frame, "Keyboard Input Remapping", 240, 3240, 6255, 1575));
    const char* left[] = {"Start 1 Keycode:", "Start 2 Keycode:", "Exit Keycode:"};
    const char* leftBoxes[] = {"txtStart1Key", "txtStart2Key", "txtExitKey"};
    const char* right[] = {"Coin 1 Keycode:", "Coin 2 Keycode:", "Alt Exit Keycode:"};
    const char* rightBoxes[] = {"txtCoin1Key", "txtCoin2Key", "txtExit2Key"};
    for (int i = 0; i < 3; ++i) {
        const int top = 3540 + 420 * i;
        c.push_back(C("lbl" + std::string(leftBoxes[i]).substr(3), K::Label, left[i], 360, top + 30, 1575, 255, "fraRemap"));
        c.push_back(C(leftBoxes[i], K::Edit, "", 2040, top, 975, 315, "fraRemap"));
        c.push_back(C("lbl" + std::string(rightBoxes[i]).substr(3), K::Label, right[i], 3360, top + 30, 1575, 255, "fraRemap"));
        c.push_back(C(rightBoxes[i], K::Edit, "", 5040, top, 975, 315, "fraRemap"));
    }

    c.push_back(C("frmM2", K::Frame, "Model 2 Specific Settings", 240, 4800, 6255, 615));
    c.push_back(C("cmdM2Setup", K::Button, "Model 2 Setup Helper", 360, 5040, 2895, 315, "frmM2"));
    c.push_back(C("cmdVON", K::Button, "Virtua ON Setup", 3480, 5040, 2895, 315, "frmM2"));

    AddGunFrame(c, 1, 240);
    AddGunFrame(c, 2, 3360);

    c.push_back(C("cmdGunSave", K::Button, "&Save as Default", 240, 7320, 1575, 375));
    c.push_back(C("Command1", K::Button, "&Save for This Game Only", 1920, 7320, 2175, 375));
    c.push_back(C("cmdRevert", K::Button, "Revert this Game to Default", 4200, 7320, 2295, 375));
    return d;
}

FormDesign MakeDeviceDetectorDesign(int player) {
    const std::string prompt = "Pull the trigger of the gun for player " + std::to_string(player);
    FormDesign d;
    d.name = "frmDetectP" + std::to_string(player);
    d.caption = prompt;
    d.clientWidth = 5400;
    d.clientHeight = 1875;
    ControlDesign label = C("lblPrompt", K::Label, prompt + " (any button of the gun or mouse).", 240, 120, 4920, 1095);
    label.fontName = "MS Sans Serif";
    label.fontPoints = 12;
    d.controls.push_back(label);
    ControlDesign cancel = C("cmdCancel", K::Button, "Cancel", 3585, 1320, 1575, 495);
    cancel.cancelButton = true;
    d.controls.push_back(cancel);
    return d;
}

FormDesign MakeFindAimDesign() {
    FormDesign d;
    d.name = "frmFindAim";
    d.caption = "Find Addresses";
    d.clientWidth = 5400;
    d.clientHeight = 1800;
    d.controls.push_back(C("lblHint", K::Label, "Hands off the mouse: VT2 moves it over the game and clicks.", 240, 120, 4920, 255));
    d.controls.push_back(C("lblStep", K::Label, "", 240, 480, 4920, 255));
    d.controls.push_back(C("barScan", K::ProgressBar, "", 240, 840, 4920, 300));
    ControlDesign stop = C("cmdStop", K::Button, "Stop", 3585, 1260, 1575, 375);
    stop.cancelButton = true;
    d.controls.push_back(stop);
    return d;
}

FormDesign MakeKeyDetectorDesign() {
    FormDesign d;
    d.name = "frmKeyDetect";
    d.caption = "Key Detector";
    d.clientWidth = 3660;
    d.clientHeight = 1875;
    ControlDesign label = C("Label1", K::Label, "Press Any Keyboard Key or Click \"Clear\" to Set to Nothing", 240, 120, 3255, 1095);
    label.fontName = "MS Sans Serif";
    label.fontPoints = 13.5;
    d.controls.push_back(label);
    d.controls.push_back(C("cmdClear", K::Button, "Clear", 120, 1320, 1815, 495));
    // Esc is a key to detect like any other (players want it for Exit): no button of the
    // dialog takes it.
    d.controls.push_back(C("cmdCancel", K::Button, "Cancel", 2040, 1320, 1575, 495));
    return d;
}

// One stick's frame: the two axes, a heading, then the six rows of button and key.
void AddStickFrame(std::vector<ControlDesign>& c, const std::string& side, const std::string& caption, int x) {
    const std::string frame = "fra" + side + (side == "L" ? "eft" : "ight");
    c.push_back(C(frame, K::Frame, caption, x, 120, 3855, 3975));
    c.push_back(C("lbl" + side + "X", K::Label, "X Axis:", x + 60, 450, 645, 255, frame));
    c.push_back(C("cmb" + side + "X", K::DropDownList, "", x + 720, 420, 1335, 315, frame));
    c.push_back(C("lbl" + side + "Y", K::Label, "Y Axis:", x + 60, 840, 645, 255, frame));
    c.push_back(C("cmb" + side + "Y", K::DropDownList, "", x + 720, 810, 1335, 315, frame));
    c.push_back(C("lbl" + side + "Heading", K::Label, "Button:                     Key:", x + 1080, 1260, 2535, 255, frame));
    const char* rows[] = {"Up", "Down", "Left", "Right", "Shot", "Dash"};
    const char* suffix[] = {"U", "D", "L", "R", "Shot", "Dash"};
    for (int i = 0; i < 6; ++i) {
        const int top = 1560 + 390 * i;
        c.push_back(C("lbl" + side + suffix[i], K::Label, std::string(rows[i]) + ":", x + 120, top + 30, 855, 255, frame));
        c.push_back(C("cmb" + side + suffix[i], K::EditableList, "Combo1", x + 1080, top, 975, 315, frame));
        c.push_back(C("txt" + side + suffix[i], K::Edit, "Text1", x + 2520, top, 615, 315, frame));
    }
}

FormDesign MakeTwinStickDesign() {
    FormDesign d;
    d.name = "frmVON";
    d.caption = "Virtual On Setup";
    d.escapeCloses = true;
    d.clientWidth = 8040;
    d.clientHeight = 6195;
    auto& c = d.controls;
    AddStickFrame(c, "L", "Left Joystick", 120);
    AddStickFrame(c, "R", "Right Joystick", 4080);
    c.push_back(C("fraAdmin", K::Frame, "Misc", 120, 4200, 7815, 1455));
    c.push_back(C("lblAdminHeading", K::Label, "Button:                     Key:", 1200, 4440, 2535, 255, "fraAdmin"));
    c.push_back(C("lblService", K::Label, "Service:", 240, 4800, 855, 255, "fraAdmin"));
    c.push_back(C("cmbService", K::EditableList, "Combo1", 1200, 4770, 975, 315, "fraAdmin"));
    c.push_back(C("txtService", K::Edit, "Text1", 2640, 4770, 615, 315, "fraAdmin"));
    c.push_back(C("lblTest", K::Label, "Test:", 240, 5190, 855, 255, "fraAdmin"));
    c.push_back(C("cmbTest", K::EditableList, "Combo1", 1200, 5160, 975, 315, "fraAdmin"));
    c.push_back(C("txtTest", K::Edit, "Text1", 2640, 5160, 615, 315, "fraAdmin"));
    c.push_back(C("lblNote", K::Label,
                  "NOTE:  Configure the Joystick(s) ID as well as the Start/Coin/Ect buttons in the main window.  P1 "
                  "Controls are the left stick, P2 Controls are the right.",
                  3840, 4440, 3975, 1095, "fraAdmin"));
    c.push_back(C("cmdSave", K::Button, "Save Settings", 2400, 5760, 3375, 375));
    return d;
}

FormDesign MakeInputBoxDesign() {
    FormDesign d;
    d.name = "InputBox";
    d.clientWidth = 6150;
    d.clientHeight = 1980;
    d.controls.push_back(C("lblPrompt", K::Label, "", 120, 120, 4575, 1215));
    ControlDesign ok = C("cmdOK", K::Button, "OK", 4875, 120, 1155, 375);
    ok.defaultButton = true;
    d.controls.push_back(ok);
    ControlDesign cancel = C("cmdCancel", K::Button, "Cancel", 4875, 600, 1155, 375);
    cancel.cancelButton = true;
    d.controls.push_back(cancel);
    d.controls.push_back(C("txtAnswer", K::Edit, "", 120, 1500, 5910, 315));
    return d;
}

FormDesign MakeModel2SetupDesign() {
    FormDesign d;
    d.name = "frmModel2";
    d.caption = "Model 2 Setup";
    d.clientWidth = 6285;
    d.clientHeight = 3540;
    auto& c = d.controls;
    c.push_back(C("fraOne", K::Frame, "Step 1:   Where is Model 2 Located?", 120, 240, 6015, 855));
    c.push_back(C("txtM2Path", K::Edit, "C:\\M2Emulator\\", 240, 570, 4095, 315, "fraOne"));
    c.push_back(C("cmdVerify", K::Button, "Verify Path", 4440, 540, 1575, 375, "fraOne"));
    c.push_back(C("fraTwo", K::Frame, "Step 2:   Does your Lightgun Show Up as a Mouse or  Joystick?", 120, 1200, 6015, 975));
    c.push_back(C("optItype_0", K::OptionButton, "Mouse", 240, 1440, 1695, 240, "fraTwo"));
    c.push_back(C("optItype_1", K::OptionButton, "Joystick", 240, 1680, 1695, 240, "fraTwo"));
    c.push_back(C("optItype_2", K::OptionButton, "Don't care.  I'm just in it for the outputs.", 240, 1920, 5655, 240,
                  "fraTwo"));
    c.push_back(C("fraThree", K::Frame, "Step 3:   Install scripts and Configure Model 2", 120, 2280, 6015, 1215));
    c.push_back(C("cmdInstall", K::Button, "Install Files for Model 2", 1800, 2580, 2655, 375, "fraThree"));
    c.push_back(C("lblStatus", K::Label, "", 240, 3060, 5775, 255, "fraThree"));
    // A panel for trying a game without raw input, below the client area: nothing shows it.
    c.push_back(C("fraHelp", K::Frame, "Model 2 Helper", 120, 3600, 6015, 2175));
    c.push_back(C("lblHelp", K::Label, "Temporarily Disable Raw Input and Launch Game for Configuration:", 240, 3840,
                  5775, 255, "fraHelp"));
    c.push_back(C("optRI_0", K::OptionButton, "Enable Raw Input", 240, 4140, 2175, 255, "fraHelp"));
    c.push_back(C("optRI_1", K::OptionButton, "Disable Raw Input", 240, 4440, 2175, 255, "fraHelp"));
    c.push_back(C("cmdSet", K::Button, "Set", 2640, 4200, 975, 375, "fraHelp"));
    c.push_back(C("lblGame", K::Label, "Game:", 240, 4890, 615, 255, "fraHelp"));
    c.push_back(C("cmbGame", K::DropDownList, "", 960, 4860, 2415, 315, "fraHelp"));
    c.push_back(C("cmdLaunch", K::Button, "Launch Game", 3600, 4830, 1455, 375, "fraHelp"));
    c.push_back(C("cmdReadMe", K::Button, "Read Model 2 Usage File", 240, 5280, 2775, 375, "fraHelp"));
    return d;
}

}  // namespace

const FormDesign& ConfigWindowDesign() {
    static const FormDesign design = MakeConfigDesign();
    return design;
}

const FormDesign& KeyDetectorDesign() {
    static const FormDesign design = MakeKeyDetectorDesign();
    return design;
}

const FormDesign& DeviceDetectorDesign(int player) {
    static const FormDesign designs[] = {MakeDeviceDetectorDesign(1), MakeDeviceDetectorDesign(2)};
    return designs[player == 2 ? 1 : 0];
}

const FormDesign& TwinStickDesign() {
    static const FormDesign design = MakeTwinStickDesign();
    return design;
}

const FormDesign& Model2SetupDesign() {
    static const FormDesign design = MakeModel2SetupDesign();
    return design;
}

const FormDesign& FindAimDesign() {
    static const FormDesign design = MakeFindAimDesign();
    return design;
}

const FormDesign& InputBoxDesign() {
    static const FormDesign design = MakeInputBoxDesign();
    return design;
}

namespace {
// The frame a control of the configuration window lies in (a frame: itself).
std::string ConfigFrameOf(const std::string& control) {
    const auto& controls = ConfigWindowDesign().controls;
    const auto it = std::find_if(controls.begin(), controls.end(), [&](const ControlDesign& c) { return c.name == control; });
    if (it == controls.end()) return {};
    return it->kind == ControlKind::Frame ? it->name : it->frame;
}
}  // namespace

bool IsOnConfigPage1(const std::string& control) {
    const std::string frame = ConfigFrameOf(control);
    return frame == "frmGame" || frame == "fraLaunch" || frame == "fraRemap" || frame == "frmM2";
}

bool IsOnConfigPage2(const std::string& control) {
    const std::string frame = ConfigFrameOf(control);
    return frame == "frmGunP1" || frame == "frmGunP2";
}

}  // namespace vt2
