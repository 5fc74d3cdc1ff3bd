#pragma once
// The device detector, frmDetectP1 and frmDetectP2: "Pull the trigger of the gun for player N".
// While it is open, the mice's raw reports come to it; the first button pressed on any mouse of
// the raw input list selects that mouse in the player's device list and closes the window.
// "Cancel" (or Esc) leaves the list as it was.

#include <vector>

#include "input/mouse_devices.h"
#include "platform/raw_input.h"
#include "ui/stored_form_model.h"

namespace vt2 {

class ConfigModel;

class DeviceDetectorModel final : public StoredFormModel, public RawMouseReportSink {
public:
    // rawInput: none where the system has no raw input; the window then only waits for Cancel.
    DeviceDetectorModel(Forms& forms, RawInputSystem* rawInput, ConfigModel& config, int player);
    ~DeviceDetectorModel() override;
    DeviceDetectorModel(const DeviceDetectorModel&) = delete;
    DeviceDetectorModel& operator=(const DeviceDetectorModel&) = delete;

    // Lists the mice, takes their reports and shows the window.
    void open();
    void onMouseReport(const RawMouseReport& report) override;
    void clicked(const std::string& control) override;
    // As Cancel: closes the window, when it is open, and leaves the list as it was.
    void cancel();
    void closed() override;

private:
    void stopListening();

    Forms& forms_;
    RawInputSystem* rawInput_;
    ConfigModel& config_;
    int player_;
    std::vector<MouseDevice> mice_;
    bool listening_ = false;
};

}  // namespace vt2
