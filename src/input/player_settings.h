#pragma once
// The players' settings file, joycfg\<game>.ini with joycfg\default.ini as the fallback: each
// player's device, buttons and keys, and for the twin-stick game its button and key tables.

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "common/player_state.h"
#include "input/aim_settings.h"

namespace vt2 {

class FileSystem;
class IniFiles;

// One player's section, [Player1] or [Player2]. Numbers -1 mean none.
struct PlayerConfig {
    std::int16_t Enable = 0;    // only 1 enables the player
    std::int16_t SysMouse = 0;  // player 1 only: aim and buttons drive the system cursor
    std::string InputType;      // "mouse", "lightgun" or "joystick", lower-cased
    std::int16_t JoyID = 0;     // 1-based position among the attached controllers; 0 or -1 none
    std::int16_t MouseID = 0;   // 0-based index among the raw-input mice; -1 none
    std::string MouseDevice;    // the path of the mouse chosen, which binds before MouseID when attached
    std::int16_t MouseAccel = 0;
    std::int16_t TriggerButton = 0;
    std::int16_t ReloadButton = 0;
    std::int16_t StartButton = 0;
    std::int16_t CoinButton = 0;
    std::int16_t EscButton = 0;
    std::int16_t OffscreenReload = 0;  // 1: the trigger pulled off the picture reloads
    // The player's gun as VT2 drives its recoil and lamps: its serial port COM N (0 none), and its
    // kind as the settings' word ("firmware", "smfb", "zs", "tcp"; read by outputs/gun_commands).
    std::int16_t GunPort = 0;
    std::string GunKind;
    std::int16_t AnalogX = -1;  // the twin-stick game: the axis of the stick's directions, 0..5
    std::int16_t AnalogY = -1;
    bool operator==(const PlayerConfig&) const = default;
};

struct PlayerSettings {
    std::int16_t ForcePoll = 0;
    std::int16_t HideCross = 0;
    std::int16_t Outputs = 0;
    std::array<PlayerConfig, 2> players;
    std::int16_t KeysEnabled = 0;
    std::int16_t P1StartKey = -1, P2StartKey = -1, P1CoinKey = -1, P2CoinKey = -1, P1EscKey = -1, P2EscKey = -1;
    bool DeviceButtonsCount = false;  // set by the run's normalisation: the devices' start, coin and escape buttons count

    // The twin-stick game only: which joystick button and which key drives each function.
    TwinStickTable TwinStickButtonMap{};
    TwinStickTable TwinStickKeyMap{};
    AimSettings aim;  // where the game's picture is: [Aim]
    // Recoil made from each player's trigger for the guns ([Feedback] or [PlayerN] TriggerRecoil),
    // with a pulse every AutofireMs while it is held (0: one a pull).
    std::array<std::int16_t, 2> TriggerRecoil{};
    std::int16_t AutofireMs = 0;
    bool operator==(const PlayerSettings&) const = default;
};

// The settings of the joycfg\default.ini VT2 ships (player 1 on the first mouse, outputs on), for
// when that file is gone.
PlayerSettings ShippedDefaultSettings();

// The settings file that applies to name: its own file, else default.ini; none when neither exists.
std::optional<std::string> ChoosePlayerSettingsFile(FileSystem& files, const std::string& programFolder,
                                                    const std::string& name);

// The settings as the file holds them. The twin-stick game type ("VON") reads its axes and tables
// too; what the twin-stick game makes of the rest is the run's (ApplyTwinStickRules).
PlayerSettings ReadPlayerSettings(IniFiles& ini, const std::string& file, const std::string& gameType);

// The settings that apply to name, as stored; none when neither its own file nor default.ini exists.
std::optional<PlayerSettings> LoadPlayerSettings(FileSystem& files, IniFiles& ini, const std::string& programFolder,
                                                 const std::string& name, const std::string& gameType);

// What a run of the twin-stick game makes of its settings: both players on joysticks, and the
// coin and start buttons and keys moved into the twin-stick tables (entries 1, 2 and 5), away from
// the players, who then have no trigger, reload, start or coin button.
void ApplyTwinStickRules(PlayerSettings& settings);
// The twin-stick game's own keys of a section of the settings ("Player1", "Player2", "keys").
std::vector<std::string> TwinStickSettingsKeys(const std::string& section);

// What a hook run makes of the settings before it starts: a player who is not enabled has no
// device (player 1 keeps its mouse for the system cursor), a joystick player no mouse and a mouse
// or light-gun player no joystick, and whether the devices' start, coin and escape buttons count.
void NormaliseForTheRun(PlayerSettings& settings);

// What the configuration window shows, control by control. List selections are entry indexes of
// the lists "NONE", "0", ..., "16": entry 0 stands for -1, entry k + 1 for k.
struct PlayerControls {
    bool enable = false;
    bool sysMouse = false;  // player 1 only
    int inputOption = 0;    // 0 "mouse", 1 "lightgun", 2 "joystick"
    int deviceEntry = 0;
    std::string accelText;
    int triggerEntry = 0, reloadEntry = 0, startEntry = 0, coinEntry = 0, escEntry = 0;
    std::string mouseDevice;  // the path of the mouse the device list shows; empty: none known
    bool offscreenReload = false;
    int gunPortEntry = 0;  // "NONE", then COM1, COM2...: the entry is the port's number
    std::string gunKind;   // the settings' word of the kind shown
};

struct SettingsControls {
    bool forcePoll = false;
    bool hideCross = false;
    bool outputs = false;
    PlayerControls player1;
    PlayerControls player2;
    // The key boxes' texts as shown: Start 1, Start 2, Coin 1, Coin 2, Exit, Alt Exit.
    std::string p1StartKey, p2StartKey, p1CoinKey, p2CoinKey, p1EscKey, p2EscKey;
    // Values a control could not show, by "Section/Key": written as they are instead of the
    // control's value, so that a save keeps what the user did not touch.
    std::map<std::string, std::string> kept;
};

// Writes the controls into programFolder\joycfg\<name>.ini. Every key it does not own ([keys]
// Enable, [Player2] SysMouse, the twin-stick keys) keeps what the file holds. Stops at the first
// write the file refuses: false then, and the INI seam's errorText says why.
bool SaveSettings(IniFiles& ini, const std::string& programFolder, const std::string& name,
                  const SettingsControls& controls);
std::string PlayerSettingsPath(const std::string& programFolder, const std::string& name);

}  // namespace vt2
