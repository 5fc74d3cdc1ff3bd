#include "ui/config_tool.h"

namespace vt2 {

ConfigTool::ConfigTool(const ConfigServices& services, KeyboardState& keyboard, Model2SetupModel* model2Setup)
    : services_(services),
      config_(services_, keyTarget_),
      twinStick_(services_, keyTarget_, config_),
      keyDetector_(services_.forms, keyboard, keyTarget_, config_, twinStick_),
      player1Detector_(services_.forms, services_.rawInput, config_, 1),
      player2Detector_(services_.forms, services_.rawInput, config_, 2),
      calibration_(services_, config_),
      aimFinder_(services_.forms, services_.findAim) {
    config_.setHelpers(keyDetector_, twinStick_, model2Setup);
    config_.setDeviceDetectors(player1Detector_, player2Detector_);
    config_.setCalibration(calibration_);
    config_.setAimFinder(aimFinder_);
    twinStick_.setKeyDetector(keyDetector_);
}

}  // namespace vt2
