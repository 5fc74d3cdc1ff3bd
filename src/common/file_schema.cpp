#include "common/file_schema.h"

#include "common/text.h"

namespace vt2 {

namespace {

using K = ValueKind;

SchemaRow Plain(std::vector<SchemaKey> keys, std::string form, std::string defaultText, std::string meaning) {
    return {std::move(keys), std::move(form), std::move(defaultText), std::move(meaning), {}, false, false};
}

// Keys of the same kind and default, for a table without a form column.
SchemaRow Same(std::initializer_list<const char*> names, K kind, std::string defaultText, std::string meaning,
               std::string onlyIn = {}) {
    std::vector<SchemaKey> keys;
    for (const char* n : names) keys.push_back({n, kind, true, {}, onlyIn});
    return Plain(std::move(keys), {}, std::move(defaultText), std::move(meaning));
}

SchemaRow Targets(std::vector<std::string> targets, std::vector<SchemaKey> suffixes, std::string form, std::string defaultText,
                  std::string meaning, bool written) {
    return {std::move(suffixes), std::move(form), std::move(defaultText), std::move(meaning), std::move(targets), false, written};
}

SchemaRow Numbered(std::vector<SchemaKey> suffixes, std::string form, std::string defaultText, std::string meaning) {
    return {std::move(suffixes), std::move(form), std::move(defaultText), std::move(meaning), {}, true, false};
}

const std::vector<std::string> kAxes{"P1X", "P1Y", "P2X", "P2Y"};
const std::vector<std::string> kGunButtons{"P1Trigger", "P1Reload", "P2Trigger", "P2Reload"};
const std::vector<std::string> kCabinetButtons{"P1Start", "P1Coin", "P2Start", "P2Coin"};
const std::vector<SchemaKey> kWhere{{"PTR", K::Chain}, {"Addr", K::Address}};

FileSchema MakeDescriptorSchema() {
    FileSchema f;
    f.sectionWhat = "section of a descriptor";
    f.tableHasForm = true;
    f.sections.push_back({{"Info"}, false, {}, {}, 0, {
        Plain({{"Name", K::Text}}, "text", "empty", "the name shown in the configuration tool and in VT2's status (\"Status:  Hooked \" + Name)"),
        Plain({{"WinClass", K::Text}}, "text", "empty", "the window class of the game's main window"),
        Plain({{"WinCaption", K::Text}}, "text", "empty",
              "the exact caption of that window; empty matches by class alone. A descriptor with neither `WinClass` nor `WinCaption` is refused (exit code 5)"),
        Plain({{"ExeName", K::Text}}, "text", "empty",
              "the game's program file, such as `emulator.exe`; also the module pointers start from (empty: the first module of the game's process)"),
        Plain({{"ExePath", K::Text}}, "text", "empty",
              "the folder of the program, **with** its trailing backslash; a path starting with `\\` is taken inside VT2's folder"),
        Plain({{"LaunchGame", K::Number}}, "number", "0", "greater than 0: VT2 starts `ExePath` + `ExeName` itself and then waits for its window"),
        Plain({{"GameType", K::Text}}, "text", "empty", "`VON` marks the twin-stick game (Virtual On): its [Inputs] then hold only `Bank1`..`Bank3`"),
        Plain({{"ExitMode", K::Whole32}}, "number", "0",
              "what a player's escape button does: 0 nothing, 1 Alt+F4 to the game, any other a close message to its window"),
        Plain({{"ReloadMode", K::Text}}, "text", "empty",
              "how reload is done: empty (a button of its own), `M2L`, `M2VC` or `VCOP` (aiming off screen, for Model 2 and Virtua Cop games)"),
        Plain({{"NoBorder", K::Whole32}}, "number", "0", "not 0: the game window's border is removed when it is hooked"),
        Plain({{"ExeSize", K::FileSize}}, "number", "empty",
              "the size in bytes of the program file the descriptor was written for; a game of another size gets a warning in the debug window (and from `--check`)"),
        Plain({{"ExeSha256", K::Sha256}}, "64 hexadecimal digits", "empty",
              "that file's SHA-256, as `sha256sum FILE` or `certutil -hashfile FILE SHA256` prints it: the same warning when the file differs"),
    }});
    f.sections.push_back({{"Inputs"}, false, {}, {}, 0, {
        Plain({{"Persistent", K::Whole32}}, "number", "0",
              "1: every value is written on every pass, not only when it changes (for games that overwrite them)"),
        Targets(kAxes, kWhere, "pointer / address", "0", "where the axis is; 0: not written", true),
        Targets(kAxes, {{"Type", K::Type}}, "type", "empty", "how it is stored", false),
        Targets(kAxes, {{"Multi", K::Whole16}, {"Offset", K::Whole16}}, "16-bit", "0",
                "the value written is Multi × position + Offset, where the position runs from 0 (left, top) to 1 (right, bottom) of the screen", false),
        Targets(kGunButtons, kWhere, "pointer / address", "0", "where the button is", true),
        Targets(kGunButtons, {{"Type", K::Type}}, "type", "empty", "how it is stored", false),
        Plain({{"P1TrigerBitMask", K::InputMask, true, "P1Trigger"}, {"P2TrigerBitMask", K::InputMask, true, "P2Trigger"},
               {"P1ReloadBitMask", K::InputMask, true, "P1Reload"}, {"P2ReloadBitMask", K::InputMask, true, "P2Reload"}},
              "bit mask", "0", "which bits the button sets (the triggers' masks are spelled with one g)"),
        Targets(kCabinetButtons, {{"PTR", K::Chain}, {"Addr", K::Address}, {"Type", K::Type}, {"BitMask", K::InputMask}}, "as above", "0",
                "accepted, never written: start and coin reach the game as keys", false),
        Targets({"Bank1", "Bank2", "Bank3"}, kWhere, "pointer / address", "0",
                "`VON` only: the three bytes the twin-stick functions are written to", true),
    }});
    f.sections.push_back({{"Keys"}, false, {}, {}, 0, {
        Plain({{"Enable", K::Whole16}}, "16-bit", "0", "not 0: VT2 presses these keys for the players' buttons"),
        Plain({{"P1TriggerKey", K::KeyCode}, {"P1ReloadKey", K::KeyCode}, {"P1StartKey", K::KeyCode}, {"P1CoinKey", K::KeyCode},
               {"P2TriggerKey", K::KeyCode}, {"P2ReloadKey", K::KeyCode}, {"P2StartKey", K::KeyCode}, {"P2CoinKey", K::KeyCode}},
              "16-bit", "0",
              "the Windows virtual-key code pressed while the button is down (`49` is the key 1, `53` the key 5); 0 none"),
        Plain({{"P1ExitKey", K::KeyCode}, {"P2ExitKey", K::KeyCode}}, "16-bit", "0",
              "read, never pressed (the escape buttons act by `ExitMode`)"),
    }});
    f.sections.push_back({{"Outputs"}, false, "Output", "NumberOutputs", 1024, {
        Plain({{"Enable", K::Whole16}}, "number", "0",
              "1: the outputs are read and sent (and the players' settings must not turn them off)"),
        Plain({{"NumberOutputs", K::OutputCount}}, "number", "0", "how many rows follow, at most 1024 (more turns the outputs off)"),
        Plain({{"EmuName", K::Text}}, "text", "`PC`", "the emulator's name in the start message `mamestart|<game>|<EmuName>`"),
        Numbered(kWhere, "pointer / address", "empty", "where output n's value is"),
        Numbered({{"Type", K::OutputType}}, "type", "empty", "how it is stored"),
        Numbered({{"BitMask", K::OutputMask}}, "bit mask", "empty", "empty: the whole value"),
        Numbered({{"Name", K::Text}}, "text", "empty", "its name, sent in each change: `statechange|n|<Name>|<value>`"),
    }});
    f.sections.push_back({{"NOP_<ExeName>"}, true, "NOP", "NumberNOPs", 4096, {
        Plain({{"NumberNOPs", K::PatchCount}}, "number", "0", "how many patches, at most 4096 (more: none is written)"),
        Numbered(kWhere, "pointer / address", "empty", "where patch n starts"),
        Numbered({{"Len", K::PatchLength}}, "number", "0", "how many bytes it writes, at most 4096 (more: that patch is not written)"),
        Numbered({{"Replace", K::PatchBytes}}, "empty, or bytes `b1|b2|...`", "empty",
                 "empty: every byte becomes `&H90` (the no-operation instruction); else byte k is field k"),
    }});
    return f;
}

FileSchema MakeSettingsSchema() {
    FileSchema f;
    f.sectionWhat = "section of the players' settings";
    f.sections.push_back({{"Options"}, false, {}, {}, 0, {
        Same({"ForcePoll"}, K::Rounded16, "0", "1: the joysticks are polled on every pass (\"Force Joystick Poll\")"),
        Same({"HideCross"}, K::Rounded16, "0", "\"Hide Crosshairs\", kept for the game's own use"),
        Same({"Outputs"}, K::Rounded16, "0", "1: the game's outputs are sent (\"Send Outputs to MameHooker\")"),
    }});
    f.sections.push_back({{"Player1", "Player2"}, false, {}, {}, 0, {
        Same({"Enable"}, K::Rounded16, "0", "1: the player plays"),
        Same({"SysMouse"}, K::Rounded16, "0", "[Player1] only, 1: player 1 also moves the Windows pointer and clicks with trigger and reload",
             "Player1"),
        Same({"InputType"}, K::InputType, "empty", "text: `mouse`, `lightgun` (a mouse-based gun) or `joystick`"),
        Same({"MouseID"}, K::Rounded16, "0", "which mouse: its place (from 0) in the system's list of mice; -1 none"),
        Same({"MouseDevice"}, K::Text, "empty",
             "text: the chosen mouse's or gun's device path; a run binds the player to the device at that path wherever it is in the list (else `MouseID`)"),
        Same({"JoyID"}, K::Rounded16, "0", "which joystick: its place (from 1) among the game controllers; 0 or -1 none"),
        Same({"MouseAccel"}, K::Rounded16, "0", "how far a mouse move takes the aim (18 is the usual value)"),
        Same({"TriggerButton", "ReloadButton", "StartButton", "CoinButton", "EscButton"}, K::Rounded16, "0",
             "the device button for each: mouse 0 left, 1 right, 2 middle, 3 and 4 the side buttons; joystick 0 to 31; -1 none"),
        Same({"TriggerRecoil"}, K::Rounded16, "0",
             "1: VT2 makes the player's recoil output (`P1_CtmRecoil`, `P2_CtmRecoil`) follow the trigger, for the guns' feedback file"),
        Same({"OffscreenReload"}, K::Rounded16, "0",
             "1: a trigger pulled with the aim off the picture reloads for as long as it is held (\"Off-Screen Reload\")"),
        Same({"GunPort"}, K::Rounded16, "0",
             "the COM port number of the player's gun, which VT2 drives with `feedback\\default.ini`'s `gun` commands (\"Gun Port\"); 0 none"),
        Same({"GunKind"}, K::GunKind, "empty",
             "text: the commands the player's gun takes (\"Gun Kind\"): `firmware` (S, E, F0x...), `smfb` (SM, FB...), `zs` (ZS, Z5... at 115200 baud), `tcp` (the gun maker's recoil server, vt2.ini [Feedback] `TCP1`); empty none"),
        Same({"AnalogX", "AnalogY"}, K::Rounded16, "empty", "`VON` only: the stick's axes, 0 X, 1 Y, 2 Z, 3 RX, 4 RY, 5 RZ; -1 none"),
        Same({"ShotButton", "DashButton", "UpButton", "DownButton", "LeftButton", "RightButton"}, K::Rounded16, "empty",
             "`VON` only: the stick's buttons ([Player1] the left stick, [Player2] the right)"),
        Same({"TestButton", "ServiceButton"}, K::Rounded16, "empty", "`VON` only, [Player1]: the cabinet's test and service buttons", "Player1"),
    }});
    f.sections.push_back({{"keys"}, false, {}, {}, 0, {
        Same({"Enable"}, K::Rounded16, "empty (0)", "not 0: the keys below act as the players' buttons too"),
        Same({"P1StartKey", "P2StartKey", "P1CoinKey", "P2CoinKey", "P1EscKey", "P2EscKey"}, K::Rounded16, "empty",
             "Windows virtual-key codes in decimal; -1 none"),
        Same({"TestKey", "ServiceKey", "LShotKey", "LDashKey", "LUKey", "LDKey", "LLKey", "LRKey", "RShotKey", "RDashKey", "RUKey", "RDKey",
              "RLKey", "RRKey"},
             K::Rounded16, "empty", "`VON` only: keys of the twin-stick functions"),
    }});
    f.sections.push_back({{"Feedback"}, false, {}, {}, 0, {
        Same({"TriggerRecoil"}, K::Rounded16, "0", "1: `TriggerRecoil` for both players"),
        Same({"AutofireMs"}, K::Rounded16, "0",
             "not 0: while a trigger that makes recoil is held, a pulse every so many milliseconds (on for the first half)"),
    }});
    f.sections.push_back({{"Aim"}, false, {}, {}, 0, {
        Same({"Area"}, K::AimArea, "`Screen`",
             "the aim's area: `Screen` (the primary screen), `Window` (the game's window), `Picture` (the game's picture of `Aspect` in its window) or `Calibrated`"),
        Same({"Aspect"}, K::Aspect, "`4:3`", "`W:H`: the game's picture, for `Area=Picture`"),
        Same({"Player1Left", "Player1Top", "Player1Right", "Player1Bottom", "Player2Left", "Player2Top", "Player2Right", "Player2Bottom"},
             K::CalibratedEdge, "empty", "for `Area=Calibrated`: where the player's gun reads the picture's edges, written by \"Calibrate\""),
    }});
    return f;
}

}  // namespace

std::vector<SchemaKey> SchemaSection::ownKeys() const {
    std::vector<SchemaKey> keys;
    for (const SchemaRow& row : rows) {
        if (row.numbered) continue;
        if (row.targets.empty()) {
            keys.insert(keys.end(), row.keys.begin(), row.keys.end());
            continue;
        }
        for (const std::string& target : row.targets) {
            for (const SchemaKey& suffix : row.keys) keys.push_back({target + suffix.name, suffix.kind, suffix.readByRun, target, suffix.onlyIn});
        }
    }
    return keys;
}

std::vector<SchemaKey> SchemaSection::rowKeys() const {
    std::vector<SchemaKey> keys;
    for (const SchemaRow& row : rows) {
        if (row.numbered) keys.insert(keys.end(), row.keys.begin(), row.keys.end());
    }
    return keys;
}

bool SchemaSection::named(std::string_view name) const {
    for (const std::string& n : names) {
        if (EqualsIgnoreCase(n, name)) return true;
    }
    return false;
}

const SchemaSection* FileSchema::section(std::string_view name, std::string_view patchSection) const {
    for (const SchemaSection& s : sections) {
        if (s.namedAfterExe) {
            const bool anyPatchSection = patchSection.empty() && name.size() > 4 && EqualsIgnoreCase(name.substr(0, 4), kPatchSectionPrefix);
            if (anyPatchSection || (!patchSection.empty() && EqualsIgnoreCase(name, patchSection))) return &s;
        } else if (s.named(name)) {
            return &s;
        }
    }
    return nullptr;
}

std::vector<std::string> FileSchema::sectionNames(std::string_view patchSection) const {
    std::vector<std::string> names;
    for (const SchemaSection& s : sections) {
        if (!s.namedAfterExe) {
            names.insert(names.end(), s.names.begin(), s.names.end());
        } else if (!patchSection.empty()) {
            names.emplace_back(patchSection);
        }
    }
    return names;
}

std::string DescriptorFileName(std::string_view game) { return std::string(kDescriptorFolder) + "\\" + std::string(game) + ".ini"; }
std::string SettingsFileName(std::string_view game) { return std::string(kSettingsFolder) + "\\" + std::string(game) + ".ini"; }

std::string PatchSectionName(std::string_view exeName) { return kPatchSectionPrefix + std::string(exeName); }

std::string TargetKeyName(const FileSchema& file, std::string_view section, std::string_view target, ValueKind kind) {
    const SchemaSection* s = file.section(section, {});
    if (!s) return {};
    for (const SchemaKey& key : s->ownKeys()) {
        if (key.target == target && key.kind == kind) return key.name;
    }
    return {};
}

const FileSchema& DescriptorSchema() {
    static const FileSchema schema = MakeDescriptorSchema();
    return schema;
}

const FileSchema& SettingsSchema() {
    static const FileSchema schema = MakeSettingsSchema();
    return schema;
}

}  // namespace vt2
