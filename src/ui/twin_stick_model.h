#pragma once
// The twin-stick setup window, frmVON: for each stick of Virtual On (player 1 the left, player 2
// the right) the axes and, for each function, a joystick button and a key; Test and Service for
// player 1. Saved into both joycfg\von.ini and joycfg\vonj.ini, which the game's two versions share.

#include <map>
#include <string>

#include "input/player_settings.h"
#include "ui/config_model.h"
#include "ui/stored_form_model.h"

namespace vt2 {

class KeyDetectorModel;

class TwinStickModel final : public StoredFormModel {
public:
    TwinStickModel(ConfigServices& services, std::string& keyTarget, ConfigModel& config);
    void setKeyDetector(KeyDetectorModel& keyDetector) { keyDetector_ = &keyDetector; }

    // Fills every list and box (from the settings the configuration window loaded when that is
    // the twin-stick game, else from von's own settings) and shows the window.
    void open();
    void clicked(const std::string& control) override;
    // Writes both files and closes; false (and a message) when a file refuses a write.
    bool save();
    void setKeyBox(const std::string& box, const std::string& text) { control(box).text = text; }

protected:
    void onChanged(const std::string& control, const ControlState& before) override;

private:
    void load(const PlayerSettings& settings);
    std::string listValue(const std::string& list, const std::string& key) const;

    ConfigServices& os_;
    std::string& keyTarget_;
    ConfigModel& config_;
    KeyDetectorModel* keyDetector_ = nullptr;
    std::map<std::string, std::string> unshown_;  // by list: a stored value the list cannot show
};

// The key boxes of the twin-stick window and the key detector's names for them.
const std::map<std::string, std::string>& TwinStickKeyTargets();

inline constexpr const char* kTwinStickSavedText =
    "Extended Keys for Virtual On saved.  Don't forget to setup the joystick ID and start/coin keys in the main window!";

}  // namespace vt2
