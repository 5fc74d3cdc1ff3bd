#pragma once
// The key detector, frmKeyDetect: polls the keyboard every 100 ms until a key is down, then writes
// its virtual-key code into the key box that KeyTarget names, gives the focus back to that box's
// window and closes. "Clear" empties the box; "Cancel" leaves it as it was.

#include <optional>
#include <string>

#include "ui/stored_form_model.h"

namespace vt2 {

class ConfigModel;
class KeyboardState;
class TwinStickModel;

// The first key down, scanning from code 255 down to 8 (so the click that opened the window, and
// the generic Shift, Ctrl and Alt below their left and right codes, never count).
std::optional<int> FirstKeyDown(KeyboardState& keyboard);

class KeyDetectorModel final : public StoredFormModel {
public:
    KeyDetectorModel(Forms& forms, KeyboardState& keyboard, const std::string& keyTarget, ConfigModel& config,
                     TwinStickModel& twinStick);

    // Shows the window and starts polling; a window already open keeps polling for the box
    // that KeyTarget names now.
    void open();
    void timerTicked() override;
    void clicked(const std::string& control) override;
    void closed() override;

    // Puts text into the box KeyTarget names, gives the focus to its window and closes.
    void SetKeyBox(const std::string& text);

private:
    Forms& forms_;
    KeyboardState& keyboard_;
    const std::string& keyTarget_;
    ConfigModel& config_;
    TwinStickModel& twinStick_;
};

inline constexpr unsigned kKeyDetectIntervalMs = 100;

}  // namespace vt2
