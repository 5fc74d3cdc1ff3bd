#pragma once
// Where the game's picture is on the desktop, and a player's aim as fractions of it: 0 and 1 at
// its edges, beyond them outside. Every rectangle is in physical pixels of the virtual desktop
// (whose origin is the primary screen's top-left corner, so a monitor left of it has negative x).

#include <optional>
#include <string_view>

#include "platform/desktop_rect.h"

namespace vt2 {

// A point of the desktop, in pixels, with the fractions a device or a rectangle can give.
struct DesktopPoint {
    double x = 0, y = 0;
};

struct AimFractions {
    double x = 0, y = 0;
    bool operator==(const AimFractions&) const = default;
};

// Width to height of a game's picture, as in "4:3".
struct AspectRatio {
    int width = 4, height = 3;
    bool operator==(const AspectRatio&) const = default;
};

// "W:H" with two whole numbers above 0 (blanks allowed around them); none for anything else.
std::optional<AspectRatio> ParseAspectRatio(std::string_view text);

// The largest rectangle of that aspect centred in the client area: the picture between the bars.
// An empty client area gives an empty picture at its corner.
PixelRect PictureInside(const PixelRect& client, AspectRatio aspect);

// The fractions of the area at which the point lies; an empty area gives none.
std::optional<AimFractions> FractionsOfArea(DesktopPoint point, const PixelRect& area);

// The desktop point at the area's fractions (0 its left or top edge, 1 its right or bottom edge).
DesktopPoint PointOfArea(AimFractions fractions, const PixelRect& area);

// An absolute device's position (0..65535 on each axis, as raw input and SendInput define it) on
// the desktop: across the whole virtual desktop when the device says so, else across the primary
// screen.
DesktopPoint AbsoluteOnDesktop(int normalisedX, int normalisedY, bool acrossVirtualDesktop, const PixelRect& primary,
                               const PixelRect& virtualDesktop);

// A calibration's result for one axis pair: where the device reads the area's edges, in the
// device's own fractions (left may lie beyond right: a gun mounted upside down reads backwards).
struct DeviceEdges {
    double left = 0, top = 0, right = 1, bottom = 1;
    bool operator==(const DeviceEdges&) const = default;
};

// The device's edges from two targets shown at known fractions of the area and what the device
// read at each. None when the readings do not tell the axes apart (closer on an axis than a tenth
// of what the targets lie apart, as two shots at one place are) or the targets share an axis.
inline constexpr double kCalibrationMinimumSpread = 0.1;
std::optional<DeviceEdges> CalibrateFromTwoTargets(AimFractions target1, AimFractions reading1, AimFractions target2,
                                                   AimFractions reading2);

// A reading of the device as fractions of the area, through the calibrated edges; none when an
// axis' two edges coincide (edges that no calibration gives, as a hand-edited file may hold).
std::optional<AimFractions> ThroughEdges(AimFractions reading, const DeviceEdges& edges);

}  // namespace vt2
