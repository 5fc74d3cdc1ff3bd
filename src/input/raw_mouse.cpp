#include "input/raw_mouse.h"

#include <algorithm>
#include <cmath>

#include "common/text.h"
#include "input/mouse_devices.h"
#include "platform/message_boxes.h"
#include "platform/synthetic_input.h"

namespace vt2 {

namespace {
constexpr std::uint16_t kMoveAbsolute = 0x0001;
constexpr std::uint16_t kVirtualDesktop = 0x0002;
}

void RawMouse::BuildButtonFlagTable() {
    for (int i = 1; i <= 16; ++i) {
        flags_[static_cast<std::size_t>(i)] = {std::ldexp(1.0, 2 * i - 2), std::ldexp(1.0, 2 * i - 1)};
    }
}

void RawMouse::RegisterRawMice(RawInputSystem& rawInput, MessageBoxes& messageBoxes) {
    // Registered before the mice are listed: listing them may connect to the Linux bridge (and
    // start it), which takes a moment, and a button pressed meanwhile must wait in the queue, not
    // be lost.
    const bool registered = rawInput.registerMice();
    const auto devices = rawInput.deviceList();
    if (!devices) return;
    const std::vector<MouseDevice> mice = ListMice(*devices);
    mouseHandles_.clear();
    for (const MouseDevice& m : mice) mouseHandles_.push_back(m.handle);
    bindingNotes_.clear();
    awaitingSaved_ = {};
    if (!registered) messageBoxes.showMessage("RawInput init failed.");

    // The saved device wherever it is now, else MouseID; a MouseID beyond the mice there are
    // leaves that player unbound. Returns the position the player has now.
    auto bind = [&](std::size_t player) {
        const PlayerConfig& p = settings_->players[player];
        const MouseBinding binding = BindPlayerMouse(mice, p.MouseID, p.MouseDevice, static_cast<int>(player) + 1);
        if (!binding.note.empty()) bindingNotes_.push_back(binding.note);
        if (binding.index) playerDevices_[player] = mouseHandles_[*binding.index];
        awaitingSaved_[player] = binding.by != MouseBoundBy::SavedPath && !TrimBlanks(p.MouseDevice).empty();
        return binding.index ? static_cast<std::int16_t>(*binding.index) : p.MouseID;
    };
    const PlayerConfig& p1 = settings_->players[kPlayer1];
    const PlayerConfig& p2 = settings_->players[kPlayer2];
    const std::int16_t p1Mouse = (p1.Enable == 1 || p1.SysMouse == 1) ? bind(kPlayer1) : p1.MouseID;
    const std::int16_t p2Mouse = p2.Enable == 1 ? bind(kPlayer2) : p2.MouseID;
    if (p1Mouse == 0 && p2Mouse == 0) StopRawInput(rawInput);
}

void RawMouse::onMouseReport(const RawMouseReport& report) {
    // This program's own mouse events (player 1 driving the system mouse) come back as raw input
    // too; they are nobody's gun, whatever device they seem to come from.
    if (report.extraInformation == kSyntheticInputTag) return;
    if (report.device == playerDevices_[kPlayer1]) {
        updatePlayer(kPlayer1, report);
    } else if (report.device == playerDevices_[kPlayer2]) {
        updatePlayer(kPlayer2, report);
    }
    // Any other mouse is consumed and changes nothing.
}

void RawMouse::onMouseAttached(const RawInputDevice& device) {
    if (!settings_ || device.type != kRawInputTypeMouse) return;
    for (std::size_t player : {kPlayer1, kPlayer2}) {
        const std::string& saved = settings_->players[player].MouseDevice;
        if (!awaitingSaved_[player] || !EqualsIgnoreCase(device.path, TrimBlanks(saved))) continue;
        awaitingSaved_[player] = false;
        playerDevices_[player] = device.handle;
        if (std::find(mouseHandles_.begin(), mouseHandles_.end(), device.handle) == mouseHandles_.end()) {
            mouseHandles_.push_back(device.handle);
        }
        if (lateNote_) {
            lateNote_("Player " + std::to_string(player + 1) + ": the saved device is attached now (" +
                      (device.productName.empty() ? device.path : device.productName) + ")");
        }
    }
}

void RawMouse::updatePlayer(std::size_t player, const RawMouseReport& report) {
    PlayerValues& p = (*players_)[player].current;
    const PlayerConfig& config = settings_->players[player];
    reported_[player] = true;
    const AimGeometry& geometry = *geometry_;
    AimFractions aim;
    if (report.flags & kMoveAbsolute) {
        aim = AbsoluteAim(geometry, player, report.lastX, report.lastY, (report.flags & kVirtualDesktop) != 0);
    } else {
        // Relative motion stays inside the area (a calibrated player's: inside the screen).
        AimFractions& kept = relativeReadings_[player];
        const bool apart = RelativeReadingApart(geometry, player);
        const float fromX = apart ? static_cast<float>(kept.x) : p.X;
        const float fromY = apart ? static_cast<float>(kept.y) : p.Y;
        kept = {MovedByCounts(fromX, report.lastX, config.MouseAccel), MovedByCounts(fromY, report.lastY, config.MouseAccel)};
        aim = RelativeAim(geometry, player, kept);
    }
    offPicture_[player] = OffThePicture(aim);
    // Off the picture with off-screen reload, the aim stays where it last was on it.
    if (!(offPicture_[player] && offscreenReload_[player])) {
        p.X = static_cast<float>(aim.x);
        p.Y = static_cast<float>(aim.y);
    }
    // A transition is recognised by equality: two at once, or a wheel turn, change no slot.
    std::array<std::int16_t, 17>& slots = buttonStates_[player];
    const double buttons = report.buttons;
    for (std::size_t i = 1; i <= 16; ++i) {
        if (buttons == flags_[i][0]) slots[i] = 1;
        if (buttons == flags_[i][1]) slots[i] = 0;
    }
    auto copy = [&](std::int16_t button, std::int16_t& state) {
        if (button >= 0 && button <= 15) state = slots[static_cast<std::size_t>(button) + 1];
    };
    copy(config.TriggerButton, p.Trigger);
    copy(config.ReloadButton, p.Reload);
    copy(config.StartButton, p.StartDevice);
    copy(config.CoinButton, p.CoinDevice);
    copy(config.EscButton, p.EscDevice);
    if (offscreenReload_[player]) ApplyOffscreenReload(latches_[player], offPicture_[player], p.Trigger, p.Reload);
}

float MovedByCounts(float from, std::int32_t counts, std::int16_t accel) {
    const auto product =
        static_cast<std::int32_t>(static_cast<std::uint32_t>(counts) * static_cast<std::uint32_t>(std::int32_t{accel}));
    return std::clamp(static_cast<float>(from + product / 65535.0), 0.0f, 1.0f);
}

void StartRawInput(RawInputSystem& rawInput, MessageBoxes& messageBoxes, RawMouse& mouse, const PlayerSettings& settings,
                   PlayerState& players) {
    mouse.attach(settings, players);
    rawInput.startReports(mouse);
    mouse.BuildButtonFlagTable();
    mouse.RegisterRawMice(rawInput, messageBoxes);
}

void StopRawInput(RawInputSystem& rawInput) { rawInput.stopReports(); }

std::int16_t LastMouseIndex(RawInputSystem& rawInput) {
    const auto devices = rawInput.deviceList();
    if (!devices) return 0;
    const auto mice = std::count_if(devices->begin(), devices->end(),
                                    [](const RawInputDevice& d) { return d.type == kRawInputTypeMouse; });
    return static_cast<std::int16_t>(mice - 1);
}

}  // namespace vt2
