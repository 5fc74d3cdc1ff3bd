#include "ui/config_model.h"

#include <array>
#include <utility>

#include "common/config_file.h"
#include "common/file_schema.h"
#include "common/ini.h"
#include "common/numbers.h"
#include "common/text.h"
#include "outputs/gun_feedback.h"
#include "platform/feedback_ports.h"
#include "platform/file_system.h"
#include "platform/ini_files.h"
#include "platform/message_boxes.h"
#include "platform/program_launcher.h"
#include "platform/raw_input.h"
#include "ui/calibration_model.h"
#include "ui/model2_setup_model.h"
#include "ui/device_detector_model.h"
#include "ui/key_detector_model.h"
#include "ui/layouts.h"
#include "ui/list_entries.h"
#include "ui/twin_stick_model.h"

namespace vt2 {

namespace {

constexpr unsigned kStartUpDelayMs = 100;
// A test pulse's stop waits this long, so that the gun has fired before it leaves the host's mode.
constexpr unsigned kRecoilTestStopMs = 300;
constexpr unsigned kRecoilTestWaitMs = 1000;
constexpr int kGunPortEntries = 32;  // COM1 to COM32; another number stays as it is stored

// The controls that show a game: without one they are off (the button lists too, below).
const std::vector<std::string>& GameControls() {
    static const std::vector<std::string> names{
        "cmbGame",     "chkOutputs",  "chkSysMouse", "chkHideCross",  "chkForce",     "cmdNotes",    "txtExe",
        "txtExePath",  "chkLaunch",   "cmdLaunchSave", "txtStart1Key", "txtStart2Key", "txtExitKey", "txtCoin1Key",
        "txtCoin2Key", "txtExit2Key", "cmdVON",      "optP1_0",       "optP1_1",      "optP1_2",     "txtP1Accel",
        "cmnSetAccelP1", "cmbP1",     "chkEnableP1", "optP2_0",       "optP2_1",      "optP2_2",     "txtP2Accel",
        "Command2",    "cmbP2",       "chkEnableP2", "cmdGunSave",    "Command1",     "cmdRevert",   "cmdDetectP1",
        "cmdDetectP2", "chkOffscreenP1", "chkOffscreenP2", "cmdCalibrateP1", "cmdCalibrateP2", "cmbGunPortP1",
        "cmbGunPortP2", "cmbGunKindP1", "cmbGunKindP2"};
    return names;
}
constexpr std::array<const char*, 5> kButtonLists{"cmbTrigger", "cmbReload", "cmbStart", "cmbCoin", "cmbExit"};
constexpr std::array<const char*, 5> kButtonKeys{"TriggerButton", "ReloadButton", "StartButton", "CoinButton", "EscButton"};

struct KeyBox {
    const char* control;
    const char* key;
};
constexpr std::array<KeyBox, 6> kKeyBoxes{{{"txtStart1Key", "P1StartKey"},
                                           {"txtStart2Key", "P2StartKey"},
                                           {"txtCoin1Key", "P1CoinKey"},
                                           {"txtCoin2Key", "P2CoinKey"},
                                           {"txtExitKey", "P1EscKey"},
                                           {"txtExit2Key", "P2EscKey"}}};

std::string Section(int player) { return "Player" + std::to_string(player); }
std::string Opt(int player, int option) { return "optP" + std::to_string(player) + "_" + std::to_string(option); }

std::string TrimSpaces(const std::string& text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

bool IsTwinStickBase(const std::string& base) { return base == "von" || base == "vonj"; }

const std::vector<std::string>& GunPortEntries() {
    static const std::vector<std::string> entries = [] {
        std::vector<std::string> names{"NONE"};
        for (int n = 1; n <= kGunPortEntries; ++n) names.push_back("COM" + std::to_string(n));
        return names;
    }();
    return entries;
}

}  // namespace

ConfigModel::ConfigModel(ConfigServices& services, std::string& keyTarget)
    : StoredFormModel(ConfigWindowDesign()), os_(services), keyTarget_(keyTarget) {
    control("cmdPage1").enabled = false;
    for (const char* list : {"cmbP1", "cmbP2"}) control(list).items = NumberListEntries();
    for (int player : {1, 2}) {
        for (const char* list : kButtonLists) control(list + std::to_string(player)).items = NumberListEntries();
        control("cmbGunPortP" + std::to_string(player)).items = GunPortEntries();
        control("cmbGunKindP" + std::to_string(player)).items = GunKindEntries();
    }
    showPage(1);
    enableGameControls(false);
}

void ConfigModel::setHelpers(KeyDetectorModel& keyDetector, TwinStickModel& twinStick, Model2SetupModel* model2Setup) {
    keyDetector_ = &keyDetector;
    twinStick_ = &twinStick;
    model2Setup_ = model2Setup;
}

void ConfigModel::setDeviceDetectors(DeviceDetectorModel& player1, DeviceDetectorModel& player2) {
    deviceDetectors_ = {&player1, &player2};
}

void ConfigModel::open() {
    os_.forms.show(*this);
    os_.forms.startTimer(*this, kStartUpDelayMs);
}

void ConfigModel::timerTicked() {
    os_.forms.stopTimer(*this);
    if (started_) {
        endRecoilTest();
        return;
    }
    // The start-up step, once.
    started_ = true;
    LoadINIList();
    if (!games_.empty()) selectGame(0);
    os_.forms.focus(*this, "cmbGame");
}

void ConfigModel::closed() { os_.forms.endProgram(); }

std::optional<std::size_t> ConfigModel::currentGame() const {
    const int selected = control("cmbGame").selected;
    if (selected < 0 || static_cast<std::size_t>(selected) >= games_.size()) return std::nullopt;
    return static_cast<std::size_t>(selected);
}

void ConfigModel::selectGame(std::size_t row) {
    control("cmbGame").selected = static_cast<int>(row);
    LoadGame();
}

void ConfigModel::LoadINIList() {
    games_.clear();
    const std::string folder = os_.programFolder + "\\" + kDescriptorFolder + "\\";
    for (const std::string& file : os_.files.listFiles(folder, ".ini")) {
        GameEntry entry;
        entry.base = file.substr(0, file.size() - 4);
        const std::string name = ReadIniValue(os_.ini, folder + file, "Info", "Name", false);
        entry.displayName = name.empty() ? entry.base : name;
        entry.entryText = name + "  (" + entry.base + ")";
        games_.push_back(std::move(entry));
    }
    ControlState& list = control("cmbGame");
    list.items.clear();
    for (const GameEntry& g : games_) list.items.push_back(g.entryText);
    list.selected = -1;
    enableGameControls(false);
}

void ConfigModel::LoadGame() {
    const auto row = currentGame();
    if (!row) return;
    const GameEntry game = games_[*row];
    const auto descriptor = LoadGameDescriptor(os_.files, os_.ini, os_.programFolder, game.base);
    if (!descriptor) {
        // The file went since the list was read: say so, read the list again, and stay open.
        message("The file " + MemoryDescriptorPath(os_.programFolder, game.base) +
                    " is gone. The list of games is read again.",
                "Missing File");
        LoadINIList();
        if (!games_.empty() && loadDepth_ < 3) {
            ++loadDepth_;
            selectGame(0);
            --loadDepth_;
        }
        return;
    }
    descriptor_ = *descriptor;
    const auto file = ChoosePlayerSettingsFile(os_.files, os_.programFolder, game.base);
    if (!file) {
        message("Neither " + PlayerSettingsPath(os_.programFolder, game.base) + " nor " +
                    PlayerSettingsPath(os_.programFolder, "default") + " is there. The controls show the defaults.",
                "Missing File");
    }
    // Each game starts from the defaults: nothing of the game shown before stays in the controls.
    settings_ = file ? ReadPlayerSettings(os_.ini, *file, descriptor_.GameType) : ShippedDefaultSettings();
    // The mice as they are attached now: a saved device is shown where it is.
    mice_.clear();
    if (os_.rawInput) mice_ = ListMice(os_.rawInput->deviceList().value_or(std::vector<RawInputDevice>{}));
    joysticks_.clear();
    if (os_.joysticks) joysticks_ = os_.joysticks->describeControllers();
    unshown_.clear();
    unshownLaunch_.reset();
    enableGameControls(true);

    control("txtExe").text = descriptor_.ExeName;
    control("txtExePath").text = descriptor_.ExePath;
    const auto launch = ToInt32Field(descriptor_.LaunchGame);
    control("chkLaunch").checked = launch && *launch == 1;
    if (!launch || (*launch != 0 && *launch != 1)) unshownLaunch_ = descriptor_.LaunchGame;

    showCheck("chkForce", settings_.ForcePoll, "Options/ForcePoll");
    showCheck("chkEnableP1", settings_.players[0].Enable, "Player1/Enable");
    showCheck("chkEnableP2", settings_.players[1].Enable, "Player2/Enable");
    showCheck("chkOutputs", settings_.Outputs, "Options/Outputs");
    showCheck("chkHideCross", settings_.HideCross, "Options/HideCross");
    showCheck("chkSysMouse", settings_.players[0].SysMouse, "Player1/SysMouse");
    showCheck("chkOffscreenP1", settings_.players[0].OffscreenReload, "Player1/OffscreenReload");
    showCheck("chkOffscreenP2", settings_.players[1].OffscreenReload, "Player2/OffscreenReload");
    // The key boxes show what the file holds, also when its keys are off and were not read: a
    // save then keeps them.
    const std::array<std::int16_t, 6> keys{settings_.P1StartKey, settings_.P2StartKey, settings_.P1CoinKey,
                                           settings_.P2CoinKey,  settings_.P1EscKey,   settings_.P2EscKey};
    for (std::size_t i = 0; i < kKeyBoxes.size(); ++i) {
        control(kKeyBoxes[i].control).text =
            file ? ReadIniValue(os_.ini, *file, "keys", kKeyBoxes[i].key, false) : std::to_string(keys[i]);
    }
    control("txtP1Accel").text = std::to_string(settings_.players[0].MouseAccel);
    control("txtP2Accel").text = std::to_string(settings_.players[1].MouseAccel);
    showPlayer(1, settings_.players[0]);
    showPlayer(2, settings_.players[1]);
    showGun(1, settings_.players[0]);
    showGun(2, settings_.players[1]);
    for (int player : {1, 2}) {
        const PlayerConfig& p = settings_.players[static_cast<std::size_t>(player - 1)];
        const std::array<std::int16_t, 5> buttons{p.TriggerButton, p.ReloadButton, p.StartButton, p.CoinButton, p.EscButton};
        for (std::size_t i = 0; i < kButtonLists.size(); ++i) {
            showEntry(kButtonLists[i] + std::to_string(player), buttons[i], Section(player) + "/" + kButtonKeys[i]);
        }
    }
    showDeviceNames();
    forgetTouches();
}

void ConfigModel::showPlayer(int player, const PlayerConfig& p) {
    const std::string section = Section(player);
    const std::string device = "cmbP" + std::to_string(player);
    int option = -1;
    if (p.InputType == "mouse") option = 0;
    if (p.InputType == "lightgun") option = 1;
    if (p.InputType == "joystick") option = 2;
    for (int i = 0; i < 3; ++i) control(Opt(player, i)).checked = i == option;
    if (option < 0) {
        // A device kind the options cannot show: kept, with both device numbers, until changed.
        const std::vector<std::string> changers{Opt(player, 0), Opt(player, 1), Opt(player, 2), device};
        unshown_[section + "/InputType"] = {changers, p.InputType};
        unshown_[section + "/JoyID"] = {changers, std::to_string(p.JoyID)};
        unshown_[section + "/MouseID"] = {changers, std::to_string(p.MouseID)};
        unshown_[section + "/MouseDevice"] = {changers, p.MouseDevice};
        control(device).selected = 0;
        return;
    }
    if (option == 2) {
        showEntry(device, p.JoyID, section + "/JoyID");
        return;
    }
    const MouseBinding binding = BindPlayerMouse(mice_, p.MouseID, p.MouseDevice, player);
    if (binding.by != MouseBoundBy::Position) {
        showEntry(device, static_cast<int>(*binding.index), section + "/MouseID");
        return;
    }
    showEntry(device, p.MouseID, section + "/MouseID");
    // A saved device that is not attached now stays saved until the user picks another.
    if (!p.MouseDevice.empty()) {
        unshown_[section + "/MouseDevice"] = {{Opt(player, 0), Opt(player, 1), Opt(player, 2), device}, p.MouseDevice};
    }
}

void ConfigModel::showGun(int player, const PlayerConfig& p) {
    const std::string n = std::to_string(player);
    const std::string section = Section(player);
    ControlState& port = control("cmbGunPortP" + n);
    const bool listed = p.GunPort >= 0 && p.GunPort <= kGunPortEntries;
    port.selected = listed ? p.GunPort : 0;
    if (!listed) unshown_[section + "/GunPort"] = {{"cmbGunPortP" + n}, std::to_string(p.GunPort)};
    const auto kind = ParseGunKind(p.GunKind);
    control("cmbGunKindP" + n).selected = static_cast<int>(kind.value_or(GunKind::None));
    if (!kind) unshown_[section + "/GunKind"] = {{"cmbGunKindP" + n}, p.GunKind};
}

GunSetup ConfigModel::shownGun(int player) const {
    const std::string n = std::to_string(player);
    GunSetup gun;
    const int kind = control("cmbGunKindP" + n).selected;
    if (kind > 0 && static_cast<std::size_t>(kind) < GunKindEntries().size()) gun.kind = static_cast<GunKind>(kind);
    gun.port = gun.kind == GunKind::RecoilServer ? kGunRecoilServer : std::max(0, control("cmbGunPortP" + n).selected);
    return gun;
}

void ConfigModel::showCheck(const std::string& name, std::int16_t value, const std::string& key) {
    control(name).checked = value == 1;
    if (value != 0 && value != 1) unshown_[key] = {{name}, std::to_string(value)};
}

void ConfigModel::showEntry(const std::string& name, int value, const std::string& key) {
    ControlState& list = control(name);
    const auto entry = EntryOfValue(value, NumberListEntries());
    list.selected = entry.value_or(0);
    list.text = NumberListEntries()[static_cast<std::size_t>(list.selected)];
    if (!entry) unshown_[key] = {{name}, std::to_string(value)};
}

void ConfigModel::showPage(int page) {
    control("cmdPage1").enabled = page != 1;
    control("cmdPage2").enabled = page != 2;
    for (const ControlDesign& c : design().controls) {
        if (IsOnConfigPage1(c.name)) control(c.name).visible = page == 1;
        if (IsOnConfigPage2(c.name)) control(c.name).visible = page == 2;
    }
}

void ConfigModel::enableGameControls(bool enabled) {
    for (const std::string& name : GameControls()) control(name).enabled = enabled;
    for (int player : {1, 2}) {
        for (const char* list : kButtonLists) control(list + std::to_string(player)).enabled = enabled;
    }
    control("cmbGame").enabled = !games_.empty();
    control("cmdFindAim").enabled = enabled && os_.findAim != nullptr;
    for (const char* test : {"cmdTestRecoilP1", "cmdTestRecoilP2"}) control(test).enabled = enabled && os_.feedbackPorts != nullptr;
}

SettingsControls ConfigModel::controlsToSave() const {
    auto entry = [&](const std::string& name) { return std::max(0, control(name).selected); };
    SettingsControls c;
    c.forcePoll = control("chkForce").checked;
    c.hideCross = control("chkHideCross").checked;
    c.outputs = control("chkOutputs").checked;
    for (int player : {1, 2}) {
        PlayerControls& p = player == 1 ? c.player1 : c.player2;
        const std::string n = std::to_string(player);
        p.enable = control("chkEnableP" + n).checked;
        p.sysMouse = player == 1 && control("chkSysMouse").checked;
        p.offscreenReload = control("chkOffscreenP" + n).checked;
        p.inputOption = -1;
        for (int i = 0; i < 3; ++i) {
            if (control(Opt(player, i)).checked) p.inputOption = i;
        }
        p.deviceEntry = entry("cmbP" + n);
        const int mouse = p.deviceEntry - 1;
        if (p.inputOption != 2 && mouse >= 0 && static_cast<std::size_t>(mouse) < mice_.size()) {
            p.mouseDevice = mice_[static_cast<std::size_t>(mouse)].path;
        }
        p.accelText = control("txtP" + n + "Accel").text;
        p.triggerEntry = entry("cmbTrigger" + n);
        p.reloadEntry = entry("cmbReload" + n);
        p.startEntry = entry("cmbStart" + n);
        p.coinEntry = entry("cmbCoin" + n);
        p.escEntry = entry("cmbExit" + n);
        p.gunPortEntry = entry("cmbGunPortP" + n);
        p.gunKind = GunKindWord(shownGun(player).kind);
    }
    c.p1StartKey = control("txtStart1Key").text;
    c.p2StartKey = control("txtStart2Key").text;
    c.p1CoinKey = control("txtCoin1Key").text;
    c.p2CoinKey = control("txtCoin2Key").text;
    c.p1EscKey = control("txtExitKey").text;
    c.p2EscKey = control("txtExit2Key").text;
    for (const auto& [key, value] : unshown_) {
        bool changed = false;
        for (const std::string& name : value.controls) changed = changed || touched(name);
        if (!changed) c.kept[key] = value.text;
    }
    return c;
}

bool ConfigModel::SaveSettings(const std::string& base) {
    if (vt2::SaveSettings(os_.ini, os_.programFolder, base, controlsToSave())) return true;
    message("VT2 could not write " + PlayerSettingsPath(os_.programFolder, base) + ".\r\n\r\n" + os_.ini.errorText(),
            "Settings Not Saved");
    return false;
}

void ConfigModel::WriteGameCfg() {
    const auto row = currentGame();
    if (!row) return;
    const std::string file = MemoryDescriptorPath(os_.programFolder, games_[*row].base);
    if (!os_.files.fileExists(file)) {
        message("The file " + file + " is gone. The list of games is read again.", "Missing File");
        LoadINIList();
        if (!games_.empty()) selectGame(0);
        return;
    }
    const std::string launch =
        unshownLaunch_ && !touched("chkLaunch") ? *unshownLaunch_ : (control("chkLaunch").checked ? "1" : "0");
    const bool written = WriteIniValue(os_.ini, file, "Info", "ExeName", TrimSpaces(control("txtExe").text)) &&
                         WriteIniValue(os_.ini, file, "Info", "ExePath", TrimSpaces(control("txtExePath").text)) &&
                         WriteIniValue(os_.ini, file, "Info", "LaunchGame", launch);
    if (!written) {
        message("VT2 could not write " + file + ".\r\n\r\n" + os_.ini.errorText(), "Launch Settings Not Saved");
        return;
    }
    message("Launch Settings Saved for This Game.", "Saved");
}

void ConfigModel::clicked(const std::string& name) {
    if (!control(name).enabled) return;  // a control that is off does nothing, however it is reached
    if (name == "cmdPage1") showPage(1);
    if (name == "cmdPage2") showPage(2);
    if (name == "cmdGunSave" && SaveSettings("default")) message("Settings Saved as Default.", "Settings Saved");
    if (name == "Command1") saveForThisGame();
    if (name == "cmdRevert") revert();
    if (name == "cmdLaunchSave") WriteGameCfg();
    if (name == "cmdNotes") openNotes();
    if (name == "cmdHelp") {
        message("NOTE:  Launch settings are always unique to each game, so they must be saved seperately!!!",
                "!!!!IMPORTANT NOTE!!!!");
    }
    if (name == "cmdWarning") os_.messages.ask(WarningText(), "!!Warning!!", MessageButtons::Ok, MessageIcon::Information);
    if (name == "cmnSetAccelP1") setAccel(1);
    if (name == "Command2") setAccel(2);
    if (name == "cmdVON") twinStickSetup();
    if (name == "cmdM2Setup" && model2Setup_) model2Setup_->open();
    for (const auto& [target, box] : ConfigKeyTargets()) {
        if (name == box) openKeyDetector(target);
    }
    if (name == "cmdDetectP1") openDeviceDetector(1);
    if (name == "cmdDetectP2") openDeviceDetector(2);
    if (name == "cmdCalibrateP1") openCalibration(1);
    if (name == "cmdCalibrateP2") openCalibration(2);
    if (name == "cmdFindAim") findAddresses();
    if (name == "cmdTestRecoilP1") testRecoil(1);
    if (name == "cmdTestRecoilP2") testRecoil(2);
    showDeviceNames();
}

void ConfigModel::onChanged(const std::string& name, const ControlState& before) {
    ControlState& now = control(name);
    if (name == "cmbGame") {
        if (now.selected != before.selected) LoadGame();
        return;
    }
    for (int player : {1, 2}) {
        for (const char* list : kButtonLists) {
            if (name != list + std::to_string(player) || now.selected >= 0) continue;
            now.selected = EntryForTypedText(now.text, NumberListEntries(), before.selected);
            now.text = NumberListEntries()[static_cast<std::size_t>(std::max(0, now.selected))];
        }
    }
    showDeviceNames();
}

void ConfigModel::saveForThisGame() {
    const auto row = currentGame();
    if (!row) return;
    const GameEntry game = games_[*row];
    if (IsTwinStickBase(game.base)) {
        // The two twin-stick games share one set of settings, both players on joysticks. Set
        // for the user, these win over values the controls could not show.
        for (int player : {1, 2}) {
            for (int i = 0; i < 3; ++i) control(Opt(player, i)).checked = i == 2;
            touch(Opt(player, 2));
        }
        if (control("chkEnableP1").checked || control("chkEnableP2").checked) {
            for (const char* enable : {"chkEnableP1", "chkEnableP2"}) {
                control(enable).checked = true;
                touch(enable);
            }
        }
    }
    if (!SaveSettings(game.base)) return;
    if (game.base == "von" && !SaveSettings("vonj")) return;
    if (game.base == "vonj" && !SaveSettings("von")) return;
    message("Settings Saved for " + game.displayName + ".", "Settings Saved");
}

void ConfigModel::revert() {
    const auto row = currentGame();
    if (!row) return;
    const std::string base = games_[*row].base;
    if (IsTwinStickBase(base)) {
        message("Sorry, but this game uses custom settings.  Cannot Revert to default.ini", "Cannot Revert");
        return;
    }
    const std::string file = PlayerSettingsPath(os_.programFolder, base);
    if (!os_.files.fileExists(file)) {
        message("Game is already using default.ini!", "Already Using Default");
        return;
    }
    if (os_.messages.ask("Delete settings for this game and revert to default.ini?", "Revert Settings",
                         MessageButtons::YesNo, MessageIcon::None) != MessageAnswer::Yes) {
        return;
    }
    if (!os_.files.deleteFile(file)) {
        message("VT2 could not delete " + file + ".\r\n\r\n" + os_.files.errorText(), "Not Reverted");
        return;
    }
    LoadGame();
}

void ConfigModel::openNotes() {
    const auto row = currentGame();
    if (!row) return;
    const std::string stem = os_.programFolder + "\\docs\\" + games_[*row].base;
    std::string path = stem + ".txt";
    if (!os_.files.fileExists(path)) path = stem + ".html";
    if (!os_.files.fileExists(path)) {
        message("No Notes Found!  Sorry.", "No Notes");
        return;
    }
    // The shell's codes up to 32 are its failures.
    if (os_.launcher.openDocument(path) <= 32) message("Windows could not open " + path + ".", "No Notes");
}

void ConfigModel::setAccel(int player) {
    ControlState& field = control("txtP" + std::to_string(player) + "Accel");
    const std::string answer = os_.inputs.ask("Set the Mouse Acceleration Value. 18 is default", "Set Mouse Accel", field.text);
    if (!answer.empty()) field.text = TrimSpaces(answer);
}

void ConfigModel::twinStickSetup() {
    // The Virtual On game: by its name, else by the base names of its two versions.
    std::optional<std::size_t> found;
    for (std::size_t i = 0; i < games_.size() && !found; ++i) {
        const std::string& text = games_[i].entryText;
        if (text.substr(0, text.find("  (")) == "Virtual On Cybertroopers (US)") found = i;
    }
    for (const char* base : {"von", "vonj"}) {
        for (std::size_t i = 0; i < games_.size() && !found; ++i) {
            if (games_[i].base == base) found = i;
        }
    }
    if (found) selectGame(*found);
    if (twinStick_) twinStick_->open();
}

void ConfigModel::openKeyDetector(const std::string& target) {
    keyTarget_ = target;
    if (keyDetector_) keyDetector_->open();
}

void ConfigModel::setKeyBox(const std::string& box, const std::string& text) { control(box).text = text; }

void ConfigModel::openDeviceDetector(int player) {
    DeviceDetectorModel* detector = deviceDetectors_[static_cast<std::size_t>(player - 1)];
    if (!detector) return;
    // One detector at a time takes the mice's reports.
    if (DeviceDetectorModel* other = deviceDetectors_[static_cast<std::size_t>(2 - player)]) other->cancel();
    detector->open();
}

void ConfigModel::openCalibration(int player) {
    if (!calibration_) return;
    // The calibration takes the mice's reports: no detector may hold them meanwhile.
    for (DeviceDetectorModel* detector : deviceDetectors_) {
        if (detector) detector->cancel();
    }
    calibration_->open(player);
}

void ConfigModel::findAddresses() {
    const auto row = currentGame();
    if (!row || !aimFinder_) return;
    const GameEntry game = games_[*row];
    const std::string file = DescriptorFileName(game.base);
    const std::string question = "VT2 brings the game's window to the front, moves the mouse over it and clicks its "
                                 "buttons for about 10 seconds, then writes what follows them into " + file +
                                 " (the file as it is now is kept beside it as " + file + ".bak, or .bak2 and on when that is taken).\r\n\r\n"
                                 "Start the game first; it must follow the mouse. Find the addresses now?";
    if (os_.messages.ask(question, "Find Addresses", MessageButtons::YesNo, MessageIcon::Information) != MessageAnswer::Yes) {
        return;
    }
    // The scan's clicks must not choose a player's mouse.
    for (DeviceDetectorModel* detector : deviceDetectors_) {
        if (detector) detector->cancel();
    }
    const AimFinderOutcome found = aimFinder_->run(game.base);
    os_.messages.ask(found.report, "Find Addresses", MessageButtons::Ok,
                     found.exitCode == 0 ? MessageIcon::Information : MessageIcon::Exclamation);
    os_.forms.focus(*this, "cmdFindAim");
}

std::optional<CalibrationSubject> ConfigModel::calibrationSubject(int player) const {
    const auto row = currentGame();
    const std::string n = std::to_string(player);
    if (!row || control(Opt(player, 2)).checked) return std::nullopt;
    const int mouse = control("cmbP" + n).selected - 1;
    if (mouse < 0 || static_cast<std::size_t>(mouse) >= mice_.size()) return std::nullopt;
    CalibrationSubject subject;
    subject.device = mice_[static_cast<std::size_t>(mouse)].handle;
    subject.triggerButton = std::max(0, control("cmbTrigger" + n).selected - 1);
    subject.accel = ToInt16Rounded(control("txtP" + n + "Accel").text).value_or(0);
    subject.game = games_[*row].base;
    subject.winClass = descriptor_.WinClass;
    subject.winCaption = descriptor_.WinCaption;
    return subject;
}

void ConfigModel::selectDetectedMouse(int player, const std::vector<MouseDevice>& mice, std::size_t index) {
    mice_ = mice;  // the list the number is of, which a save takes the path from
    const std::string list = "cmbP" + std::to_string(player);
    // A gun is a mouse-based device: a joystick player who pulls one becomes a light-gun player.
    if (control(Opt(player, 2)).checked) {
        control(Opt(player, 2)).checked = false;
        control(Opt(player, 1)).checked = true;
        touch(Opt(player, 1));
    }
    ControlState& shown = control(list);
    shown.selected = EntryOfValue(mice_[index].number, NumberListEntries()).value_or(0);
    shown.text = NumberListEntries()[static_cast<std::size_t>(shown.selected)];
    touch(list);
    showDeviceNames();
}

void ConfigModel::showDeviceNames() {
    for (int player : {1, 2}) {
        const std::string n = std::to_string(player);
        std::string name;
        // The entry's value: a MouseID (from 0), or a JoyID (from 1; 0 is no joystick).
        const int value = control("cmbP" + n).selected - 1;
        const bool joystick = control(Opt(player, 2)).checked;
        if (joystick && value >= 1 && os_.joysticks) {
            name = static_cast<std::size_t>(value) <= joysticks_.size()
                       ? joysticks_[static_cast<std::size_t>(value - 1)].name
                       : "(no joystick " + std::to_string(value) + " attached)";
        }
        if (!joystick && value >= 0 && os_.rawInput) {
            if (static_cast<std::size_t>(value) < mice_.size()) {
                const MouseDevice& m = mice_[static_cast<std::size_t>(value)];
                name = m.name.empty() ? "Mouse " + std::to_string(m.number) : m.name;
            } else {
                name = "(no mouse " + std::to_string(value) + " attached)";
            }
        }
        control("lblP" + n + "DeviceName").text = name;
    }
}

void ConfigModel::testRecoil(int player) {
    if (!os_.feedbackPorts) return;
    const GunSetup gun = shownGun(player);
    if (gun.kind == GunKind::None || gun.port == 0) {
        message("Choose the gun's port and kind first.", "Test Recoil");
        return;
    }
    // The gun as a game's start leaves it, one pulse, and (when the timer ticks) the stop.
    FeedbackCommands pulse = GunCommands(gun, player, GunAction::Start, true);
    const FeedbackCommands one = GunCommands(gun, player, GunAction::Pulse, true);
    pulse.insert(pulse.end(), one.begin(), one.end());
    for (const FeedbackCommand& c : pulse) {
        if (const auto write = FeedbackWriteOf(c)) os_.feedbackPorts->send(*write);
    }
    testStops_.push_back(GunCommands(gun, player, GunAction::Stop, false));
    os_.forms.startTimer(*this, kRecoilTestStopMs);
}

void ConfigModel::endRecoilTest() {
    if (!os_.feedbackPorts || testStops_.empty()) return;
    for (const FeedbackCommands& stop : std::exchange(testStops_, {})) {
        for (const FeedbackCommand& c : stop) {
            if (const auto write = FeedbackWriteOf(c)) os_.feedbackPorts->send(*write);
        }
    }
    os_.feedbackPorts->flush(kRecoilTestWaitMs);
    const std::vector<std::string> problems = os_.feedbackPorts->takeNotes();
    if (!problems.empty()) message(JoinLines(problems), "Test Recoil");
}

void ConfigModel::message(const std::string& text, const std::string& title) {
    os_.messages.ask(text, title, MessageButtons::Ok, MessageIcon::None);
}

std::string ConfigModel::WarningText() {
    return std::string("Note:  While you might need to change the path, there really isn't a reason to change the exe.  ") +
           "Model 2 games work automatically and pc games have fixed exe names.  " +
           "Changing the exe name can lead to detection issues.";
}

}  // namespace vt2
