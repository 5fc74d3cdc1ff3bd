#pragma once
// The players' [Aim] section (in the settings file that applies to the game): where the game's
// picture is, which the players' X and Y are fractions of.
//   Area=Screen (the default: the primary screen, as without the section), Window (the game
//   window's client area), Picture (the largest rectangle of Aspect=W:H in it, 4:3 when absent),
//   Calibrated (each player's device edges, Player1Left/Top/Right/Bottom and Player2...).

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "input/aim_area.h"

namespace vt2 {

class IniFiles;

enum class AimAreaKind { Screen, Window, Picture, Calibrated };

struct AimSettings {
    AimAreaKind area = AimAreaKind::Screen;
    AspectRatio aspect;
    std::array<std::optional<DeviceEdges>, 2> calibrated;  // per player; none: not calibrated
    std::vector<std::string> notes;  // values that could not be taken, for the debug window
    bool operator==(const AimSettings&) const = default;
};

AimSettings ReadAimSettings(IniFiles& ini, const std::string& file);
// [Aim] Area's names, case aside: screen, window, picture, calibrated.
std::optional<AimAreaKind> ParseAimAreaKind(const std::string& text);

// Whether a run takes these edges: each within 1000 of the device's range (finite), and the two
// edges of each axis apart. What a run would refuse is never saved.
bool IsUsableCalibration(const DeviceEdges& edges);

// Writes Area=Calibrated and the player's edges (player 0 or 1) into the file, leaving the other
// player's; false at the first write the file refuses.
bool SaveCalibration(IniFiles& ini, const std::string& file, std::size_t player, const DeviceEdges& edges);

}  // namespace vt2
