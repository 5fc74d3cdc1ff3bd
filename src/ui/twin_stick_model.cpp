#include "ui/twin_stick_model.h"

#include <array>

#include "common/ini.h"
#include "platform/message_boxes.h"
#include "ui/key_detector_model.h"
#include "ui/layouts.h"
#include "ui/list_entries.h"

namespace vt2 {

namespace {

// A row of button and key: its controls, the twin-stick table entry it shows, and its keys in
// the settings file. "Up" is entry 9 (and 15), "Down" entry 8 (and 14), as the settings reader,
// the joysticks and the debug text have them.
struct Row {
    const char* list;
    const char* box;
    const char* target;
    int entry;
    const char* section;
    const char* buttonKey;
    const char* keyKey;
};
// In the order the save writes them.
constexpr std::array<Row, 14> kRows{{
    {"cmbTest", "txtTest", "test", 3, "Player1", "TestButton", "TestKey"},
    {"cmbService", "txtService", "service", 4, "Player1", "ServiceButton", "ServiceKey"},
    {"cmbLShot", "txtLShot", "lshot", 6, "Player1", "ShotButton", "LShotKey"},
    {"cmbLDash", "txtLDash", "ldash", 7, "Player1", "DashButton", "LDashKey"},
    {"cmbLU", "txtLU", "lu", 9, "Player1", "UpButton", "LUKey"},
    {"cmbLD", "txtLD", "ld", 8, "Player1", "DownButton", "LDKey"},
    {"cmbLL", "txtLL", "ll", 11, "Player1", "LeftButton", "LLKey"},
    {"cmbLR", "txtLR", "lr", 10, "Player1", "RightButton", "LRKey"},
    {"cmbRShot", "txtRShot", "rshot", 12, "Player2", "ShotButton", "RShotKey"},
    {"cmbRDash", "txtRDash", "rdash", 13, "Player2", "DashButton", "RDashKey"},
    {"cmbRU", "txtRU", "ru", 15, "Player2", "UpButton", "RUKey"},
    {"cmbRD", "txtRD", "rd", 14, "Player2", "DownButton", "RDKey"},
    {"cmbRL", "txtRL", "rl", 17, "Player2", "LeftButton", "RLKey"},
    {"cmbRR", "txtRR", "rr", 16, "Player2", "RightButton", "RRKey"},
}};

struct Axis {
    const char* list;
    std::size_t player;
    const char* key;
};
constexpr std::array<Axis, 4> kAxes{{{"cmbLX", 0, "AnalogX"}, {"cmbLY", 0, "AnalogY"}, {"cmbRX", 1, "AnalogX"},
                                     {"cmbRY", 1, "AnalogY"}}};

}  // namespace

const std::map<std::string, std::string>& TwinStickKeyTargets() {
    static const std::map<std::string, std::string> targets = [] {
        std::map<std::string, std::string> t;
        for (const Row& row : kRows) t[row.target] = row.box;
        return t;
    }();
    return targets;
}

TwinStickModel::TwinStickModel(ConfigServices& services, std::string& keyTarget, ConfigModel& config)
    : StoredFormModel(TwinStickDesign()), os_(services), keyTarget_(keyTarget), config_(config) {}

void TwinStickModel::open() {
    if (config_.loadedDescriptor().GameType == "VON") {
        load(config_.loadedSettings());
    } else {
        // Not the twin-stick game in the configuration window: its settings come from its own file.
        load(LoadPlayerSettings(os_.files, os_.ini, os_.programFolder, "von", "VON").value_or(PlayerSettings{}));
    }
    os_.forms.show(*this);
    os_.forms.refresh(*this);
}

void TwinStickModel::load(const PlayerSettings& s) {
    resetControls();
    unshown_.clear();
    auto show = [&](const std::string& list, int value, const std::vector<std::string>& entries) {
        ControlState& c = control(list);
        c.items = entries;
        const auto entry = EntryOfValue(value, entries);
        c.selected = entry.value_or(0);
        c.text = entries[static_cast<std::size_t>(c.selected)];
        if (!entry) unshown_[list] = std::to_string(value);
    };
    for (const Axis& axis : kAxes) {
        const PlayerConfig& p = s.players[axis.player];
        show(axis.list, std::string(axis.key) == "AnalogX" ? p.AnalogX : p.AnalogY, AxisListEntries());
    }
    for (const Row& row : kRows) {
        show(row.list, s.TwinStickButtonMap[static_cast<std::size_t>(row.entry)], NumberListEntries());
        control(row.box).text = std::to_string(s.TwinStickKeyMap[static_cast<std::size_t>(row.entry)]);
    }
}

void TwinStickModel::clicked(const std::string& name) {
    if (!control(name).enabled) return;
    if (name == "cmdSave") {
        save();
        return;
    }
    for (const Row& row : kRows) {
        if (name != row.box) continue;
        keyTarget_ = row.target;
        if (keyDetector_) keyDetector_->open();
    }
}

void TwinStickModel::onChanged(const std::string& name, const ControlState& before) {
    ControlState& now = control(name);
    if (now.selected >= 0) return;
    for (const Row& row : kRows) {
        if (name != row.list) continue;
        now.selected = EntryForTypedText(now.text, NumberListEntries(), before.selected);
        now.text = NumberListEntries()[static_cast<std::size_t>(std::max(0, now.selected))];
    }
}

std::string TwinStickModel::listValue(const std::string& list, const std::string&) const {
    const auto kept = unshown_.find(list);
    if (kept != unshown_.end() && !touched(list)) return kept->second;
    return std::to_string(ValueOfEntry(std::max(0, control(list).selected)));
}

bool TwinStickModel::save() {
    for (const char* base : {"von", "vonj"}) {
        const std::string file = PlayerSettingsPath(os_.programFolder, base);
        bool ok = true;
        auto write = [&](const std::string& section, const std::string& key, const std::string& value) {
            ok = ok && WriteIniValue(os_.ini, file, section, key, value);
        };
        for (const Axis& axis : kAxes) write(axis.player == 0 ? "Player1" : "Player2", axis.key, listValue(axis.list, axis.key));
        for (const Row& row : kRows) write(row.section, row.buttonKey, listValue(row.list, row.buttonKey));
        for (const Row& row : kRows) write("keys", row.keyKey, control(row.box).text);
        if (!ok) {
            os_.messages.ask("VT2 could not write " + file + ".\r\n\r\n" + os_.ini.errorText(), "Settings Not Saved",
                             MessageButtons::Ok, MessageIcon::None);
            return false;
        }
    }
    os_.messages.ask(kTwinStickSavedText, "VON Saved", MessageButtons::Ok, MessageIcon::None);
    os_.forms.close(*this);
    if (os_.forms.isOpen(config_)) os_.forms.focus(config_);
    return true;
}

}  // namespace vt2
