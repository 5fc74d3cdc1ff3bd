#pragma once
// The configuration tool: the configuration window and the windows it opens, with the state they
// share (KeyTarget, the box the key detector fills next) in one place.

#include <string>

#include "ui/aim_finder_model.h"
#include "ui/calibration_model.h"
#include "ui/config_model.h"
#include "ui/device_detector_model.h"
#include "ui/key_detector_model.h"
#include "ui/twin_stick_model.h"

namespace vt2 {

class KeyboardState;
class Model2SetupModel;

class ConfigTool {
public:
    // model2Setup: the Model 2 setup helper's window, which the configuration window opens.
    ConfigTool(const ConfigServices& services, KeyboardState& keyboard, Model2SetupModel* model2Setup = nullptr);
    ConfigTool(const ConfigTool&) = delete;
    ConfigTool& operator=(const ConfigTool&) = delete;

    // Shows the configuration window; its start-up timer loads the first game.
    void open() { config_.open(); }

    ConfigModel& config() { return config_; }
    TwinStickModel& twinStick() { return twinStick_; }
    KeyDetectorModel& keyDetector() { return keyDetector_; }
    DeviceDetectorModel& deviceDetector(int player) { return player == 2 ? player2Detector_ : player1Detector_; }
    CalibrationModel& calibration() { return calibration_; }
    AimFinderModel& aimFinder() { return aimFinder_; }
    const std::string& keyTarget() const { return keyTarget_; }

private:
    ConfigServices services_;
    std::string keyTarget_;
    ConfigModel config_;
    TwinStickModel twinStick_;
    KeyDetectorModel keyDetector_;
    DeviceDetectorModel player1Detector_;
    DeviceDetectorModel player2Detector_;
    CalibrationModel calibration_;
    AimFinderModel aimFinder_;
};

}  // namespace vt2
