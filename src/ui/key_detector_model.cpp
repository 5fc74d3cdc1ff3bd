#include "ui/key_detector_model.h"

#include "platform/keyboard_state.h"
#include "ui/config_model.h"
#include "ui/layouts.h"
#include "ui/twin_stick_model.h"

namespace vt2 {

std::optional<int> FirstKeyDown(KeyboardState& keyboard) {
    for (int code = 255; code >= 8; --code) {
        const std::int16_t state = keyboard.keyState(code);
        if (state < 0 || state > 1) return code;  // any state but up, toggled or not
    }
    return std::nullopt;
}

KeyDetectorModel::KeyDetectorModel(Forms& forms, KeyboardState& keyboard, const std::string& keyTarget,
                                   ConfigModel& config, TwinStickModel& twinStick)
    : StoredFormModel(KeyDetectorDesign()),
      forms_(forms),
      keyboard_(keyboard),
      keyTarget_(keyTarget),
      config_(config),
      twinStick_(twinStick) {}

void KeyDetectorModel::open() {
    const bool wasOpen = forms_.isOpen(*this);
    forms_.show(*this);
    if (!wasOpen) forms_.startTimer(*this, kKeyDetectIntervalMs);
}

void KeyDetectorModel::timerTicked() {
    const auto code = FirstKeyDown(keyboard_);
    if (!code) return;
    forms_.stopTimer(*this);
    SetKeyBox(std::to_string(*code));
}

void KeyDetectorModel::clicked(const std::string& control) {
    if (control == "cmdClear") {
        forms_.stopTimer(*this);
        SetKeyBox("");
    }
    if (control == "cmdCancel") {
        forms_.stopTimer(*this);
        forms_.close(*this);
    }
}

void KeyDetectorModel::closed() { forms_.stopTimer(*this); }

void KeyDetectorModel::SetKeyBox(const std::string& text) {
    const auto& twinStickBoxes = TwinStickKeyTargets();
    const auto twin = twinStickBoxes.find(keyTarget_);
    if (twin != twinStickBoxes.end()) {
        // The box's window may have closed meanwhile: then no box is touched.
        if (forms_.isOpen(twinStick_)) {
            twinStick_.setKeyBox(twin->second, text);
            forms_.refresh(twinStick_);
            forms_.focus(twinStick_, twin->second);
        }
    } else {
        const auto& configBoxes = ConfigKeyTargets();
        const auto box = configBoxes.find(keyTarget_);
        if (box != configBoxes.end() && forms_.isOpen(config_)) {
            config_.setKeyBox(box->second, text);
            forms_.refresh(config_);
            forms_.focus(config_, box->second);
        } else if (forms_.isOpen(config_)) {
            forms_.focus(config_);
        }
    }
    forms_.close(*this);
}

}  // namespace vt2
