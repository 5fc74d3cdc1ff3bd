#include <gtest/gtest.h>

#include "engine/key_injection.h"
#include "support/fake_platform.h"

namespace vt2::test {
namespace {

class KeyInjection : public ::testing::Test {
protected:
    void SetUp() override {
        InputMap& m = sys.engine.state.inputMap;
        m.KeyInjection = 1;
        m.P1TriggerKey = 10;
        m.P1ReloadKey = 11;
        m.P1StartKey = 12;
        m.P1CoinKey = 13;
        m.P2TriggerKey = 20;
        m.P2ReloadKey = 21;
        m.P2StartKey = 22;
        m.P2CoinKey = 23;
    }
    PlayerValues& now(std::size_t p) { return sys.engine.state.players[p].current; }
    EventLog pass() {
        sys.log.clear();
        InjectKeys(sys.engine);
        AgePlayerState(sys.engine.state.players);
        return sys.log;
    }
    FakeSystem sys;
};

TEST_F(KeyInjection, EveryChangedButtonIsAKeyInPlayerAndButtonOrder) {
    now(0).Coin = 1;
    now(1).Trigger = 1;
    now(0).Trigger = 1;
    now(1).Start = 1;
    EXPECT_EQ(pass(), (EventLog{"key down 10 scan 242", "key down 13 scan 245", "key down 20 scan 252",
                                "key down 22 scan 254"}));
    now(0).Trigger = 0;
    EXPECT_EQ(pass(), (EventLog{"key up 10 scan 242"}));
    EXPECT_TRUE(pass().empty());
}

TEST_F(KeyInjection, OffSendsNothingAndReleasedButtonsOnTheFirstPassSendNothing) {
    EXPECT_TRUE(pass().empty());
    sys.engine.state.inputMap.KeyInjection = 0;
    now(0).Start = 1;
    EXPECT_TRUE(pass().empty());
}

TEST_F(KeyInjection, ReloadByMode) {
    now(0).Reload = 1;
    now(1).Reload = 1;
    EXPECT_EQ(pass(), (EventLog{"key down 11 scan 243", "key down 21 scan 253"}));

    sys.engine.state.inputMap.ReloadMode = "M2L";  // the reload works the trigger key
    now(0).Reload = 0;
    now(0).Trigger = 1;  // still held: the release of the reload releases its trigger key anyway
    EXPECT_EQ(pass(), (EventLog{"key down 10 scan 242", "key up 10 scan 242"}));

    sys.engine.state.inputMap.ReloadMode = "M2VC";
    now(1).Reload = 0;
    EXPECT_TRUE(pass().empty());
    sys.engine.state.inputMap.ReloadMode = "m2l";
    now(1).Reload = 1;
    EXPECT_TRUE(pass().empty());
}

TEST_F(KeyInjection, VcopTapsThenHoldsTheReloadKey) {
    sys.engine.state.inputMap.ReloadMode = "VCOP";
    now(0).Reload = 1;
    EXPECT_EQ(pass(), (EventLog{"key down 11 scan 243", "sleep 50", "key up 11 scan 243", "sleep 50",
                                "key down 11 scan 243"}));
    now(0).Reload = 0;
    EXPECT_EQ(pass(), (EventLog{"key up 11 scan 243"}));
}

TEST_F(KeyInjection, KeyCodesZeroOrBeyondAByteSendNothing) {
    InputMap& m = sys.engine.state.inputMap;
    m.P1StartKey = 0;
    m.P1CoinKey = 300;
    m.P2CoinKey = -5;
    now(0).Start = 1;
    now(0).Coin = 1;
    now(1).Coin = 1;
    EXPECT_TRUE(pass().empty());
}

class ExitButtons : public ::testing::Test {
protected:
    void SetUp() override { sys.engine.state.gameWindow = 7; }
    FakeSystem sys;
};

TEST_F(ExitButtons, ModeOneSendsAltF4InOrderOnce) {
    sys.engine.state.inputMap.ExitMode = 1;
    sys.engine.state.players[1].current.Esc = 1;
    CheckExitButtons(sys.engine);
    EXPECT_EQ(sys.log, (EventLog{"key down 164 scan 140", "key down 115 scan 91", "key up 115 scan 91",
                                 "key up 164 scan 140"}));
    sys.log.clear();
    CheckExitButtons(sys.engine);  // the second escape does nothing
    EXPECT_TRUE(sys.log.empty());
    EXPECT_EQ(sys.engine.state.inputMap.ExitMode, 0);
}

TEST_F(ExitButtons, AnyOtherModePostsTheQuitMessage) {
    sys.engine.state.inputMap.ExitMode = 2;
    CheckExitButtons(sys.engine);  // no escape pressed
    EXPECT_TRUE(sys.log.empty());
    sys.engine.state.players[0].current.Esc = 1;
    CheckExitButtons(sys.engine);
    EXPECT_EQ(sys.log, (EventLog{"post quit 7"}));
    CheckExitButtons(sys.engine);
    EXPECT_EQ(sys.log.size(), 1u);
}

TEST_F(ExitButtons, ModeZeroIgnoresEscape) {
    sys.engine.state.players[0].current.Esc = 1;
    CheckExitButtons(sys.engine);
    EXPECT_TRUE(sys.log.empty());
}

}  // namespace
}  // namespace vt2::test
