#include <gtest/gtest.h>

#include "input/aim_settings.h"
#include "input/player_settings.h"
#include "support/fake_platform.h"

namespace vt2::test {
namespace {

class AimSettingsFile : public ::testing::Test {
protected:
    AimSettings read(const std::string& aim) {
        sys.folder.writeFile("joycfg\\g.ini", "[Player1]\r\nEnable=1\r\n" + aim);
        return ReadAimSettings(sys.ini, sys.folder.path() + "\\joycfg\\g.ini");
    }
    FakeSystem sys;
};

TEST_F(AimSettingsFile, AFileWithoutTheSectionAimsAtThePrimaryScreenAsBefore) {
    EXPECT_EQ(read(""), AimSettings{});
    sys.folder.writeFile("joycfg\\g.ini", "[Player1]\r\nEnable=1\r\n");
    EXPECT_EQ(ReadPlayerSettings(sys.ini, sys.folder.path() + "\\joycfg\\g.ini", "").aim, AimSettings{});
}

TEST_F(AimSettingsFile, TheAreaIsNamedWithoutRegardToCaseAndAnUnknownOneIsTheScreenWithANote) {
    struct Case {
        const char* text;
        AimAreaKind area;
        bool noted;
    };
    for (const Case c : {Case{"Window", AimAreaKind::Window, false}, Case{" picture ", AimAreaKind::Picture, false},
                         Case{"SCREEN", AimAreaKind::Screen, false}, Case{"", AimAreaKind::Screen, false},
                         Case{"Bars", AimAreaKind::Screen, true}}) {
        const AimSettings aim = read(std::string("[Aim]\r\nArea=") + c.text + "\r\n");
        EXPECT_EQ(aim.area, c.area) << c.text;
        EXPECT_EQ(aim.notes.size(), c.noted ? 1u : 0u) << c.text;
    }
    const AimSettings wide = read("[Aim]\r\nArea=Picture\r\nAspect=16:9\r\n");
    EXPECT_EQ(wide.aspect, (AspectRatio{16, 9}));
    const AimSettings bad = read("[Aim]\r\nArea=Picture\r\nAspect=wide\r\n");
    EXPECT_EQ(bad.aspect, (AspectRatio{4, 3}));
    EXPECT_EQ(bad.notes, (std::vector<std::string>{"Aim: Aspect=wide is not W:H; the picture is taken as 4:3"}));
}

TEST_F(AimSettingsFile, APlayersCalibrationNeedsAllFourEdgesAndTwoApartOnEachAxis) {
    const AimSettings aim = read(
        "[Aim]\r\nArea=Calibrated\r\nPlayer1Left=0.03\r\nPlayer1Top=-0.02\r\nPlayer1Right=0.98\r\nPlayer1Bottom=1.01\r\n"
        "Player2Left=1\r\nPlayer2Top=0\r\nPlayer2Right=0\r\n");
    EXPECT_EQ(aim.area, AimAreaKind::Calibrated);
    EXPECT_EQ(aim.calibrated[0], (DeviceEdges{0.03, -0.02, 0.98, 1.01}));
    EXPECT_EQ(aim.calibrated[1], std::nullopt);  // no bottom edge
    EXPECT_EQ(aim.notes, (std::vector<std::string>{"Aim: Player2 is not calibrated; its aim covers the primary screen"}));

    const AimSettings upsideDown = read(
        "[Aim]\r\nArea=Calibrated\r\nPlayer1Left=1\r\nPlayer1Top=1\r\nPlayer1Right=0\r\nPlayer1Bottom=0\r\n"
        "Player2Left=0.5\r\nPlayer2Top=0\r\nPlayer2Right=0.5\r\nPlayer2Bottom=1\r\n");
    EXPECT_EQ(upsideDown.calibrated[0], (DeviceEdges{1, 1, 0, 0}));
    EXPECT_EQ(upsideDown.calibrated[1], std::nullopt);  // both edges of X at one place

    // Edges a file made absurd (far beyond the screens, or a number too long to be finite) are
    // no calibration: they would send the aim and the cursor to no pixel at all.
    const std::string huge(400, '9');
    const AimSettings absurd = read("[Aim]\r\nArea=Calibrated\r\nPlayer1Left=-1000\r\nPlayer1Top=0\r\nPlayer1Right=1000\r\n"
                                    "Player1Bottom=1\r\nPlayer2Left=" + huge + "\r\nPlayer2Top=0\r\nPlayer2Right=0\r\n"
                                    "Player2Bottom=1\r\n");
    EXPECT_EQ(absurd.calibrated[0], (DeviceEdges{-1000, 0, 1000, 1}));  // the farthest taken
    EXPECT_EQ(absurd.calibrated[1], std::nullopt);
}

}  // namespace
}  // namespace vt2::test
