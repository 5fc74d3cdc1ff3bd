#include <gtest/gtest.h>

#include "input/device_reading.h"
#include "support/fake_platform.h"

namespace vt2::test {
namespace {

constexpr std::int16_t kDown = static_cast<std::int16_t>(0x8000);

class DeviceReading : public ::testing::Test {
protected:
    void SetUp() override {
        PlayerSettings& s = sys.engine.state.settings;
        s.KeysEnabled = 1;
        s.P1StartKey = 49;
        s.P2StartKey = 50;
        s.P1CoinKey = 53;
        s.P2CoinKey = -1;
        s.P1EscKey = 27;
        s.P2EscKey = 300;
    }
    void pass() {
        HookState& s = sys.engine.state;
        ReadKeyboardKeys(sys.keyboard, s.settings, IsTwinStickGame(s), s.players);
        CombineButtonSources(s.settings, IsTwinStickGame(s), s.players);
    }
    PlayerValues& player(std::size_t i) { return sys.engine.state.players[i].current; }
    FakeSystem sys;
};

TEST_F(DeviceReading, TheKeyStateRule) {
    FakeKeyboard& k = sys.keyboard;
    k.states = {{1, kDown}, {2, static_cast<std::int16_t>(kDown | 1)}, {3, 1}, {4, 0}, {5, 2}, {6, -1}};
    EXPECT_EQ(KeyIsDown(k, 1), 1);
    EXPECT_EQ(KeyIsDown(k, 2), 1);
    EXPECT_EQ(KeyIsDown(k, 3), 0);  // toggled only
    EXPECT_EQ(KeyIsDown(k, 4), 0);
    EXPECT_EQ(KeyIsDown(k, 5), 1);
    EXPECT_EQ(KeyIsDown(k, 6), 1);
    k.reads.clear();
    EXPECT_EQ(KeyIsDown(k, -1), 0);
    EXPECT_EQ(KeyIsDown(k, 0), 0);
    EXPECT_EQ(KeyIsDown(k, 256), 0);
    EXPECT_TRUE(k.reads.empty());  // no key is asked for a code that is none
}

TEST_F(DeviceReading, KeysAloneWhenTheDeviceButtonsDoNotCount) {
    sys.keyboard.states = {{49, kDown}, {27, kDown}};
    player(0).CoinDevice = 1;  // a light gun's button: does not count
    pass();
    EXPECT_EQ(player(0).Start, 1);
    EXPECT_EQ(player(0).Esc, 1);
    EXPECT_EQ(player(0).Coin, 0);
    EXPECT_EQ(player(1).Start, 0);
    EXPECT_EQ(sys.keyboard.reads, (std::vector<int>{49, 50, 53, 27}));
}

TEST_F(DeviceReading, DeviceOrKeyEitherPresses) {
    sys.engine.state.settings.DeviceButtonsCount = true;
    player(1).StartDevice = 1;
    sys.keyboard.states = {{53, kDown}};
    pass();
    EXPECT_EQ(player(1).Start, 1);
    EXPECT_EQ(player(0).Coin, 1);
    sys.keyboard.states.clear();
    player(1).StartDevice = 0;
    pass();
    EXPECT_EQ(player(1).Start, 0);
    EXPECT_EQ(player(0).Coin, 0);
}

TEST_F(DeviceReading, KeysDisabledAreNeverReadAndNeverPress) {
    sys.engine.state.settings.KeysEnabled = 0;
    sys.engine.state.players.keyStates.P1Start = 1;  // a stale state from before does not count either
    sys.keyboard.states = {{49, kDown}};
    pass();
    EXPECT_TRUE(sys.keyboard.reads.empty());
    EXPECT_EQ(player(0).Start, 0);
}

TEST_F(DeviceReading, NeitherSourceLeavesTheFinalStatesAtZero) {
    sys.engine.state.settings.KeysEnabled = 0;
    player(0).EscDevice = 1;
    pass();
    EXPECT_EQ(player(0).Esc, 0);
}

TEST_F(DeviceReading, TheTwinStickStatesAreKeysOrJoysticks) {
    sys.engine.state.descriptor.GameType = "VON";
    PlayerSettings& s = sys.engine.state.settings;
    PlayerState& p = sys.engine.state.players;
    s.TwinStickKeyMap = {0, 53, 53, 84, 83, 49, 65, 66, 67, 68, 69, 70, 71, 72, 73, 74, 75, -1};
    p.TwinStickJoyStates[7] = 1;
    p.TwinStickJoyStates[17] = 1;
    sys.keyboard.states = {{65, kDown}, {53, kDown}};
    pass();
    EXPECT_EQ(p.TwinStickStates[6], 1);
    EXPECT_EQ(p.TwinStickStates[7], 1);
    EXPECT_EQ(p.TwinStickStates[1], 1);
    EXPECT_EQ(p.TwinStickStates[2], 1);
    EXPECT_EQ(p.TwinStickStates[17], 1);
    EXPECT_EQ(p.TwinStickStates[8], 0);
}

TEST_F(DeviceReading, TheTwinStickKeysAreIgnoredWithKeysOff) {
    sys.engine.state.descriptor.GameType = "VON";
    PlayerSettings& s = sys.engine.state.settings;
    PlayerState& p = sys.engine.state.players;
    s.KeysEnabled = 0;
    s.TwinStickKeyMap[6] = 65;
    p.TwinStickJoyStates[12] = 1;
    sys.keyboard.states = {{65, kDown}};
    pass();
    EXPECT_EQ(p.TwinStickStates[6], 0);
    EXPECT_EQ(p.TwinStickStates[12], 1);
}

}  // namespace
}  // namespace vt2::test
