#include "ui/device_detector_model.h"

#include "ui/config_model.h"
#include "ui/layouts.h"

namespace vt2 {

DeviceDetectorModel::DeviceDetectorModel(Forms& forms, RawInputSystem* rawInput, ConfigModel& config, int player)
    : StoredFormModel(DeviceDetectorDesign(player)), forms_(forms), rawInput_(rawInput), config_(config), player_(player) {}

DeviceDetectorModel::~DeviceDetectorModel() { stopListening(); }

void DeviceDetectorModel::open() {
    if (rawInput_ && !listening_) {
        mice_ = ListMice(rawInput_->deviceList().value_or(std::vector<RawInputDevice>{}));
        // The window must get the reports also while another program has the focus: the gun's
        // driver may bring its own window forward.
        rawInput_->startReports(*this);
        rawInput_->registerMice();
        listening_ = true;
    }
    forms_.show(*this);
}

void DeviceDetectorModel::onMouseReport(const RawMouseReport& report) {
    if (!listening_) return;
    const auto index = MousePressingAButton(mice_, report);
    if (!index) return;
    stopListening();
    forms_.close(*this);
    // The configuration window may have closed meanwhile: then nothing is chosen.
    if (forms_.isOpen(config_)) {
        config_.selectDetectedMouse(player_, mice_, *index);
        forms_.refresh(config_);
        forms_.focus(config_, "cmbP" + std::to_string(player_));
    }
}

void DeviceDetectorModel::clicked(const std::string& control) {
    if (control == "cmdCancel") cancel();
}

void DeviceDetectorModel::cancel() {
    stopListening();
    if (forms_.isOpen(*this)) forms_.close(*this);
}

void DeviceDetectorModel::closed() { stopListening(); }

void DeviceDetectorModel::stopListening() {
    if (!listening_) return;
    listening_ = false;
    rawInput_->stopReports();
}

}  // namespace vt2
