#include <gtest/gtest.h>

#include "input/aim_area.h"

namespace vt2::test {
namespace {

TEST(AimArea, AnAspectIsTwoWholeNumbersAboveZeroAroundAColon) {
    EXPECT_EQ(ParseAspectRatio("4:3"), (AspectRatio{4, 3}));
    EXPECT_EQ(ParseAspectRatio(" 16 : 9 "), (AspectRatio{16, 9}));
    for (const char* bad : {"", "4", ":3", "4:", "4:0", "0:3", "-4:3", "4.5:3", "4:3:1", "a:b", "+4:3", "4x3"}) {
        EXPECT_EQ(ParseAspectRatio(bad), std::nullopt) << bad;
    }
}

TEST(AimArea, ThePictureIsTheLargestOfItsAspectCentredInTheClientArea) {
    struct Case {
        PixelRect client;
        AspectRatio aspect;
        PixelRect picture;
    };
    const Case cases[] = {
        {{100, 50, 1380, 770}, {4, 3}, {260, 50, 1220, 770}},        // wide window: bars at the sides
        {{0, 0, 640, 1000}, {4, 3}, {0, 260, 640, 740}},              // tall window: bars above and below
        {{0, 0, 640, 480}, {4, 3}, {0, 0, 640, 480}},                 // the picture fills it
        {{-1920, -200, 0, 880}, {4, 3}, {-1680, -200, -240, 880}},    // a monitor left of and above the primary
        {{0, 0, 2880, 1620}, {16, 9}, {0, 0, 2880, 1620}},            // 150 % of 1920 x 1080, in physical pixels
        {{0, 0, 1000, 501}, {2, 1}, {0, 0, 1000, 500}},               // whole pixels, never outside the client
        {{10, 20, 10, 300}, {4, 3}, {10, 20, 10, 20}},                // a window with no width: nothing to aim at
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PictureInside(c.client, c.aspect), c.picture) << c.client.left << "," << c.client.top;
    }
}

TEST(AimArea, FractionsAreZeroAndOneAtTheEdgesAndGoOnOutside) {
    const PixelRect area{260, 50, 1220, 770};
    EXPECT_EQ(FractionsOfArea({260, 50}, area), (AimFractions{0, 0}));
    EXPECT_EQ(FractionsOfArea({1220, 770}, area), (AimFractions{1, 1}));
    EXPECT_EQ(FractionsOfArea({740, 410}, area), (AimFractions{0.5, 0.5}));
    EXPECT_EQ(FractionsOfArea({20, 1130}, area), (AimFractions{-0.25, 1.5}));
    const DesktopPoint back = PointOfArea({-0.25, 1.5}, area);
    EXPECT_DOUBLE_EQ(back.x, 20);
    EXPECT_DOUBLE_EQ(back.y, 1130);
    EXPECT_EQ(FractionsOfArea({5, 5}, PixelRect{5, 5, 5, 100}), std::nullopt);
}

TEST(AimArea, AnAbsoluteDeviceSpansThePrimaryScreenOrTheVirtualDesktopWhenItSaysSo) {
    const PixelRect primary{0, 0, 1920, 1080};
    const PixelRect desktop{-1920, -120, 1920, 1080};  // a second monitor left of the primary, set higher
    struct Case {
        int x, y;
        bool virtualDesktop;
        double desktopX, desktopY;
    };
    for (const Case c : {Case{0, 0, false, 0, 0}, Case{65535, 65535, false, 1920, 1080}, Case{0, 0, true, -1920, -120},
                         Case{65535, 65535, true, 1920, 1080}, Case{32768, 0, true, 1920.0 * 2 * 32768 / 65535 - 1920, -120}}) {
        const DesktopPoint at = AbsoluteOnDesktop(c.x, c.y, c.virtualDesktop, primary, desktop);
        EXPECT_DOUBLE_EQ(at.x, c.desktopX) << c.x << " " << c.virtualDesktop;
        EXPECT_DOUBLE_EQ(at.y, c.desktopY) << c.y << " " << c.virtualDesktop;
    }
}

TEST(AimArea, TwoTargetsGiveTheEdgesThatPutEveryReadingWhereTheGunPoints) {
    const AimFractions topLeft{0.1, 0.1}, bottomRight{0.9, 0.9};
    struct Gun {
        const char* what;
        double scale, offset;  // the reading of a point at fraction f: offset + scale * f, on both axes
    };
    for (const Gun gun : {Gun{"exact", 1, 0}, Gun{"a few percent off", 0.95, 0.03}, Gun{"upside down", -1, 1},
                          Gun{"reads far beyond the area", 2.5, -0.7}}) {
        auto read = [&](AimFractions at) { return AimFractions{gun.offset + gun.scale * at.x, gun.offset + gun.scale * at.y}; };
        const std::optional<DeviceEdges> edges = CalibrateFromTwoTargets(topLeft, read(topLeft), bottomRight, read(bottomRight));
        ASSERT_TRUE(edges) << gun.what;
        for (const AimFractions point : {AimFractions{0.5, 0.5}, AimFractions{0, 1}, AimFractions{-0.2, 1.3}}) {
            const std::optional<AimFractions> seen = ThroughEdges(read(point), *edges);
            ASSERT_TRUE(seen) << gun.what;
            EXPECT_NEAR(seen->x, point.x, 1e-9) << gun.what;
            EXPECT_NEAR(seen->y, point.y, 1e-9) << gun.what;
        }
    }
    // A gun that read the same at both targets, or targets on one line, tells nothing; nor do
    // readings closer than a tenth of the targets' spread (0.08 here) on either axis.
    EXPECT_EQ(CalibrateFromTwoTargets(topLeft, {0.4, 0.4}, bottomRight, {0.4, 0.7}), std::nullopt);
    const struct {
        AimFractions second;
        bool taken;
    } spreads[] = {
        {{0.4 + 1e-6, 0.7}, false},  // a millionth apart: the aim magnified 800,000 times
        {{0.479, 0.7}, false},
        {{0.4, 0.479}, false},
        {{0.481, 0.481}, true},      // just over a tenth: ten times
        {{0.319, 0.7}, true},        // the other way round (a gun upside down)
    };
    for (const auto& c : spreads) {
        EXPECT_EQ(CalibrateFromTwoTargets(topLeft, {0.4, 0.4}, bottomRight, c.second).has_value(), c.taken)
            << c.second.x << "," << c.second.y;
    }
    EXPECT_EQ(CalibrateFromTwoTargets(topLeft, {0.1, 0.1}, {0.1, 0.9}, {0.3, 0.9}), std::nullopt);
    EXPECT_EQ(ThroughEdges({0.5, 0.5}, DeviceEdges{0.2, 0.1, 0.2, 0.9}), std::nullopt);
}

}  // namespace
}  // namespace vt2::test
