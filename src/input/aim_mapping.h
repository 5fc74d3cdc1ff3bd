#pragma once
// A device's reading as the player's aim, through the aim's area as the run knows it now, and the
// point of the desktop that an aim stands for (where player 1's system cursor goes).

#include <array>
#include <cstddef>
#include <optional>

#include "input/aim_area.h"
#include "input/aim_settings.h"

namespace vt2 {

// The run refreshes it from the game's window; the mice read it when a report comes.
struct AimGeometry {
    AimAreaKind kind = AimAreaKind::Screen;
    PixelRect area;            // Window and Picture: where the picture is now; empty until known
    PixelRect primary;         // the primary screen, at the desktop's origin
    PixelRect virtualDesktop;  // every monitor
    std::array<std::optional<DeviceEdges>, 2> calibrated;  // per player, from the settings
    bool operator==(const AimGeometry&) const = default;
};

// The geometry of the settings' kind before any window is known: the area is the primary screen.
AimGeometry GeometryOf(const AimSettings& settings, const PixelRect& primary, const PixelRect& virtualDesktop);

// The area whose fractions a player's aim is; none when the aim is a fraction of the primary
// screen as without an [Aim] section (Screen, a window not found yet, a player not calibrated).
std::optional<PixelRect> PlayerArea(const AimGeometry& geometry, std::size_t player);

// An absolute device's position (0..65535 on each axis; across the virtual desktop when the device
// says so, else the primary screen) as fractions of the player's area, outside 0..1 beyond it.
AimFractions AbsoluteAim(const AimGeometry& geometry, std::size_t player, int normalisedX, int normalisedY,
                         bool acrossVirtualDesktop);

// A relative device's position, kept in 0..1 of the primary screen for a calibrated player and in
// 0..1 of the area for everyone else, as the player's aim.
AimFractions RelativeAim(const AimGeometry& geometry, std::size_t player, AimFractions reading);

// Whether the player's relative motion is kept apart from the aim (a calibrated player's aim is
// worked out from it) rather than moving the aim itself.
bool RelativeReadingApart(const AimGeometry& geometry, std::size_t player);

// The whole pixel of the area at the aim: 0 its left (top) pixel, 1 its right (bottom) one, and
// the pixels of its edges for an aim beyond them.
std::array<int, 2> PixelOfArea(AimFractions aim, const PixelRect& area);

// The whole pixel of the desktop where player 1's aim points, inside the area (0 its left pixel, 1
// its right one). None for the primary screen, whose cursor placement is the run's own.
std::optional<std::array<int, 2>> CursorPixel(const AimGeometry& geometry, AimFractions aim);

// Where player 1's system cursor is kept while it shows the aim: the area, when the cursor is put
// on a point of it (a window or picture, not calibrated: a calibrated aim may point off it). None
// for the whole screen.
std::optional<PixelRect> CursorConfinement(const AimGeometry& geometry);

// Outside the area on either axis.
inline bool OffThePicture(AimFractions aim) { return aim.x < 0.0 || aim.x > 1.0 || aim.y < 0.0 || aim.y > 1.0; }

}  // namespace vt2
