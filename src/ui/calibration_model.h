#pragma once
// A gun's calibration, opened by a player's "Calibrate" button: a window over the game's monitor
// shows a target near the top-left corner, then one near the bottom-right; the player shoots each
// with that player's gun (any other device is ignored). From where the gun read the two known
// targets come the picture's edges as the gun sees them; a third target in the middle shows where
// the gun now hits, and a shot at it (or Enter) saves them for the game as Area=Calibrated. Esc
// cancels at any time. Works for guns that report positions and for relative mice alike.

#include <cstdint>
#include <optional>
#include <string>

#include "input/aim_area.h"
#include "platform/raw_input.h"
#include "platform/target_screen.h"

namespace vt2 {

struct ConfigServices;
class ConfigModel;

class CalibrationModel final : public RawMouseReportSink, public TargetScreenKeys {
public:
    enum class Stage { Closed, TopLeft, BottomRight, Check };

    CalibrationModel(ConfigServices& services, ConfigModel& config);
    ~CalibrationModel() override;
    CalibrationModel(const CalibrationModel&) = delete;
    CalibrationModel& operator=(const CalibrationModel&) = delete;

    // Opens the window for player 1 or 2; says what is missing instead when the player has no mouse or gun.
    void open(int player);
    void onMouseReport(const RawMouseReport& report) override;
    void escapePressed() override { finish(); }
    void enterPressed() override;

    Stage stage() const { return stage_; }
    const std::optional<DeviceEdges>& edges() const { return edges_; }

    // Where the targets stand, as fractions of the monitor.
    static constexpr AimFractions kTopLeftTarget{0.1, 0.1};
    static constexpr AimFractions kBottomRightTarget{0.9, 0.9};
    static constexpr AimFractions kCheckTarget{0.5, 0.5};

private:
    void showStage(const std::string& firstLine = {});
    void takeShot();
    void save();
    void finish();
    DesktopPixel pixelOfMonitor(AimFractions fractions) const;
    std::optional<DesktopPixel> mark() const;

    ConfigServices& os_;
    ConfigModel& config_;
    Stage stage_ = Stage::Closed;
    int player_ = 1;
    std::uint32_t device_ = 0;
    int triggerButton_ = 0;
    std::int16_t accel_ = 0;
    std::string game_;
    PixelRect monitor_, primary_, virtualDesktop_;
    AimFractions reading_{0.5, 0.5};  // the device's own fractions: of the screen, or its own range
    bool absolute_ = false;
    bool acrossVirtualDesktop_ = false;
    AimFractions firstShot_;
    std::optional<DeviceEdges> edges_;
    bool listening_ = false;
};

}  // namespace vt2
