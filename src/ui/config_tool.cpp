#include "ui/config_tool.h"

namespace vt2 {

ConfigTool::ConfigTool(const ConfigServices& services, KeyboardState& keyboard, Model2SetupModel* model2Setup)
    : services_(services),
      config_(services_, keyTarget_),
      twinStick_(services_, keyTarget_, config_),
      keyDetector_(services_.forms, keyboard, keyTarget_, config_, twinStick_) {
    config_.setHelpers(keyDetector_, twinStick_, model2Setup);
    twinStick_.setKeyDetector(keyDetector_);
}

}  // namespace vt2
