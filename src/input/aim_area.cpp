#include "input/aim_area.h"

#include <charconv>
#include <cmath>

#include "common/text.h"

namespace vt2 {

namespace {

std::optional<int> WholeNumberAboveZero(std::string_view text) {
    const std::string trimmed = TrimBlanks(std::string(text));
    int value = 0;
    const char* end = trimmed.data() + trimmed.size();
    const auto [at, error] = std::from_chars(trimmed.data(), end, value);
    if (trimmed.empty() || error != std::errc() || at != end || value <= 0) return std::nullopt;
    return value;
}

// One axis of a calibration: the reading where the area's fraction is 0 and where it is 1.
std::optional<std::pair<double, double>> AxisEdges(double target1, double reading1, double target2, double reading2) {
    constexpr double kApart = 1e-6;
    if (std::fabs(target2 - target1) < kApart) return std::nullopt;
    // Readings closer than this part of what the targets lie apart would magnify the aim more
    // than tenfold (two shots a millionth apart once magnified it 50,000 times): no calibration.
    if (!(std::fabs(reading2 - reading1) >= kCalibrationMinimumSpread * std::fabs(target2 - target1))) return std::nullopt;
    const double readingPerFraction = (reading2 - reading1) / (target2 - target1);
    return std::pair{reading1 - target1 * readingPerFraction, reading1 + (1.0 - target1) * readingPerFraction};
}

}  // namespace

std::optional<AspectRatio> ParseAspectRatio(std::string_view text) {
    const std::size_t colon = text.find(':');
    if (colon == std::string_view::npos) return std::nullopt;
    const std::optional<int> width = WholeNumberAboveZero(text.substr(0, colon));
    const std::optional<int> height = WholeNumberAboveZero(text.substr(colon + 1));
    if (!width || !height) return std::nullopt;
    return AspectRatio{*width, *height};
}

PixelRect PictureInside(const PixelRect& client, AspectRatio aspect) {
    const int width = client.width(), height = client.height();
    if (width <= 0 || height <= 0) return {client.left, client.top, client.left, client.top};
    // Wider than the picture: bars at the sides; else bars above and below. Whole pixels, rounded
    // down, so that the picture never leaves the client area.
    const long long wide = static_cast<long long>(width) * aspect.height;
    const long long tall = static_cast<long long>(height) * aspect.width;
    int pictureWidth = width, pictureHeight = height;
    if (wide > tall) pictureWidth = static_cast<int>(tall / aspect.height);
    if (wide < tall) pictureHeight = static_cast<int>(wide / aspect.width);
    const int left = client.left + (width - pictureWidth) / 2;
    const int top = client.top + (height - pictureHeight) / 2;
    return {left, top, left + pictureWidth, top + pictureHeight};
}

std::optional<AimFractions> FractionsOfArea(DesktopPoint point, const PixelRect& area) {
    if (area.width() <= 0 || area.height() <= 0) return std::nullopt;
    return AimFractions{(point.x - area.left) / area.width(), (point.y - area.top) / area.height()};
}

DesktopPoint PointOfArea(AimFractions fractions, const PixelRect& area) {
    return {area.left + fractions.x * area.width(), area.top + fractions.y * area.height()};
}

DesktopPoint AbsoluteOnDesktop(int normalisedX, int normalisedY, bool acrossVirtualDesktop, const PixelRect& primary,
                               const PixelRect& virtualDesktopRect) {
    const PixelRect& across = acrossVirtualDesktop ? virtualDesktopRect : primary;
    constexpr double kFull = 65535.0;
    return {across.left + normalisedX / kFull * across.width(), across.top + normalisedY / kFull * across.height()};
}

std::optional<DeviceEdges> CalibrateFromTwoTargets(AimFractions target1, AimFractions reading1, AimFractions target2,
                                                   AimFractions reading2) {
    const auto x = AxisEdges(target1.x, reading1.x, target2.x, reading2.x);
    const auto y = AxisEdges(target1.y, reading1.y, target2.y, reading2.y);
    if (!x || !y) return std::nullopt;
    return DeviceEdges{x->first, y->first, x->second, y->second};
}

std::optional<AimFractions> ThroughEdges(AimFractions reading, const DeviceEdges& edges) {
    const double width = edges.right - edges.left, height = edges.bottom - edges.top;
    if (width == 0.0 || height == 0.0) return std::nullopt;
    return AimFractions{(reading.x - edges.left) / width, (reading.y - edges.top) / height};
}

}  // namespace vt2
