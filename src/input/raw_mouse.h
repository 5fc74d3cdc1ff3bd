#pragma once
// Several mice (or mouse-based light guns) at once: each bound mouse's raw reports move its
// player's aim and set its buttons.

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "common/player_state.h"
#include "input/aim_mapping.h"
#include "input/offscreen_reload.h"
#include "input/player_settings.h"
#include "platform/raw_input.h"

namespace vt2 {

class MessageBoxes;

class RawMouse final : public RawMouseReportSink {
public:
    // Rows 1..16: (down flag, up flag) = (2^(2i-2), 2^(2i-1)), the raw-input button transitions.
    using FlagTable = std::array<std::array<double, 2>, 17>;

    // The settings that bind and scale the mice, and the players whose aim and buttons they move.
    void attach(const PlayerSettings& settings, PlayerState& players) {
        settings_ = &settings;
        players_ = &players;
    }

    // Where the players' aim lies, kept up to date by the run; the primary screen until then.
    void followArea(const AimGeometry& geometry) { geometry_ = &geometry; }
    // A trigger pulled off the picture reloads (only for a player whose game maps a reload).
    void useOffscreenReload(std::size_t player, bool on) { offscreenReload_[player] = on; }
    bool offPicture(std::size_t player) const { return offPicture_[player]; }
    // Whether the player's device reported since the last call: the system moves its own cursor
    // with the mouse too, beyond where the aim stops.
    bool takeReported(std::size_t player) { return std::exchange(reported_[player], false); }

    void BuildButtonFlagTable();
    // Lists the mice, registers for their reports and binds them to the players: each to its saved
    // device wherever it is now, else by MouseID. A failed registration says "RawInput init failed."
    void RegisterRawMice(RawInputSystem& rawInput, MessageBoxes& messageBoxes);
    void onMouseReport(const RawMouseReport& report) override;
    // A player whose saved device was not there when the mice were bound gets it when it comes
    // (a gun plugged in after the start); what is said about it goes to note.
    void onMouseAttached(const RawInputDevice& device) override;
    void noteLateBindings(std::function<void(const std::string&)> note) { lateNote_ = std::move(note); }

    const std::vector<std::uint32_t>& MouseHandles() const { return mouseHandles_; }
    std::uint32_t playerDevice(std::size_t player) const { return playerDevices_[player]; }
    const FlagTable& ButtonFlagTable() const { return flags_; }
    // What the last binding has to tell the user: a saved device not found, or found by a part of its path.
    const std::vector<std::string>& bindingNotes() const { return bindingNotes_; }

private:
    void updatePlayer(std::size_t player, const RawMouseReport& report);

    const PlayerSettings* settings_ = nullptr;
    PlayerState* players_ = nullptr;
    std::vector<std::uint32_t> mouseHandles_;
    std::vector<std::string> bindingNotes_;
    std::array<std::uint32_t, 2> playerDevices_{};
    std::array<bool, 2> awaitingSaved_{};  // bound otherwise, while the saved device is not attached
    std::function<void(const std::string&)> lateNote_;
    FlagTable flags_{};
    std::array<std::array<std::int16_t, 17>, 2> buttonStates_{};  // MouseButtonStates, slots 1..16
    AimGeometry screenOnly_;
    const AimGeometry* geometry_ = &screenOnly_;
    std::array<AimFractions, 2> relativeReadings_{};  // a calibrated player's relative position
    std::array<bool, 2> offscreenReload_{};
    std::array<bool, 2> offPicture_{};
    std::array<bool, 2> reported_{};
    std::array<OffscreenReloadLatch, 2> latches_{};
};

// A relative device's position moved by counts at its acceleration and kept in 0..1. The product
// is a 32-bit integer product, as the counts and the acceleration are.
float MovedByCounts(float from, std::int32_t counts, std::int16_t accel);

// Replaces the main window's procedure for the mice's reports and registers them.
void StartRawInput(RawInputSystem& rawInput, MessageBoxes& messageBoxes, RawMouse& mouse, const PlayerSettings& settings,
                   PlayerState& players);
void StopRawInput(RawInputSystem& rawInput);

// The number of mice minus one (-1 with none); 0 when the device list cannot be read.
std::int16_t LastMouseIndex(RawInputSystem& rawInput);

}  // namespace vt2
