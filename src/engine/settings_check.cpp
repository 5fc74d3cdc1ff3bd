#include "engine/settings_check.h"

#include <algorithm>
#include <cmath>

#include "common/numbers.h"
#include "common/text.h"
#include "input/aim_area.h"
#include "input/aim_settings.h"
#include "input/player_settings.h"

namespace vt2 {

namespace {

enum class SettingKind { Number, Text, InputType, Area, Aspect, Edge };

struct KnownSetting {
    std::string name;
    SettingKind kind;
};

std::vector<KnownSetting> KnownSettings(const std::string& section) {
    std::vector<KnownSetting> keys;
    auto numbers = [&](std::initializer_list<const char*> names) {
        for (const char* n : names) keys.push_back({n, SettingKind::Number});
    };
    if (EqualsIgnoreCase(section, "Options")) {
        numbers({"ForcePoll", "HideCross", "Outputs"});
    } else if (EqualsIgnoreCase(section, "Player1") || EqualsIgnoreCase(section, "Player2")) {
        numbers({"Enable", "SysMouse", "MouseID", "MouseAccel", "JoyID", "TriggerButton", "ReloadButton", "StartButton",
                 "CoinButton", "EscButton", "OffscreenReload"});
        keys.push_back({"InputType", SettingKind::InputType});
        keys.push_back({"MouseDevice", SettingKind::Text});
        for (const std::string& k : TwinStickSettingsKeys(EqualsIgnoreCase(section, "Player1") ? "Player1" : "Player2")) {
            keys.push_back({k, SettingKind::Number});
        }
    } else if (EqualsIgnoreCase(section, "keys")) {
        numbers({"Enable", "P1StartKey", "P2StartKey", "P1CoinKey", "P2CoinKey", "P1EscKey", "P2EscKey"});
        for (const std::string& k : TwinStickSettingsKeys("keys")) keys.push_back({k, SettingKind::Number});
    } else if (EqualsIgnoreCase(section, "Aim")) {
        keys.push_back({"Area", SettingKind::Area});
        keys.push_back({"Aspect", SettingKind::Aspect});
        for (const char* p : {"Player1", "Player2"}) {
            for (const char* side : {"Left", "Top", "Right", "Bottom"}) keys.push_back({std::string(p) + side, SettingKind::Edge});
        }
    }
    return keys;
}

std::string ValueProblem(const std::string& value, SettingKind kind) {
    switch (kind) {
        case SettingKind::Number:
            return ToInt16Rounded(value) ? "" : "is no number from -32768 to 32767: the run reads 0 (-1 for a key)";
        case SettingKind::Text: return "";
        case SettingKind::InputType: {
            const std::string type = ToLowerAscii(value);
            return type == "mouse" || type == "lightgun" || type == "joystick" ? "" : "is no input type (mouse, lightgun or joystick)";
        }
        case SettingKind::Area:
            return ParseAimAreaKind(value) ? "" : "is no area (Screen, Window, Picture or Calibrated): the aim covers the primary screen";
        case SettingKind::Aspect: return ParseAspectRatio(value) ? "" : "is no W:H: the picture is taken as 4:3";
        case SettingKind::Edge: {
            const auto edge = ParseNumber(value);
            return edge && std::fabs(*edge) <= 1000.0 ? "" : "is no calibrated edge (a number from -1000 to 1000): the player is not calibrated";
        }
    }
    return "";
}

}  // namespace

std::vector<IniProblem> CheckSettingsText(std::string_view text) {
    std::vector<IniProblem> problems;
    const std::vector<IniTextLine> lines = ReadIniText(text);
    auto onSection = [&](const IniTextLine& line) {
        if (KnownSettings(line.section).empty()) {
            problems.push_back(UnknownName(line, {"Options", "Player1", "Player2", "keys", "Aim"}, "section of the players' settings"));
        }
    };
    auto onEntry = [&](const IniTextLine& line) {
        const std::vector<KnownSetting> known = KnownSettings(line.section);
        if (known.empty()) return;  // an unknown section is said once, at its head
        const auto key = std::find_if(known.begin(), known.end(), [&](const KnownSetting& k) { return EqualsIgnoreCase(k.name, line.key); });
        if (key == known.end()) {
            std::vector<std::string> names;
            for (const KnownSetting& k : known) names.push_back(k.name);
            problems.push_back(UnknownName(line, names, "key of [" + line.section + "]"));
        } else if (!line.value.empty()) {
            const std::string why = ValueProblem(line.value, key->kind);
            if (!why.empty()) problems.push_back({line.number, line.section, line.key, "\"" + line.value + "\" " + why});
        }
    };
    WalkIniLines(lines, onSection, onEntry, problems);
    return problems;
}

}  // namespace vt2
