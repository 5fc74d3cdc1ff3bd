#include "input/player_settings.h"

#include <algorithm>

#include "common/config_file.h"
#include "common/file_schema.h"
#include "common/ini.h"
#include "common/numbers.h"
#include "common/text.h"

namespace vt2 {

std::optional<std::string> ChoosePlayerSettingsFile(FileSystem& files, const std::string& programFolder,
                                                    const std::string& name) {
    return ChooseOwnOrDefaultFile(files, programFolder, kSettingsFolder, name);
}

namespace {

class SettingsReader {
public:
    SettingsReader(IniFiles& ini, std::string file) : ini_(ini), file_(std::move(file)) {}

    // A numeric key: absent reads as 0; a value that is no 16-bit number also gives 0. A number
    // with a fraction is rounded ("MouseAccel=18.5", "Enable=1.0"), not taken for no number.
    std::int16_t number(const char* section, const char* key) const {
        return ToInt16Rounded(ReadIniValue(ini_, file_, section, key, true)).value_or(0);
    }
    // A key read as text and converted: absent or not a number reads as -1 (none).
    std::int16_t textNumber(const char* section, const char* key) const {
        return ToInt16Rounded(ReadIniValue(ini_, file_, section, key, false)).value_or(-1);
    }
    std::string text(const char* section, const char* key) const {
        return ReadIniValue(ini_, file_, section, key, false);
    }

private:
    IniFiles& ini_;
    std::string file_;
};

constexpr const char* kPlayerSections[2] = {"Player1", "Player2"};

// The twin-stick entries read from the file, in table order: (index, section, button key, key key).
struct TwinStickEntry {
    int index;
    const char* section;
    const char* buttonKey;
    const char* keyKey;
};
// The vertical directions: index 8 (and 14) is "down", 9 (and 15) is "up", for buttons and keys alike.
constexpr TwinStickEntry kTwinStickEntries[] = {
    {3, "Player1", "TestButton", "TestKey"},   {4, "Player1", "ServiceButton", "ServiceKey"},
    {6, "Player1", "ShotButton", "LShotKey"},  {7, "Player1", "DashButton", "LDashKey"},
    {8, "Player1", "DownButton", "LDKey"},     {9, "Player1", "UpButton", "LUKey"},
    {10, "Player1", "RightButton", "LRKey"},   {11, "Player1", "LeftButton", "LLKey"},
    {12, "Player2", "ShotButton", "RShotKey"}, {13, "Player2", "DashButton", "RDashKey"},
    {14, "Player2", "DownButton", "RDKey"},    {15, "Player2", "UpButton", "RUKey"},
    {16, "Player2", "RightButton", "RRKey"},   {17, "Player2", "LeftButton", "RLKey"},
};

void ReadTwinStickTables(const SettingsReader& read, PlayerSettings& s) {
    s.TwinStickButtonMap = {};
    s.TwinStickKeyMap = {};
    for (int i = 0; i < 2; ++i) {
        s.players[static_cast<std::size_t>(i)].AnalogX = read.textNumber(kPlayerSections[i], "AnalogX");
        s.players[static_cast<std::size_t>(i)].AnalogY = read.textNumber(kPlayerSections[i], "AnalogY");
    }
    for (const TwinStickEntry& e : kTwinStickEntries) {
        s.TwinStickButtonMap[static_cast<std::size_t>(e.index)] = read.textNumber(e.section, e.buttonKey);
    }
    for (const TwinStickEntry& e : kTwinStickEntries) {
        s.TwinStickKeyMap[static_cast<std::size_t>(e.index)] = read.textNumber("keys", e.keyKey);
    }
}

}  // namespace

std::vector<std::string> TwinStickSettingsKeys(const std::string& section) {
    std::vector<std::string> keys;
    if (section != "keys") keys = {"AnalogX", "AnalogY"};
    for (const TwinStickEntry& e : kTwinStickEntries) {
        if (section == "keys") {
            keys.push_back(e.keyKey);
        } else if (section == e.section) {
            keys.push_back(e.buttonKey);
        }
    }
    return keys;
}

void ApplyTwinStickRules(PlayerSettings& s) {
    PlayerConfig& p1 = s.players[0];
    PlayerConfig& p2 = s.players[1];
    p1.InputType = "joystick";
    p2.InputType = "joystick";
    // The coin and start buttons and keys drive the twin-stick functions, not the players.
    s.TwinStickButtonMap[1] = p1.CoinButton;
    s.TwinStickButtonMap[2] = p2.CoinButton;
    s.TwinStickButtonMap[5] = p1.StartButton;
    s.TwinStickKeyMap[1] = s.P1CoinKey;
    s.TwinStickKeyMap[2] = s.P1CoinKey;  // player 1's coin key serves both coin slots
    s.TwinStickKeyMap[5] = s.P1StartKey;
    for (PlayerConfig* p : {&p1, &p2}) {
        p->CoinButton = -1;
        p->StartButton = -1;
        p->TriggerButton = -1;
        p->ReloadButton = -1;
    }
}

void NormaliseForTheRun(PlayerSettings& s) {
    PlayerConfig& p1 = s.players[0];
    PlayerConfig& p2 = s.players[1];
    if (p1.Enable != 1 && p1.SysMouse == 0) {
        p1.JoyID = 0;
        p1.MouseID = -1;
        p1.MouseDevice.clear();
    }
    if (p2.Enable != 1) {
        p2.JoyID = 0;
        p2.MouseID = -1;
        p2.MouseDevice.clear();
    }
    for (PlayerConfig* p : {&p1, &p2}) {
        if (p->InputType == "joystick") {
            p->MouseID = -1;
            p->MouseDevice.clear();
        }
        if (p->InputType == "lightgun" || p->InputType == "mouse") p->JoyID = 0;
        // A light-gun player alone does not count the device buttons.
        if ((p->InputType == "joystick" && p->Enable == 1) || p->InputType == "mouse") s.DeviceButtonsCount = true;
    }
}

PlayerSettings ReadPlayerSettings(IniFiles& ini, const std::string& file, const std::string& gameType) {
    const SettingsReader read(ini, file);
    PlayerSettings s;
    s.ForcePoll = read.number("Options", "ForcePoll");
    s.HideCross = read.number("Options", "HideCross");
    s.Outputs = read.number("Options", "Outputs");
    PlayerConfig& p1 = s.players[0];
    PlayerConfig& p2 = s.players[1];
    p1.Enable = read.number("Player1", "Enable");
    p2.Enable = read.number("Player2", "Enable");
    p1.SysMouse = read.number("Player1", "SysMouse");
    for (int i = 0; i < 2; ++i) {
        PlayerConfig& p = s.players[static_cast<std::size_t>(i)];
        p.InputType = ToLowerAscii(read.text(kPlayerSections[i], "InputType"));
    }
    for (int i = 0; i < 2; ++i) s.players[static_cast<std::size_t>(i)].MouseID = read.number(kPlayerSections[i], "MouseID");
    for (int i = 0; i < 2; ++i) {
        s.players[static_cast<std::size_t>(i)].MouseDevice = TrimBlanks(read.text(kPlayerSections[i], "MouseDevice"));
    }
    for (int i = 0; i < 2; ++i) {
        s.players[static_cast<std::size_t>(i)].MouseAccel = read.number(kPlayerSections[i], "MouseAccel");
    }
    for (int i = 0; i < 2; ++i) s.players[static_cast<std::size_t>(i)].JoyID = read.number(kPlayerSections[i], "JoyID");
    for (int i = 0; i < 2; ++i) {
        PlayerConfig& p = s.players[static_cast<std::size_t>(i)];
        const char* section = kPlayerSections[i];
        p.TriggerButton = read.number(section, "TriggerButton");
        p.ReloadButton = read.number(section, "ReloadButton");
        p.StartButton = read.number(section, "StartButton");
        p.CoinButton = read.number(section, "CoinButton");
        p.EscButton = read.number(section, "EscButton");
        p.OffscreenReload = read.number(section, "OffscreenReload");
        p.GunPort = read.number(section, "GunPort");
        p.GunKind = TrimBlanks(read.text(section, "GunKind"));
    }

    const std::string keysEnable = read.text("keys", "Enable");
    s.KeysEnabled = keysEnable.empty() ? 0 : ToInt16Rounded(keysEnable).value_or(0);
    if (s.KeysEnabled != 0) {
        s.P1StartKey = read.textNumber("keys", "P1StartKey");
        s.P2StartKey = read.textNumber("keys", "P2StartKey");
        s.P1CoinKey = read.textNumber("keys", "P1CoinKey");
        s.P2CoinKey = read.textNumber("keys", "P2CoinKey");
        s.P1EscKey = read.textNumber("keys", "P1EscKey");
        s.P2EscKey = read.textNumber("keys", "P2EscKey");
        const bool none = s.P1StartKey == -1 && s.P2StartKey == -1 && s.P1CoinKey == -1 && s.P2CoinKey == -1 &&
                          s.P1EscKey == -1 && s.P2EscKey == -1;
        if (none) s.KeysEnabled = 0;
    }

    if (gameType == "VON") ReadTwinStickTables(read, s);
    s.aim = ReadAimSettings(ini, file);
    const std::int16_t everyPlayer = read.number("Feedback", "TriggerRecoil");
    for (int i = 0; i < 2; ++i) {
        const std::int16_t own = read.number(kPlayerSections[i], "TriggerRecoil");
        s.TriggerRecoil[static_cast<std::size_t>(i)] = own != 0 || everyPlayer != 0 ? 1 : 0;
    }
    s.AutofireMs = std::max<std::int16_t>(0, read.number("Feedback", "AutofireMs"));
    return s;
}

PlayerSettings ShippedDefaultSettings() {
    PlayerSettings s;
    s.Outputs = 1;
    for (std::size_t i = 0; i < 2; ++i) {
        PlayerConfig& p = s.players[i];
        p.InputType = "mouse";
        p.JoyID = -1;
        p.MouseID = static_cast<std::int16_t>(i);
        p.MouseAccel = 18;
        p.TriggerButton = 0;
        p.ReloadButton = 1;
        p.StartButton = 2;
        p.CoinButton = -1;
        p.EscButton = -1;
    }
    s.players[0].Enable = 1;
    return s;
}

std::optional<PlayerSettings> LoadPlayerSettings(FileSystem& files, IniFiles& ini, const std::string& programFolder,
                                                 const std::string& name, const std::string& gameType) {
    const auto file = ChoosePlayerSettingsFile(files, programFolder, name);
    if (!file) return std::nullopt;
    return ReadPlayerSettings(ini, *file, gameType);
}

namespace {

std::string Switch(bool on) { return on ? "1" : "0"; }
std::string EntryValue(int entry) { return std::to_string(entry - 1); }  // "NONE" is -1

// Writes key after key into one file, a kept value in place of the control's, until the file
// refuses one.
class SettingsWriter {
public:
    SettingsWriter(IniFiles& ini, std::string file, const std::map<std::string, std::string>& kept)
        : ini_(ini), file_(std::move(file)), kept_(kept) {}
    void write(const std::string& section, const std::string& key, const std::string& value) {
        if (!ok_) return;
        const auto kept = kept_.find(section + "/" + key);
        ok_ = WriteIniValue(ini_, file_, section, key, kept == kept_.end() ? value : kept->second);
    }
    bool ok() const { return ok_; }

private:
    IniFiles& ini_;
    std::string file_;
    const std::map<std::string, std::string>& kept_;
    bool ok_ = true;
};

void SavePlayer(SettingsWriter& w, const std::string& section, const PlayerControls& p, bool withSysMouse) {
    static constexpr const char* kInputTypes[] = {"mouse", "lightgun", "joystick"};
    w.write(section, "Enable", Switch(p.enable));
    if (withSysMouse) w.write(section, "SysMouse", Switch(p.sysMouse));
    const int option = (p.inputOption >= 0 && p.inputOption <= 2) ? p.inputOption : 0;
    w.write(section, "InputType", kInputTypes[option]);
    if (option == 2) {
        w.write(section, "JoyID", EntryValue(p.deviceEntry));
        w.write(section, "MouseID", "-1");
        w.write(section, "MouseDevice", "");
    } else {
        w.write(section, "JoyID", "-1");
        w.write(section, "MouseID", EntryValue(p.deviceEntry));
        w.write(section, "MouseDevice", p.mouseDevice);
    }
    w.write(section, "MouseAccel", p.accelText);
    w.write(section, "TriggerButton", EntryValue(p.triggerEntry));
    w.write(section, "ReloadButton", EntryValue(p.reloadEntry));
    w.write(section, "StartButton", EntryValue(p.startEntry));
    w.write(section, "CoinButton", EntryValue(p.coinEntry));
    w.write(section, "EscButton", EntryValue(p.escEntry));
    w.write(section, "OffscreenReload", Switch(p.offscreenReload));
    w.write(section, "GunPort", std::to_string(std::max(0, p.gunPortEntry)));
    w.write(section, "GunKind", p.gunKind);
}

}  // namespace

std::string PlayerSettingsPath(const std::string& programFolder, const std::string& name) {
    return programFolder + "\\" + SettingsFileName(name);
}

bool SaveSettings(IniFiles& ini, const std::string& programFolder, const std::string& name,
                  const SettingsControls& c) {
    SettingsWriter w(ini, PlayerSettingsPath(programFolder, name), c.kept);
    w.write("Options", "ForcePoll", Switch(c.forcePoll));
    w.write("Options", "HideCross", Switch(c.hideCross));
    w.write("Options", "Outputs", Switch(c.outputs));
    SavePlayer(w, "Player1", c.player1, true);
    SavePlayer(w, "Player2", c.player2, false);
    w.write("keys", "P1StartKey", c.p1StartKey);
    w.write("keys", "P2StartKey", c.p2StartKey);
    w.write("keys", "P1CoinKey", c.p1CoinKey);
    w.write("keys", "P2CoinKey", c.p2CoinKey);
    w.write("keys", "P1EscKey", c.p1EscKey);
    w.write("keys", "P2EscKey", c.p2EscKey);
    return w.ok();
}

}  // namespace vt2
