#include <gtest/gtest.h>

#include <cstring>

#include "engine/game_writes.h"
#include "engine/hook_run.h"
#include "support/fake_platform.h"

namespace vt2::test {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Writes = std::vector<std::pair<std::uint64_t, Bytes>>;

class GameWrites : public ::testing::Test {
protected:
    void SetUp() override {
        process = &sys.hookProcess();
        process->map(0x1000, 0x40);
        InputMap& m = sys.engine.state.inputMap;
        m.P1X = {0x1000, ValueType::Integer, 640, 0, 0};
        m.P1Y = {0x1002, ValueType::Integer, 480, 10, 0};
        m.P2X = {0x1010, ValueType::Single, 1, 0, 0};
        m.P2Y = {0x1014, ValueType::Single, 1, 0, 0};
        m.P1Trigger = {0x1020, ValueType::Byte, 0, 0, 1};
        m.P1Reload = {0x1020, ValueType::Byte, 0, 0, 2};
        m.P2Trigger = {0x1021, ValueType::Byte, 0, 0, 4};
        m.P2Reload = {0x1021, ValueType::Byte, 0, 0, 8};
        PlayerSettings& s = sys.engine.state.settings;
        s.players[0].Enable = 1;
        s.players[1].Enable = 1;
    }
    PlayerValues& now(std::size_t p) { return sys.engine.state.players[p].current; }
    // One pass's writers, then the ageing, as the main loop does.
    Writes pass() {
        process->writes.clear();
        WritePlayerInputs(sys.engine);
        AgePlayerState(sys.engine.state.players);
        return process->writes;
    }
    std::int16_t integerAt(std::uint32_t a) const {
        const Bytes b = process->at(a, 2);
        return static_cast<std::int16_t>(b[0] | b[1] << 8);
    }
    std::uint8_t byteAt(std::uint32_t a) const { return process->bytes.at(a); }
    InputMap& map() { return sys.engine.state.inputMap; }
    FakeSystem sys;
    FakeGameProcess* process = nullptr;
};

TEST_F(GameWrites, NothingChangedWritesNothing) {
    EXPECT_TRUE(pass().empty());
    EXPECT_TRUE(pass().empty());
}

TEST_F(GameWrites, TheFirstPassWritesWhatDiffersFromZero) {
    now(0).X = 0.5f;
    now(1).Trigger = 1;
    const Writes writes = pass();
    EXPECT_EQ(integerAt(0x1000), 320);
    // Player 2's trigger: a read and a write of its byte, active bits merged.
    EXPECT_EQ(byteAt(0x1021), 0x04);
    EXPECT_EQ(writes.size(), 2u);
    EXPECT_TRUE(pass().empty());
}

TEST_F(GameWrites, PersistentWritesEveryValueOnEveryPass) {
    map().Persistent = 1;
    EXPECT_EQ(pass().size(), 8u);  // four axes, four buttons
    EXPECT_EQ(pass().size(), 8u);
    EXPECT_EQ(integerAt(0x1002), 10);  // Multi * 0 + Offset
}

TEST_F(GameWrites, AxesAreMultiTimesPositionPlusOffsetRounded) {
    now(0).X = 0.333f;
    now(0).Y = 0.75f;
    now(1).X = 0.3333333f;
    pass();
    EXPECT_EQ(integerAt(0x1000), 213);  // 213.12
    EXPECT_EQ(integerAt(0x1002), 370);  // 360 + 10
    float p2x = 0;
    std::memcpy(&p2x, process->at(0x1010, 4).data(), 4);
    EXPECT_EQ(p2x, 0.3333333f);
}

TEST_F(GameWrites, TheXTargetDecidesForBothAxes) {
    map().P1X.address = 0;
    now(0).X = 0.5f;
    now(0).Y = 0.5f;
    EXPECT_TRUE(pass().empty());
    map().P1X.address = 0x1000;
    map().P1Y.address = 0;  // a Y without address is not written to address 0
    now(0).Y = 0.25f;
    now(0).X = 0.25f;
    const Writes writes = pass();
    ASSERT_EQ(writes.size(), 1u);
    EXPECT_EQ(writes[0].first, 0x1000u);
}

TEST_F(GameWrites, AHeldReloadKeepsPlayerOnesTriggerFromBeingWritten) {
    now(0).Reload = 1;
    pass();
    now(0).Trigger = 1;
    EXPECT_TRUE(pass().empty());
    EXPECT_EQ(byteAt(0x1020), 0x02);
    now(0).Reload = 0;
    pass();  // the trigger did not change: still not written
    EXPECT_EQ(byteAt(0x1020), 0x00);
    now(0).Trigger = 0;
    pass();
    now(0).Trigger = 1;
    pass();
    EXPECT_EQ(byteAt(0x1020), 0x01);
}

TEST_F(GameWrites, PlayerTwosTriggerIsWrittenWhileItsReloadIsHeld) {
    now(1).Reload = 1;
    now(1).Trigger = 1;
    pass();
    EXPECT_EQ(byteAt(0x1021), 0x0C);
}

TEST_F(GameWrites, DisabledPlayersWriteNothing) {
    sys.engine.state.settings.players[0].Enable = 0;
    sys.engine.state.settings.players[1].Enable = 2;
    now(0).X = 1.0f;
    now(1).Trigger = 1;
    EXPECT_TRUE(pass().empty());
}

TEST_F(GameWrites, M2lSharesOneReloadValue) {
    map().ReloadMode = "M2L";
    const std::pair<std::array<std::int16_t, 2>, std::int16_t> cases[] = {{{1, 0}, 2}, {{0, 1}, 1}, {{1, 1}, 0}, {{0, 0}, 3}};
    for (const auto& [reloads, expected] : cases) {
        now(0).Reload = reloads[0];
        now(1).Reload = reloads[1];
        const Writes writes = pass();
        EXPECT_EQ(byteAt(0x1020), expected);
        EXPECT_EQ(writes.size(), 2u) << "once in each player's block";
    }
    now(0).Trigger = 1;  // "M2L" writes no trigger
    map().Persistent = 1;
    EXPECT_EQ(pass().size(), 5u);  // axes and player 2's trigger only: the combined write needs a change
}

TEST_F(GameWrites, M2vcValues) {
    map().ReloadMode = "M2VC";
    map().P1Trigger = {0x1022, ValueType::Byte, 0, 0, 0};
    struct Case {
        std::int16_t t1, t2, r1, r2, trigger, reload;
    };
    const Case cases[] = {{1, 0, 0, 0, 254, 3}, {0, 1, 0, 0, 253, 3}, {1, 0, 1, 0, 253, 2},
                          {1, 1, 1, 1, 249, 0}, {0, 0, 0, 0, 255, 3}};
    for (const Case& c : cases) {
        now(0).Trigger = c.t1;
        now(1).Trigger = c.t2;
        now(0).Reload = c.r1;
        now(1).Reload = c.r2;
        pass();
        EXPECT_EQ(byteAt(0x1022), c.trigger);
        EXPECT_EQ(byteAt(0x1020), c.reload);
    }
}

TEST_F(GameWrites, AnotherModeWritesNoButtonsOfPlayerOne) {
    map().ReloadMode = "VCOP";
    map().P2Reload.address = 0;
    now(0).Trigger = 1;
    now(0).Reload = 1;
    now(1).Reload = 1;
    EXPECT_TRUE(pass().empty());
}

TEST_F(GameWrites, TheCursorBlockMovesTheSystemCursorAndButtons) {
    sys.engine.state.settings.players[0].SysMouse = 1;
    sys.engine.state.settings.players[0].Enable = 0;
    now(0).X = 0.5f;
    now(0).Y = 0.25f;
    now(0).Trigger = 1;
    sys.log.clear();
    pass();
    EXPECT_EQ(sys.log, (EventLog{"screen size", "cursor 640,256", "mouse 2"}));
    sys.log.clear();
    now(0).Trigger = 0;
    now(0).Reload = 1;
    pass();
    EXPECT_EQ(sys.log, (EventLog{"mouse 4", "mouse 8"}));
    sys.log.clear();
    pass();
    EXPECT_TRUE(sys.log.empty());
}

TEST_F(GameWrites, PersistentWithTheSystemMouseReleasesTheButtonEveryPass) {
    sys.engine.state.settings.players[0].SysMouse = 1;
    map().Persistent = 1;
    sys.input.screen = {801, 601};
    now(0).X = 0.5f;  // 400.5 rounds to 400, 300.5 to 300
    now(0).Y = 0.5f;
    pass();
    pass();
    EXPECT_EQ(sys.eventsStartingWith("mouse 4").size(), 2u);
    EXPECT_EQ(sys.eventsStartingWith("mouse 16").size(), 2u);
    EXPECT_EQ(sys.eventsStartingWith("cursor 400,300").size(), 2u);
}

TEST(TwinStickBanks, ValuesAreActiveLow) {
    std::array<std::int16_t, 18> states{};
    EXPECT_EQ(TwinStickBankValues(states), (std::array<std::int16_t, 3>{255, 255, 255}));
    states[8] = states[9] = 1;
    EXPECT_EQ(TwinStickBankValues(states)[1], 207);
    states = {};
    for (int i = 1; i <= 5; ++i) states[static_cast<std::size_t>(i)] = 1;
    EXPECT_EQ(TwinStickBankValues(states)[0], 224);
    states = {};
    for (int i = 12; i <= 17; ++i) states[static_cast<std::size_t>(i)] = 1;
    EXPECT_EQ(TwinStickBankValues(states)[2], 12);  // weights 4 and 8 are never cleared
    states[12] = 2;  // only 1 counts as pressed
    EXPECT_EQ(TwinStickBankValues(states)[2], 13);
}

TEST(TwinStickBanks, WrittenFirstAlwaysThenOnChangeOnly) {
    FakeSystem sys;
    FakeGameProcess& process = sys.hookProcess();
    process.map(0x5000, 3);
    InputMap& m = sys.engine.state.inputMap;
    m.Bank1 = 0x5000;
    m.Bank2 = 0x5001;
    m.Bank3 = 0x5002;
    WriteTwinStickBanks(sys.engine);
    EXPECT_EQ(process.at(0x5000, 3), (Bytes{255, 255, 255}));
    EXPECT_EQ(process.writes.size(), 3u);
    WriteTwinStickBanks(sys.engine);
    EXPECT_EQ(process.writes.size(), 3u);
    sys.engine.state.players.TwinStickStates[6] = 1;
    WriteTwinStickBanks(sys.engine);
    EXPECT_EQ(process.writes.size(), 4u);
    EXPECT_EQ(process.at(0x5001, 1), (Bytes{254}));
}

}  // namespace
}  // namespace vt2::test
