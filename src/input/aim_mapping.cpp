#include "input/aim_mapping.h"

#include <algorithm>
#include <cmath>

#include "common/numbers.h"

namespace vt2 {

namespace {
constexpr double kFullScale = 65535.0;

// The desktop rectangle a calibrated player's edges stand for: fractions of the primary screen.
PixelRect EdgesOnPrimary(const DeviceEdges& edges, const PixelRect& primary) {
    auto at = [](double fraction, int size) { return static_cast<int>(std::lround(fraction * size)); };
    return PixelRect{at(std::min(edges.left, edges.right), primary.width()), at(std::min(edges.top, edges.bottom), primary.height()),
                     at(std::max(edges.left, edges.right), primary.width()), at(std::max(edges.top, edges.bottom), primary.height())};
}

const DeviceEdges* EdgesOf(const AimGeometry& geometry, std::size_t player) {
    if (geometry.kind != AimAreaKind::Calibrated || player >= geometry.calibrated.size()) return nullptr;
    const auto& edges = geometry.calibrated[player];
    return edges ? &*edges : nullptr;
}

// Clamped before it becomes an int: an aim far off (or not a number, from edges a hand-edited
// file made absurd) must not overflow the conversion.
int ClampedPixel(double at, int first, int pastLast) {
    const int last = std::max(first, pastLast - 1);
    if (!(at >= first)) return first;
    if (at >= last) return last;
    return static_cast<int>(RoundHalfEven(at));
}
}  // namespace

AimGeometry GeometryOf(const AimSettings& settings, const PixelRect& primary, const PixelRect& virtualDesktop) {
    AimGeometry g;
    g.kind = settings.area;
    g.primary = primary;
    g.virtualDesktop = virtualDesktop;
    g.calibrated = settings.calibrated;
    return g;
}

std::optional<PixelRect> PlayerArea(const AimGeometry& geometry, std::size_t player) {
    switch (geometry.kind) {
    case AimAreaKind::Window:
    case AimAreaKind::Picture:
        if (geometry.area.empty()) return std::nullopt;
        return geometry.area;
    case AimAreaKind::Calibrated:
        if (const DeviceEdges* edges = EdgesOf(geometry, player)) return EdgesOnPrimary(*edges, geometry.primary);
        return std::nullopt;
    case AimAreaKind::Screen:
        break;
    }
    return std::nullopt;
}

AimFractions AbsoluteAim(const AimGeometry& geometry, std::size_t player, int normalisedX, int normalisedY,
                         bool acrossVirtualDesktop) {
    const AimFractions reading{normalisedX / kFullScale, normalisedY / kFullScale};
    // A calibration took the device's own readings, whatever they are fractions of.
    if (const DeviceEdges* edges = EdgesOf(geometry, player)) {
        if (const auto aim = ThroughEdges(reading, *edges)) return *aim;
        return reading;
    }
    const bool ownArea = (geometry.kind == AimAreaKind::Window || geometry.kind == AimAreaKind::Picture) &&
                         !geometry.area.empty();
    if (!ownArea && !acrossVirtualDesktop) return reading;  // the primary screen, as without an area
    const DesktopPoint point =
        AbsoluteOnDesktop(normalisedX, normalisedY, acrossVirtualDesktop, geometry.primary, geometry.virtualDesktop);
    const PixelRect& area = ownArea ? geometry.area : geometry.primary;
    return FractionsOfArea(point, area).value_or(reading);
}

AimFractions RelativeAim(const AimGeometry& geometry, std::size_t player, AimFractions reading) {
    if (const DeviceEdges* edges = EdgesOf(geometry, player)) return ThroughEdges(reading, *edges).value_or(reading);
    return reading;
}

bool RelativeReadingApart(const AimGeometry& geometry, std::size_t player) { return EdgesOf(geometry, player) != nullptr; }

std::optional<std::array<int, 2>> CursorPixel(const AimGeometry& geometry, AimFractions aim) {
    const DeviceEdges* edges = EdgesOf(geometry, 0);
    if (edges != nullptr) {
        // Where the device reads: the calibrated edges are fractions of the primary screen.
        const PixelRect& screen = geometry.primary;
        const double x = (edges->left + aim.x * (edges->right - edges->left)) * screen.width();
        const double y = (edges->top + aim.y * (edges->bottom - edges->top)) * screen.height();
        return std::array<int, 2>{ClampedPixel(x, screen.left, screen.right), ClampedPixel(y, screen.top, screen.bottom)};
    }
    const auto area = PlayerArea(geometry, 0);
    if (!area) return std::nullopt;
    return PixelOfArea(aim, *area);
}

std::optional<PixelRect> CursorConfinement(const AimGeometry& geometry) {
    if (EdgesOf(geometry, 0) != nullptr) return std::nullopt;
    return PlayerArea(geometry, 0);
}

std::array<int, 2> PixelOfArea(AimFractions aim, const PixelRect& area) {
    // The right and bottom pixels are the last inside, so that 1 lands on the picture, not past it.
    const double x = area.left + aim.x * (area.width() - 1);
    const double y = area.top + aim.y * (area.height() - 1);
    return {ClampedPixel(x, area.left, area.right), ClampedPixel(y, area.top, area.bottom)};
}

}  // namespace vt2
