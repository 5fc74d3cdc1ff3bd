#pragma once
// The configuration window, frmConfig: the list of games, each game's player settings on two
// pages, the launch settings of its descriptor, and the helper windows it opens. What each control
// shows for the loaded game, and what each action writes, asks or answers.

#include <array>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "engine/game_descriptor.h"
#include "input/mouse_devices.h"
#include "platform/joystick_system.h"
#include "input/player_settings.h"
#include "outputs/gun_commands.h"
#include "ui/aim_finder_model.h"
#include "ui/stored_form_model.h"

namespace vt2 {

class FeedbackPorts;
class FileSystem;
class IniFiles;
class CalibrationModel;
class DeviceDetectorModel;
class TargetScreen;
class WindowSystem;
class KeyDetectorModel;
class JoystickSystem;
class RawInputSystem;
class MessageBoxes;
class Model2SetupModel;
class ProgramLauncher;
class TwinStickModel;

// What the configuration tool needs of the system.
struct ConfigServices {
    IniFiles& ini;
    FileSystem& files;
    MessageBoxes& messages;
    InputBoxes& inputs;
    ProgramLauncher& launcher;
    Forms& forms;
    std::string programFolder;            // without a trailing backslash
    RawInputSystem* rawInput = nullptr;   // the mice's names and the device detector; none: no mice known
    JoystickSystem* joysticks = nullptr;  // the joysticks' names; none: no joysticks known
    WindowSystem* windows = nullptr;      // the calibration's monitor: none, no calibration
    TargetScreen* targetScreen = nullptr; // the calibration's window
    AimScan findAim;                      // the aim finder's scan; none: "Find Addresses..." is off
    FeedbackPorts* feedbackPorts = nullptr;  // the guns' ports for "Test Recoil"; none: that button is off
};

// What a gun's calibration needs to know from the window: the player's mouse or gun as its list
// shows it, its trigger and acceleration, and the game (its settings file and its window).
struct CalibrationSubject {
    std::uint32_t device = 0;  // the raw-input handle
    int triggerButton = 0;
    std::int16_t accel = 0;
    std::string game;  // the descriptor's file name without ".ini"
    std::string winClass, winCaption;
};

// A row of the game list: one descriptor of memcfg\.
struct GameEntry {
    std::string base;         // the file name without ".ini"
    std::string displayName;  // [Info] Name, or the base name when that is empty
    std::string entryText;    // Name + "  (" + base + ")"
};

class ConfigModel final : public StoredFormModel {
public:
    ConfigModel(ConfigServices& services, std::string& keyTarget);

    // The windows it opens: the key detector, the twin-stick window, the Model 2 setup helper.
    void setHelpers(KeyDetectorModel& keyDetector, TwinStickModel& twinStick, Model2SetupModel* model2Setup);
    // The device detectors of players 1 and 2.
    void setDeviceDetectors(DeviceDetectorModel& player1, DeviceDetectorModel& player2);
    void setCalibration(CalibrationModel& calibration) { calibration_ = &calibration; }
    void setAimFinder(AimFinderModel& aimFinder) { aimFinder_ = &aimFinder; }
    // None when the player's list shows no mouse or gun attached now, or no game is shown.
    std::optional<CalibrationSubject> calibrationSubject(int player) const;
    // Shows the window; its 100 ms start-up timer then reads the game list and loads the first game.
    void open();

    void timerTicked() override;
    void clicked(const std::string& control) override;
    void closed() override;

    void LoadINIList();
    void LoadGame();
    bool SaveSettings(const std::string& base);
    void WriteGameCfg();

    const std::vector<GameEntry>& games() const { return games_; }
    // The row of the game shown; none while the list is empty.
    std::optional<std::size_t> currentGame() const;
    void selectGame(std::size_t row);
    // What the last LoadGame read: the settings as stored, and the descriptor.
    const PlayerSettings& loadedSettings() const { return settings_; }
    const GameDescriptor& loadedDescriptor() const { return descriptor_; }
    // Fills one of the six key boxes from the key detector.
    void setKeyBox(const std::string& box, const std::string& text);
    // Shows the mouse the device detector found in the player's device list, as the user's choice;
    // mice is the list the detector found it in, newer than the one the game loaded with.
    void selectDetectedMouse(int player, const std::vector<MouseDevice>& mice, std::size_t index);

    // The "READ WARNING" text, its three strings joined.
    static std::string WarningText();

protected:
    void onChanged(const std::string& control, const ControlState& before) override;

private:
    void showPage(int page);
    void enableGameControls(bool enabled);
    void showPlayer(int player, const PlayerConfig& p);
    void showCheck(const std::string& control, std::int16_t value, const std::string& key);
    void showEntry(const std::string& control, int value, const std::string& key);
    SettingsControls controlsToSave() const;
    void message(const std::string& text, const std::string& title);
    void saveForThisGame();
    void revert();
    void openNotes();
    void setAccel(int player);
    void twinStickSetup();
    void openKeyDetector(const std::string& target);
    void openDeviceDetector(int player);
    void openCalibration(int player);
    void findAddresses();
    void showDeviceNames();
    void showGun(int player, const PlayerConfig& p);
    GunSetup shownGun(int player) const;
    void testRecoil(int player);
    void endRecoilTest();

    ConfigServices& os_;
    std::string& keyTarget_;
    KeyDetectorModel* keyDetector_ = nullptr;
    TwinStickModel* twinStick_ = nullptr;
    Model2SetupModel* model2Setup_ = nullptr;
    std::vector<GameEntry> games_;
    GameDescriptor descriptor_;
    PlayerSettings settings_;
    // Stored values the controls cannot show, by "Section/Key", with the controls that would
    // change them: a save writes them back unless the user touched one of those controls.
    struct Unshown {
        std::vector<std::string> controls;
        std::string text;
    };
    std::map<std::string, Unshown> unshown_;
    std::optional<std::string> unshownLaunch_;  // a LaunchGame that is neither 0 nor 1
    std::vector<MouseDevice> mice_;
    std::vector<JoystickDescription> joysticks_;
    std::array<DeviceDetectorModel*, 2> deviceDetectors_{};
    CalibrationModel* calibration_ = nullptr;
    AimFinderModel* aimFinder_ = nullptr;
    int loadDepth_ = 0;
    bool started_ = false;                      // the start-up step has run
    std::vector<FeedbackCommands> testStops_;   // the recoil tests' stops, sent when the timer ticks
};

// The key boxes of the configuration window and the key detector's names for them.
inline const std::map<std::string, std::string>& ConfigKeyTargets() {
    static const std::map<std::string, std::string> targets{{"start1", "txtStart1Key"}, {"start2", "txtStart2Key"},
                                                            {"coin1", "txtCoin1Key"},   {"coin2", "txtCoin2Key"},
                                                            {"exit1", "txtExitKey"},    {"exit2", "txtExit2Key"}};
    return targets;
}

}  // namespace vt2
