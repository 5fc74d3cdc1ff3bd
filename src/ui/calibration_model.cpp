#include "ui/calibration_model.h"

#include <algorithm>
#include <cmath>

#include "input/aim_settings.h"
#include "input/raw_mouse.h"
#include "input/player_settings.h"
#include "platform/file_system.h"
#include "platform/ini_files.h"
#include "platform/message_boxes.h"
#include "platform/window_system.h"
#include "ui/config_model.h"

namespace vt2 {

namespace {
constexpr std::uint16_t kMoveAbsolute = 0x0001;
constexpr std::uint16_t kVirtualDesktop = 0x0002;
constexpr double kFullScale = 65535.0;

std::uint32_t DownFlagOf(int button) { return std::uint32_t{1} << (2 * std::clamp(button, 0, 15)); }
}  // namespace

CalibrationModel::CalibrationModel(ConfigServices& services, ConfigModel& config) : os_(services), config_(config) {}

CalibrationModel::~CalibrationModel() { finish(); }

void CalibrationModel::open(int player) {
    finish();
    const std::string who = "player " + std::to_string(player);
    if (!os_.rawInput || !os_.targetScreen || !os_.windows) return;
    const auto subject = config_.calibrationSubject(player);
    if (!subject) {
        os_.messages.ask("Choose the mouse or gun of " + who + " in its Device # list first: the calibration listens to that device.",
                         "Calibrate", MessageButtons::Ok, MessageIcon::Information);
        return;
    }
    player_ = player;
    device_ = subject->device;
    triggerButton_ = subject->triggerButton;
    accel_ = subject->accel;
    game_ = subject->game;
    // The monitor the game's window is on, else the primary screen.
    const WindowHandle gameWindow =
        subject->winClass.empty() && subject->winCaption.empty()
            ? 0
            : os_.windows->findWindow(subject->winClass, subject->winCaption.empty() ? std::nullopt
                                                                                  : std::optional(subject->winCaption));
    monitor_ = os_.windows->monitorOf(gameWindow);
    primary_ = os_.windows->monitorOf(0);
    virtualDesktop_ = os_.windows->virtualDesktop();
    reading_ = {0.5, 0.5};
    edges_.reset();
    // The window must get the reports also while another has the focus, as the detector does.
    os_.rawInput->startReports(*this);
    os_.rawInput->registerMice();
    listening_ = true;
    stage_ = Stage::TopLeft;
    os_.targetScreen->open(monitor_, *this);
    showStage();
}

void CalibrationModel::onMouseReport(const RawMouseReport& report) {
    if (stage_ == Stage::Closed || report.device != device_) return;
    if (report.flags & kMoveAbsolute) {
        reading_ = {report.lastX / kFullScale, report.lastY / kFullScale};
        acrossVirtualDesktop_ = (report.flags & kVirtualDesktop) != 0;
        absolute_ = true;
    } else {
        // As a run moves a relative mouse: by its acceleration, kept inside the screen.
        reading_ = {MovedByCounts(static_cast<float>(reading_.x), report.lastX, accel_),
                    MovedByCounts(static_cast<float>(reading_.y), report.lastY, accel_)};
        absolute_ = false;
    }
    if (report.buttons == DownFlagOf(triggerButton_)) {
        takeShot();
        return;
    }
    showStage();
}

void CalibrationModel::enterPressed() {
    if (stage_ == Stage::Check) save();
}

void CalibrationModel::takeShot() {
    switch (stage_) {
    case Stage::TopLeft:
        firstShot_ = reading_;
        stage_ = Stage::BottomRight;
        showStage();
        return;
    case Stage::BottomRight:
        edges_ = CalibrateFromTwoTargets(kTopLeftTarget, firstShot_, kBottomRightTarget, reading_);
        if (edges_ && !IsUsableCalibration(*edges_)) edges_.reset();  // as the run would read it
        if (!edges_) {
            stage_ = Stage::TopLeft;
            showStage("The two shots read places too close together: once more.");
            return;
        }
        stage_ = Stage::Check;
        showStage();
        return;
    case Stage::Check:
        save();
        return;
    case Stage::Closed:
        return;
    }
}

void CalibrationModel::showStage(const std::string& firstLine) {
    if (stage_ == Stage::Closed) return;
    TargetScreenView view;
    const std::string who = "player " + std::to_string(player_);
    if (stage_ == Stage::Check) {
        view.target = pixelOfMonitor(kCheckTarget);
        view.text = "The mark is where the gun of " + who + " hits now.\r\nShoot or press Enter to save, Esc cancels";
    } else {
        view.target = pixelOfMonitor(stage_ == Stage::TopLeft ? kTopLeftTarget : kBottomRightTarget);
        view.text = "Shoot the target with the gun of " + who + "\r\nEsc cancels";
    }
    if (!firstLine.empty()) view.text = firstLine + "\r\n" + view.text;
    view.mark = mark();
    os_.targetScreen->show(view);
}

DesktopPixel CalibrationModel::pixelOfMonitor(AimFractions fractions) const {
    const DesktopPoint point = PointOfArea(fractions, monitor_);
    return {static_cast<int>(std::lround(point.x)), static_cast<int>(std::lround(point.y))};
}

// Before the check, where the device points uncalibrated; at the check, where it now hits.
std::optional<DesktopPixel> CalibrationModel::mark() const {
    DesktopPoint point;
    if (stage_ == Stage::Check && edges_) {
        const auto aim = ThroughEdges(reading_, *edges_);
        if (!aim) return std::nullopt;
        point = PointOfArea(*aim, monitor_);
    } else if (absolute_) {
        point = AbsoluteOnDesktop(static_cast<int>(std::lround(reading_.x * kFullScale)),
                                  static_cast<int>(std::lround(reading_.y * kFullScale)), acrossVirtualDesktop_, primary_,
                                  virtualDesktop_);
    } else {
        point = PointOfArea(reading_, primary_);
    }
    return DesktopPixel{static_cast<int>(std::lround(point.x)), static_cast<int>(std::lround(point.y))};
}

void CalibrationModel::save() {
    if (!edges_) return;
    const DeviceEdges edges = *edges_;
    const int player = player_;
    finish();
    // A game without its own settings file gets one with what the window shows first: a file
    // holding [Aim] alone would take the place of default.ini with no players in it.
    const std::string file = PlayerSettingsPath(os_.programFolder, game_);
    if (!os_.files.fileExists(file) && !config_.SaveSettings(game_)) return;
    // Saved from a shot, inside the gun's report: the box waits until the report is handled.
    if (!SaveCalibration(os_.ini, file, static_cast<std::size_t>(player - 1), edges)) {
        os_.messages.tellLater("VT2 could not write " + file + ".\r\n\r\n" + os_.ini.errorText(), "Calibration Not Saved",
                               MessageIcon::Information);
        return;
    }
    os_.messages.tellLater("The calibration of player " + std::to_string(player) + " is saved for this game.",
                           "Calibration Saved", MessageIcon::Information);
}

void CalibrationModel::finish() {
    if (listening_) {
        listening_ = false;
        os_.rawInput->stopReports();
    }
    if (stage_ != Stage::Closed) {
        stage_ = Stage::Closed;
        os_.targetScreen->close();
    }
}

}  // namespace vt2
