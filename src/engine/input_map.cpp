#include "engine/input_map.h"

#include "common/config_file.h"
#include "common/file_schema.h"
#include "common/ini.h"
#include "common/numbers.h"
#include "engine/engine.h"
#include "engine/window_style.h"

namespace vt2 {

std::optional<std::string> ChooseMemoryDescriptorFile(FileSystem& files, const std::string& programFolder,
                                                      const std::string& gameName) {
    return ChooseOwnOrDefaultFile(files, programFolder, kDescriptorFolder, gameName);
}

namespace {

class DescriptorReader {
public:
    DescriptorReader(IniFiles& ini, std::string file, GameModule& module)
        : ini_(ini), file_(std::move(file)), module_(module) {}

    std::string text(const char* section, const std::string& key) const {
        return ReadIniValue(ini_, file_, section, key, false);
    }
    void int16(const char* section, const std::string& key, std::int16_t& field) const {
        if (const auto v = ToInt16Field(text(section, key))) field = *v;
    }
    void int32(const char* section, const std::string& key, std::int32_t& field) const {
        if (const auto v = ToInt32Field(text(section, key))) field = *v;
    }
    // "<name>PTR" when it is not empty, else "<name>Addr".
    GameAddress address(const std::string& name) const {
        return ResolveTargetAddress(module_, text("Inputs", name + "PTR"), text("Inputs", name + "Addr"));
    }
    void axis(const std::string& name, InputTarget& target) const {
        target.address = address(name);
        target.type = ParseValueType(text("Inputs", name + "Type"));
        int16("Inputs", name + "Multi", target.Multi);
        int16("Inputs", name + "Offset", target.Offset);
    }
    // The mask's key as the schema spells it (the triggers' with one g: "P1TrigerBitMask").
    void button(const std::string& name, InputTarget& target) const {
        target.address = address(name);
        target.type = ParseValueType(text("Inputs", name + "Type"));
        int16("Inputs", TargetKeyName(DescriptorSchema(), "Inputs", name, ValueKind::InputMask), target.BitMask);
    }

private:
    IniFiles& ini_;
    std::string file_;
    GameModule& module_;
};

}  // namespace

InputMap ReadInputMap(IniFiles& ini, const std::string& file, const std::string& gameType, GameModule& module) {
    const DescriptorReader read(ini, file, module);
    InputMap map;

    read.int32("Inputs", "Persistent", map.Persistent);
    read.int32("Info", "ExitMode", map.ExitMode);
    map.ReloadMode = read.text("Info", "ReloadMode");

    if (gameType == "VON") {
        map.Bank1 = read.address("Bank1");
        map.Bank2 = read.address("Bank2");
        map.Bank3 = read.address("Bank3");
        return map;
    }

    read.axis("P1X", map.P1X);
    read.axis("P1Y", map.P1Y);
    read.axis("P2X", map.P2X);
    read.axis("P2Y", map.P2Y);
    read.button("P1Trigger", map.P1Trigger);
    read.button("P1Reload", map.P1Reload);
    read.button("P2Trigger", map.P2Trigger);
    read.button("P2Reload", map.P2Reload);
    read.button("P1Start", map.P1Start);
    read.button("P1Coin", map.P1Coin);
    read.button("P2Start", map.P2Start);
    read.button("P2Coin", map.P2Coin);

    read.int16("Keys", "Enable", map.KeyInjection);
    if (map.KeyInjection != 0) {
        read.int16("Keys", "P1TriggerKey", map.P1TriggerKey);
        read.int16("Keys", "P1ReloadKey", map.P1ReloadKey);
        read.int16("Keys", "P1StartKey", map.P1StartKey);
        read.int16("Keys", "P1CoinKey", map.P1CoinKey);
        read.int16("Keys", "P1ExitKey", map.P1ExitKey);
        read.int16("Keys", "P2TriggerKey", map.P2TriggerKey);
        read.int16("Keys", "P2ReloadKey", map.P2ReloadKey);
        read.int16("Keys", "P2StartKey", map.P2StartKey);
        read.int16("Keys", "P2CoinKey", map.P2CoinKey);
        read.int16("Keys", "P2ExitKey", map.P2ExitKey);
    }

    read.int32("Info", "NoBorder", map.NoBorder);
    return map;
}

void LoadInputMap(Engine& engine, const std::string& gameName) {
    HookState& s = engine.state;
    const auto file = ChooseMemoryDescriptorFile(engine.os.files, s.programFolder, gameName);
    if (!file) return;  // the map stays empty: nothing is written to the game, no key is sent
    GameModule module = GameModuleOf(engine);
    s.inputMap = ReadInputMap(engine.os.ini, *file, s.descriptor.GameType, module);
    if (s.inputMap.NoBorder != 0) RemoveWindowBorder(engine);
}

}  // namespace vt2
