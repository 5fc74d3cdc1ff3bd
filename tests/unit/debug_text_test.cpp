#include <gtest/gtest.h>

#include "engine/debug_text.h"
#include "support/fake_platform.h"

namespace vt2::test {
namespace {

class DebugText : public ::testing::Test {
protected:
    std::string label(MainWindowLabel which) { return sys.mainWindow.labels[which]; }
    PlayerValues& now(std::size_t p) { return sys.engine.state.players[p].current; }
    FakeSystem sys;
};

TEST_F(DebugText, TheLightGunLayoutLineByLine) {
    sys.engine.state.settings.players[kPlayer2].Enable = 1;
    now(0).X = 0.25f;
    now(0).Y = 0.75f;
    now(0).Trigger = 1;
    now(1).X = 1.0f / 3.0f;
    now(1).Coin = 1;
    BuildDebugText(sys.engine);
    EXPECT_EQ(label(MainWindowLabel::Player1),
              "Player 1:  (NC)\r\nX:  0.25\r\nY:  0.75\r\n\r\nTrigger:  1\r\nReload:  0\r\nStart:  0\r\nCoin:  0");
    EXPECT_EQ(label(MainWindowLabel::Player2),
              "Player 2:\r\nX:  0.3333333\r\nY:  0\r\n\r\nTrigger:  0\r\nReload:  0\r\nStart:  0\r\nCoin:  1");
}

TEST_F(DebugText, TheTwinStickLayoutLineByLine) {
    sys.engine.state.descriptor.GameType = "VON";
    TwinStickTable& states = sys.engine.state.players.TwinStickStates;
    states[6] = 1;
    states[15] = 1;
    now(1).Start = 1;
    BuildDebugText(sys.engine);
    EXPECT_EQ(label(MainWindowLabel::Player1), "Left Stick:\r\n\r\nUp:  0\r\nDown:  0\r\nLeft:  0\r\nRight:  0\r\n"
                                               "Shot:  1\r\nDash:  0\r\nStart:  0\r\nCoin:  0");
    EXPECT_EQ(label(MainWindowLabel::Player2), "Right Stick:\r\n\r\nUp:  1\r\nDown:  0\r\nLeft:  0\r\nRight:  0\r\n"
                                               "Shot:  0\r\nDash:  0\r\nStart:  1\r\nCoin:  0");
}

TEST_F(DebugText, AnotherGameTypeLeavesThePlayerLabelsAlone) {
    sys.engine.state.descriptor.GameType = "von";
    BuildDebugText(sys.engine);
    EXPECT_EQ(sys.mainWindow.labels.count(MainWindowLabel::Player1), 0u);
}

TEST_F(DebugText, TheOutputsLabelOnlyWhileOutputsAreActive) {
    OutputTable& table = sys.engine.state.outputs;
    table.rows = {OutputRow{}, OutputRow{}};
    table.rows[0].name = "lamp";
    table.rows[1].name = "gun";
    table.rows[1].last = {1, false};
    sys.mainWindow.labels[MainWindowLabel::Outputs] = "before";
    BuildDebugText(sys.engine);
    EXPECT_EQ(label(MainWindowLabel::Outputs), "before");
    sys.engine.state.OutputsActive = 1;
    BuildDebugText(sys.engine);
    EXPECT_EQ(label(MainWindowLabel::Outputs), "Outputs:\r\n\r\nlamp=0\r\ngun=1");
    table.rows[0].last = {0.5, true};
    BuildDebugText(sys.engine);
    EXPECT_EQ(label(MainWindowLabel::Outputs), "Outputs:\r\n\r\nlamp=0.5\r\ngun=1");
}

}  // namespace
}  // namespace vt2::test
