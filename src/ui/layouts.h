#pragma once
// The windows of the configuration tool, laid out as data: every control with its kind, caption
// and place in twips (within the window's client area), in reading order.

#include "platform/forms.h"

namespace vt2 {

const FormDesign& ConfigWindowDesign();    // frmConfig, "Vantor 2 Configuration"
const FormDesign& KeyDetectorDesign();     // frmKeyDetect, "Key Detector"
// frmDetectP1 and frmDetectP2, "Pull the trigger of the gun for player N"
const FormDesign& DeviceDetectorDesign(int player);
const FormDesign& TwinStickDesign();       // frmVON, "Virtual On Setup"
const FormDesign& InputBoxDesign();        // the input box of "Set Accel"
const FormDesign& Model2SetupDesign();     // frmModel2, "Model 2 Setup"
const FormDesign& FindAimDesign();         // frmFindAim, "Find Addresses": the aim finder's progress

// The controls of the configuration window that only page 1 or only page 2 shows.
bool IsOnConfigPage1(const std::string& control);
bool IsOnConfigPage2(const std::string& control);

}  // namespace vt2
