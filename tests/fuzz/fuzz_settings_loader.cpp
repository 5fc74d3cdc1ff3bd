// The players' settings file over fuzzed text, in both layouts, then the run's normalisation:
// what the run acts on follows its rules whatever the file holds.
#include "fuzz_support.h"
#include "input/player_settings.h"
#include "adapters/portable/portable_ini_files.h"

using namespace vt2;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    MemoryIniFiles ini;
    const std::string path = "C:\\vt2\\joycfg\\game.ini";
    ini.files[path] = std::string(reinterpret_cast<const char*>(data), size);
    for (const char* type : {"", "VON"}) {
        const PlayerSettings stored = ReadPlayerSettings(ini, path, type);
        fuzz::Check(!stored.DeviceButtonsCount, "a stored file that counts the device buttons");
        PlayerSettings run = stored;
        if (std::string(type) == "VON") {
            ApplyTwinStickRules(run);
            for (const PlayerConfig& p : run.players) {
                fuzz::Check(p.InputType == "joystick", "a twin-stick player that is no joystick player");
                fuzz::Check(p.TriggerButton == -1 && p.StartButton == -1, "twin-stick buttons left on the player");
            }
        } else {
            fuzz::Check(stored.TwinStickButtonMap == TwinStickTable{}, "twin-stick tables outside the twin-stick game");
        }
        for (const PlayerConfig& p : stored.players) {
            for (char c : p.InputType) fuzz::Check(!(c >= 'A' && c <= 'Z'), "an input type not in lower case");
        }
        NormaliseForTheRun(run);
        for (const PlayerConfig& p : run.players) {
            if (p.InputType == "joystick") fuzz::Check(p.MouseID == -1, "a joystick player with a mouse");
            if (p.InputType == "mouse" || p.InputType == "lightgun") fuzz::Check(p.JoyID == 0, "a mouse player with a joystick");
        }
        if (run.players[1].Enable != 1) fuzz::Check(run.players[1].MouseID == -1 && run.players[1].JoyID == 0, "a device for a player who is off");
    }
    return 0;
}
