#pragma once
// Several mice (or mouse-based light guns) at once: each bound mouse's raw reports move its
// player's aim and set its buttons.

#include <array>
#include <cstdint>
#include <vector>

#include "platform/raw_input.h"

namespace vt2 {

struct Engine;

class RawMouse final : public RawMouseReportSink {
public:
    // Rows 1..16: (down flag, up flag) = (2^(2i-2), 2^(2i-1)), the raw-input button transitions.
    using FlagTable = std::array<std::array<double, 2>, 17>;

    void attach(Engine& engine) { engine_ = &engine; }

    void BuildButtonFlagTable();
    // Lists the mice, registers for their reports and binds them to the players.
    void RegisterRawMice();
    void onMouseReport(const RawMouseReport& report) override;

    const std::vector<std::uint32_t>& MouseHandles() const { return mouseHandles_; }
    std::uint32_t playerDevice(std::size_t player) const { return playerDevices_[player]; }
    const FlagTable& ButtonFlagTable() const { return flags_; }

private:
    void updatePlayer(std::size_t player, const RawMouseReport& report);

    Engine* engine_ = nullptr;
    std::vector<std::uint32_t> mouseHandles_;
    std::array<std::uint32_t, 2> playerDevices_{};
    FlagTable flags_{};
    std::array<std::array<std::int16_t, 17>, 2> buttonStates_{};  // MouseButtonStates, slots 1..16
};

// Replaces the main window's procedure for the mice's reports and registers them.
void StartRawInput(Engine& engine);
void StopRawInput(Engine& engine);

// The number of mice minus one (-1 with none); 0 when the device list cannot be read.
std::int16_t LastMouseIndex(RawInputSystem& rawInput);

}  // namespace vt2
