#include "input/aim_settings.h"

#include <cmath>
#include <cstdio>

#include "common/ini.h"
#include "common/numbers.h"
#include "common/text.h"

namespace vt2 {

std::optional<AimAreaKind> ParseAimAreaKind(const std::string& text) {
    const std::string name = ToLowerAscii(TrimBlanks(text));
    if (name == "screen") return AimAreaKind::Screen;
    if (name == "window") return AimAreaKind::Window;
    if (name == "picture") return AimAreaKind::Picture;
    if (name == "calibrated") return AimAreaKind::Calibrated;
    return std::nullopt;
}

namespace {

// A calibration's edges lie within a few screens of the device's range; a number far beyond (or
// too long to be finite) is no calibration.
constexpr double kFarthestEdge = 1000.0;

// A player's calibrated edges: all four keys numbers, and the two edges of each axis apart.
std::optional<DeviceEdges> ReadEdges(IniFiles& ini, const std::string& file, const std::string& player) {
    auto edge = [&](const char* side) -> std::optional<double> {
        const auto value = ParseNumber(ReadIniValue(ini, file, "Aim", player + side, false));
        if (!value || !(std::fabs(*value) <= kFarthestEdge)) return std::nullopt;
        return value;
    };
    const auto left = edge("Left"), top = edge("Top"), right = edge("Right"), bottom = edge("Bottom");
    if (!left || !top || !right || !bottom) return std::nullopt;
    const DeviceEdges edges{*left, *top, *right, *bottom};
    if (!IsUsableCalibration(edges)) return std::nullopt;
    return edges;
}

}  // namespace

bool IsUsableCalibration(const DeviceEdges& e) {
    for (double v : {e.left, e.top, e.right, e.bottom}) {
        if (!(std::fabs(v) <= kFarthestEdge)) return false;  // NaN too
    }
    return e.left != e.right && e.top != e.bottom;
}

AimSettings ReadAimSettings(IniFiles& ini, const std::string& file) {
    AimSettings aim;
    const std::string area = ReadIniValue(ini, file, "Aim", "Area", false);
    if (!TrimBlanks(area).empty()) {
        if (const auto kind = ParseAimAreaKind(area)) {
            aim.area = *kind;
        } else {
            aim.notes.push_back("Aim: Area=" + area + " is not known; the aim covers the primary screen");
        }
    }
    const std::string aspect = ReadIniValue(ini, file, "Aim", "Aspect", false);
    if (!TrimBlanks(aspect).empty()) {
        if (const auto ratio = ParseAspectRatio(aspect)) {
            aim.aspect = *ratio;
        } else {
            aim.notes.push_back("Aim: Aspect=" + aspect + " is not W:H; the picture is taken as 4:3");
        }
    }
    for (std::size_t p = 0; p < 2; ++p) {
        const std::string player = "Player" + std::to_string(p + 1);
        aim.calibrated[p] = ReadEdges(ini, file, player);
        if (aim.area == AimAreaKind::Calibrated && !aim.calibrated[p]) {
            aim.notes.push_back("Aim: " + player + " is not calibrated; its aim covers the primary screen");
        }
    }
    return aim;
}

bool SaveCalibration(IniFiles& ini, const std::string& file, std::size_t player, const DeviceEdges& edges) {
    const std::string prefix = "Player" + std::to_string(player + 1);
    // Six decimals: a millionth of the screen, far below a pixel; a point whatever the user's locale.
    auto text = [](double value) {
        char buffer[32];
        std::snprintf(buffer, sizeof buffer, "%.6f", value);
        return std::string(buffer);
    };
    return WriteIniValue(ini, file, "Aim", "Area", "Calibrated") &&
           WriteIniValue(ini, file, "Aim", prefix + "Left", text(edges.left)) &&
           WriteIniValue(ini, file, "Aim", prefix + "Top", text(edges.top)) &&
           WriteIniValue(ini, file, "Aim", prefix + "Right", text(edges.right)) &&
           WriteIniValue(ini, file, "Aim", prefix + "Bottom", text(edges.bottom));
}

}  // namespace vt2
