#include <gtest/gtest.h>

#include "engine/input_devices.h"
#include "input/joysticks.h"
#include "support/fake_platform.h"

namespace vt2::test {
namespace {

class JoystickTest : public ::testing::Test {
protected:
    void SetUp() override {
        sys.joysticks.controllers = 2;
        AxisFlags all{};
        for (int i = 1; i <= 6; ++i) all[static_cast<std::size_t>(i)] = true;
        sys.joysticks.axes = {all, all};
        PlayerSettings& s = sys.engine.state.settings;
        for (PlayerConfig& p : s.players) {
            p.Enable = 1;
            p.InputType = "joystick";
            p.TriggerButton = 0;
            p.ReloadButton = 1;
            p.StartButton = 2;
            p.CoinButton = -1;
            p.EscButton = 31;
        }
        s.players[0].JoyID = 1;
        s.players[1].JoyID = 2;
    }
    Joysticks& joysticks() { return sys.engine.state.joysticks; }
    void event(std::size_t player, const JoystickState& state) {
        sys.joysticks.states[player] = state;
        callback(player == 0 ? 101 : 102);
    }
    bool callback(std::uintptr_t event) {
        HookState& s = sys.engine.state;
        return joysticks().DirectXEvent8_DXCallback(sys.joysticks, s.settings, IsTwinStickGame(s), s.players, event);
    }
    static JoystickState At(std::int32_t x, std::int32_t y) {
        JoystickState s;
        s.axes = {x, y, 5000, 5000, 5000, 5000};
        return s;
    }
    PlayerValues& player(std::size_t i) { return sys.engine.state.players[i].current; }
    FakeSystem sys;
};

TEST_F(JoystickTest, SetUpOrderForTwoPlayers) {
    LoadJoysticks(sys.engine);
    EXPECT_EQ(sys.log, (EventLog{"directinput", "enumerate", "create events", "unacquire 1", "unacquire 2", "forget 1",
                                 "create device 1 on 1", "identify axes 1", "attach event 1", "range 1 0..10000",
                                 "acquire 1", "forget 2", "create device 2 on 2", "identify axes 2", "attach event 2",
                                 "range 2 0..10000", "acquire 2", "label player1", "label player2"}));
}

TEST_F(JoystickTest, NoControllerSaysSoAndTurnsBothJoysticksOff) {
    sys.joysticks.controllers = 0;
    LoadJoysticks(sys.engine);
    EXPECT_EQ(sys.eventsStartingWith("message "), (std::vector<std::string>{"message No joystick attached."}));
    EXPECT_EQ(sys.engine.state.settings.players[0].JoyID, 0);
    EXPECT_EQ(sys.engine.state.settings.players[1].JoyID, 0);
    EXPECT_TRUE(sys.eventsStartingWith("create device").empty());
}

TEST_F(JoystickTest, NoJoyIdStopsBeforeEnumerating) {
    sys.engine.state.settings.players[0].JoyID = 0;
    sys.engine.state.settings.players[1].JoyID = 0;
    LoadJoysticks(sys.engine);
    EXPECT_EQ(sys.log, (EventLog{"directinput"}));
}

TEST_F(JoystickTest, AJoyIdBeyondTheControllersGetsNoDeviceAndNoMessage) {
    sys.engine.state.settings.players[1].JoyID = 5;
    LoadJoysticks(sys.engine);
    EXPECT_EQ(sys.indexOf("identify axes 2"), -1);
    EXPECT_TRUE(sys.eventsStartingWith("message").empty());
}

TEST_F(JoystickTest, ACentredStickAimsAtTheMiddleButtonsFollowTheirBytes) {
    LoadJoysticks(sys.engine);
    JoystickState s = At(5000, 10000);
    s.buttons[0] = 0x80;
    s.buttons[2] = 1;
    s.buttons[31] = 0x80;
    event(0, s);
    EXPECT_EQ(player(0).X, 0.5f);
    EXPECT_EQ(player(0).Y, 1.0f);
    EXPECT_EQ(player(0).Trigger, 1);
    EXPECT_EQ(player(0).Reload, 0);
    EXPECT_EQ(player(0).StartDevice, 1);
    EXPECT_EQ(player(0).EscDevice, 1);
    EXPECT_EQ(player(1).X, 0.0f);  // only the device of that event
}

TEST_F(JoystickTest, AButtonNumberOf32OrMoreLeavesItsFunctionAsItWas) {
    sys.engine.state.settings.players[0].TriggerButton = 32;
    LoadJoysticks(sys.engine);
    player(0).Trigger = 1;
    event(0, At(0, 0));
    EXPECT_EQ(player(0).Trigger, 1);
}

TEST_F(JoystickTest, WithoutAnXAxisIdentifiedLastNoPlayersXIsUpdated) {
    sys.joysticks.axes[1][1] = false;  // player 2's device, identified last, has no X axis
    LoadJoysticks(sys.engine);
    event(0, At(2500, 7500));
    EXPECT_EQ(player(0).X, 0.0f);
    EXPECT_EQ(player(0).Y, 0.75f);
}

TEST_F(JoystickTest, ALostDeviceIsAcquiredAgainAndTheEventSkipped) {
    LoadJoysticks(sys.engine);
    sys.log.clear();
    sys.joysticks.reads[0] = JoystickRead::InputLost;
    event(0, At(9000, 9000));
    EXPECT_EQ(sys.log, (EventLog{"acquire 1"}));
    EXPECT_EQ(player(0).X, 0.0f);
    sys.joysticks.reads[0] = JoystickRead::Failed;  // another failure applies nothing either
    event(0, At(9000, 9000));
    EXPECT_EQ(player(0).X, 0.0f);
}

TEST_F(JoystickTest, EventZeroMatchesNoDevice) {
    LoadJoysticks(sys.engine);
    sys.joysticks.states = {At(9000, 9000), At(9000, 9000)};
    callback(0);
    EXPECT_EQ(player(0).X, 0.0f);
    EXPECT_EQ(player(1).X, 0.0f);
}

TEST_F(JoystickTest, SignalledEventsAreHandledBetweenPasses) {
    LoadJoysticks(sys.engine);
    sys.joysticks.states = {At(1000, 0), At(2000, 0)};
    sys.joysticks.signalled = {102, 101};
    HandleJoystickEvents(sys.engine);
    EXPECT_EQ(player(0).X, 0.1f);
    EXPECT_EQ(player(1).X, 0.2f);
}

TEST_F(JoystickTest, ForcePollPollsEachJoystickWithAnId) {
    LoadJoysticks(sys.engine);
    sys.log.clear();
    joysticks().pollIfAsked(sys.joysticks, sys.engine.state.settings);
    EXPECT_TRUE(sys.log.empty());
    sys.engine.state.settings.ForcePoll = 1;
    sys.engine.state.settings.players[1].JoyID = 0;
    sys.joysticks.pollWorks = false;
    joysticks().pollIfAsked(sys.joysticks, sys.engine.state.settings);
    EXPECT_EQ(sys.log, (EventLog{"poll 1", "acquire 1"}));
}

class TwinStick : public JoystickTest {
protected:
    void SetUp() override {
        JoystickTest::SetUp();
        sys.engine.state.descriptor.GameType = "VON";
        PlayerSettings& s = sys.engine.state.settings;
        s.TwinStickButtonMap = {0, 4, 4, -1, -1, 5, 0, 1, -1, -1, -1, -1, 0, 1, -1, -1, -1, -1};
        s.players[0].AnalogX = 0;
        s.players[0].AnalogY = 1;
        s.players[1].AnalogX = 3;
        s.players[1].AnalogY = 4;
        LoadJoysticks(sys.engine);
    }
    const TwinStickTable& states() const { return sys.engine.state.players.TwinStickJoyStates; }
};

TEST_F(TwinStick, TheDeadZoneEdges) {
    event(0, At(6001, 4000));
    EXPECT_EQ(states()[10], 1);  // right
    EXPECT_EQ(states()[11], 0);
    EXPECT_EQ(states()[8], 0);   // 0.4 is not below 0.4
    EXPECT_EQ(states()[9], 0);
    event(0, At(3999, 6001));
    EXPECT_EQ(states()[10], 0);  // the buttons clear before the axes set
    EXPECT_EQ(states()[11], 1);  // left
    EXPECT_EQ(states()[8], 1);   // pushed down
    event(0, At(5000, 3999));
    EXPECT_EQ(states()[8], 0);
    EXPECT_EQ(states()[9], 1);   // up
    EXPECT_EQ(states()[11], 0);
}

TEST_F(TwinStick, ButtonsAndTheRightStick) {
    JoystickState s = At(5000, 5000);
    s.buttons[4] = 1;  // coin
    s.buttons[0] = 1;  // shot
    s.axes[3] = 7000;  // RX: right
    s.axes[4] = 1000;  // RY: up
    event(1, s);
    EXPECT_EQ(states()[2], 1);
    EXPECT_EQ(states()[12], 1);
    EXPECT_EQ(states()[13], 0);
    EXPECT_EQ(states()[16], 1);
    EXPECT_EQ(states()[15], 1);
    EXPECT_EQ(states()[14], 0);
    EXPECT_EQ(states()[1], 0);  // the left stick's entries belong to player 1's device
    EXPECT_EQ(states()[6], 0);
    event(0, s);
    EXPECT_EQ(states()[1], 1);
    EXPECT_EQ(states()[6], 1);
    EXPECT_EQ(states()[5], 0);
}

TEST_F(TwinStick, AButtonNumberBeyondTheThirtyTwoButtonsCountsAsNotPressed) {
    sys.engine.state.players.TwinStickJoyStates[8] = 1;
    sys.engine.state.settings.TwinStickButtonMap[8] = 40;  // "down": also driven by the stick's Y axis
    event(0, At(5000, 9000));                              // the stick pushed down: the axis sets 8
    EXPECT_EQ(states()[8], 1);
    event(0, At(5000, 5000));  // back in the middle: the entry is released, not stuck at 1 for good
    EXPECT_EQ(states()[8], 0);
}

TEST(StartInputDevices, JoysticksOnlyWhenAPlayerUsesOneRawInputUnlessBothDo) {
    FakeSystem mice;
    mice.engine.state.settings.players[0].InputType = "mouse";
    mice.engine.state.settings.players[1].MouseID = -1;
    StartInputDevices(mice.engine);
    EXPECT_EQ(mice.log, (EventLog{"directx", "stop reports", "start reports", "register mice"}));

    FakeSystem both;
    for (PlayerConfig& p : both.engine.state.settings.players) p.InputType = "joystick";
    StartInputDevices(both.engine);
    EXPECT_EQ(both.log, (EventLog{"directx", "directinput"}));

    FakeSystem mixed;
    mixed.engine.state.settings.players[1].InputType = "joystick";
    mixed.engine.state.settings.players[1].JoyID = 1;
    mixed.engine.state.settings.players[1].MouseID = -1;
    StartInputDevices(mixed.engine);
    EXPECT_EQ(mixed.indexOf("message No joystick attached."), 3);
    EXPECT_EQ(mixed.log.back(), "register mice");
}

}  // namespace
}  // namespace vt2::test
