#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "engine/outputs_step.h"
#include "outputs/dde_execute.h"
#include "outputs/output_table.h"
#include "support/fake_platform.h"

namespace vt2::test {
namespace {

using Messages = std::vector<std::string>;

class Outputs : public ::testing::Test {
protected:
    void SetUp() override {
        process = &sys.hookProcess();
        process->map(0x3000, 32);
        sys.modules.modules[4242] = {{"game.exe", 0x400000}};
        sys.engine.state.descriptor.ExeName = "game.exe";
        sys.engine.state.gameName = "demo";
        sys.engine.state.OutputsActive = 1;  // the player's setting
    }
    void load(const std::string& outputs) {
        sys.folder.writeFile("memcfg\\demo.ini", "[Outputs]\r\n" + outputs);
        LoadOutputs(sys.engine, "demo");
    }
    Messages poll() {
        sys.dde.received.clear();
        PollOutputs(sys.engine);
        return sys.dde.received;
    }
    void setByte(std::uint32_t a, std::uint8_t b) { process->put(a, {b}); }
    FakeSystem sys;
    FakeGameProcess* process = nullptr;
};

constexpr const char* kTwoOutputs =
    "Enable=1\r\nNumberOutputs=2\r\nOutput1Addr=&H3000\r\nOutput1Type=byte\r\nOutput1BitMask=2\r\nOutput1Name=lamp\r\n"
    "Output2Addr=12292\r\nOutput2Type=integer\r\nOutput2Name=recoil\r\n";

TEST_F(Outputs, TheStartMessageNamesTheGameAndThePcByDefault) {
    load(kTwoOutputs);
    EXPECT_EQ(sys.dde.received, (Messages{"mamestart|demo|PC"}));
    EXPECT_EQ(sys.engine.state.outputs.rows.size(), 2u);
    sys.dde.received.clear();
    load(std::string(kTwoOutputs) + "EmuName=Model2\r\n");
    EXPECT_EQ(sys.dde.received, (Messages{"mamestart|demo|Model2"}));
}

TEST_F(Outputs, ThePlayersSettingOffMeansNoMessagesAtAll) {
    sys.engine.state.OutputsActive = 0;
    load(kTwoOutputs);
    setByte(0x3000, 2);
    poll();
    SendStopMessageIfActive(sys.engine);
    EXPECT_TRUE(sys.dde.received.empty());
    EXPECT_TRUE(sys.dde.calls.empty());
}

TEST_F(Outputs, EnableOtherThanOneOrNoCountLeavesThemOff) {
    for (const char* settings : {"Enable=2\r\nNumberOutputs=1\r\n", "Enable=yes\r\nNumberOutputs=1\r\n",
                                 "NumberOutputs=1\r\n", "Enable=1\r\n", "Enable=1\r\nNumberOutputs=0\r\n",
                                 "Enable=1\r\nNumberOutputs=x\r\n"}) {
        sys.engine.state.OutputsActive = 1;
        load(settings);
        EXPECT_NE(sys.engine.state.OutputsActive, 1) << settings;
        SendStopMessageIfActive(sys.engine);
    }
    EXPECT_TRUE(sys.dde.received.empty());
}

TEST_F(Outputs, NoDescriptorTurnsThemOffADefaultIniServes) {
    LoadOutputs(sys.engine, "nothing");
    EXPECT_EQ(sys.engine.state.OutputsActive, 0);
    sys.engine.state.OutputsActive = 1;
    sys.folder.writeFile("memcfg\\default.ini", std::string("[Outputs]\r\n") + kTwoOutputs);
    LoadOutputs(sys.engine, "nothing");
    EXPECT_EQ(sys.dde.received, (Messages{"mamestart|demo|PC"}));
}

TEST_F(Outputs, TheSectionIsReadOnlyAsFarAsItTurnsTheOutputsOn) {
    sys.folder.writeFile("memcfg\\demo.ini", "[Outputs]\r\nEnable=0\r\nNumberOutputs=1\r\nOutput1PTR=&H10||8\r\n");
    const std::string file = sys.folder.path() + "\\memcfg\\demo.ini";
    GameModule module = GameModuleOf(sys.engine);
    const OutputsSection off = ReadOutputsSection(sys.ini, file, module);
    EXPECT_EQ(off.Enable, 0);
    EXPECT_TRUE(off.table.rows.empty());
    EXPECT_TRUE(sys.eventsStartingWith("module snapshot").empty());  // no pointer followed for nothing
    sys.folder.writeFile("memcfg\\demo.ini", "[Outputs]\r\nEnable=1\r\nNumberOutputs=1\r\nOutput1PTR=||8\r\n");
    const OutputsSection on = ReadOutputsSection(sys.ini, file, module);
    ASSERT_EQ(on.table.rows.size(), 1u);
    EXPECT_EQ(on.table.rows[0].address, 0x400008u);
    EXPECT_EQ(on.table.EmuName, "PC");
    EXPECT_TRUE(sys.dde.received.empty());  // reading announces nothing
}

TEST_F(Outputs, ACountBeyondTheBoundTurnsTheOutputsOffWithANoteAndReadsNoRow) {
    load("Enable=1\r\nNumberOutputs=32767\r\nOutput1PTR=&H10||8\r\nOutput1Name=lamp\r\n");
    EXPECT_EQ(sys.engine.state.OutputsActive, 0);
    EXPECT_TRUE(sys.engine.state.outputs.rows.empty());
    EXPECT_TRUE(sys.eventsStartingWith("module snapshot").empty());  // not one row was read
    EXPECT_TRUE(sys.dde.received.empty());
    EXPECT_EQ(sys.engine.state.notes,
              (std::vector<std::string>{"Outputs: NumberOutputs 32767 is more than 1024: outputs are off"}));
    sys.engine.state.OutputsActive = 1;
    load("Enable=1\r\nNumberOutputs=1024\r\n");  // the bound itself is a usable count
    EXPECT_EQ(sys.engine.state.OutputsActive, 1);
    EXPECT_EQ(sys.engine.state.outputs.rows.size(), 1024u);
}

TEST_F(Outputs, ABitMaskedOutputReportsOnlyItsBitsChanges) {
    load(kTwoOutputs);
    const std::pair<std::uint8_t, Messages> passes[] = {
        {0x00, {}}, {0x02, {"statechange|1|lamp|1"}}, {0x03, {}}, {0x01, {"statechange|1|lamp|0"}}};
    for (const auto& [byte, expected] : passes) {
        setByte(0x3000, byte);
        EXPECT_EQ(poll(), expected) << int(byte);
    }
}

TEST_F(Outputs, ANegativeValueIsSentAtOnceAndTwoChangesGoInRowOrder) {
    load(kTwoOutputs);
    process->put(0x3004, {0xFB, 0xFF});  // -5
    EXPECT_EQ(poll(), (Messages{"statechange|2|recoil|-5"}));
    setByte(0x3000, 0x02);
    process->put(0x3004, {0x07, 0x00});
    EXPECT_EQ(poll(), (Messages{"statechange|1|lamp|1", "statechange|2|recoil|7"}));
    EXPECT_TRUE(poll().empty());
}

TEST_F(Outputs, AValueThatCannotBeReadIsNoNewsAndTheLastOneIsKept) {
    load(kTwoOutputs);
    process->put(0x3004, {0x07, 0x00});
    EXPECT_EQ(poll(), (Messages{"statechange|2|recoil|7"}));
    const auto mapped = process->bytes;
    process->bytes.clear();  // the game is going: its memory cannot be read any more
    EXPECT_TRUE(poll().empty());
    process->bytes = mapped;
    EXPECT_TRUE(poll().empty());  // still 7, as last sent
    process->put(0x3004, {0x08, 0x00});
    EXPECT_EQ(poll(), (Messages{"statechange|2|recoil|8"}));
}

TEST_F(Outputs, AChangeAndBackBetweenTwoPassesSendsNothing) {
    load(kTwoOutputs);
    setByte(0x3000, 0x02);
    setByte(0x3000, 0x00);
    EXPECT_TRUE(poll().empty());
}

TEST_F(Outputs, FloatsAreSentWithSevenSignificantDigitsInTheUsersFormat) {
    load("Enable=1\r\nNumberOutputs=1\r\nOutput1Addr=&H3008\r\nOutput1Type=single\r\nOutput1Name=heat\r\n");
    auto setFloat = [&](float f) {
        std::uint8_t b[4];
        std::memcpy(b, &f, 4);
        process->put(0x3008, {b[0], b[1], b[2], b[3]});
    };
    setFloat(0.5f);
    EXPECT_EQ(poll(), (Messages{"statechange|1|heat|0.5"}));
    setFloat(1.0f / 3.0f);
    EXPECT_EQ(poll(), (Messages{"statechange|1|heat|0.3333333"}));
    setFloat(12.25f);
    sys.locale.separator = ',';
    EXPECT_EQ(poll(), (Messages{"statechange|1|heat|12,25"}));
    setFloat(1e10f);
    EXPECT_EQ(poll(), (Messages{"statechange|1|heat|1E+10"}));
    const std::uint32_t nan = 0x7FC00000;
    process->putLong(0x3008, nan);
    EXPECT_EQ(poll().size(), 1u);
    EXPECT_TRUE(poll().empty());  // NaN again is no change
}

TEST_F(Outputs, PointerChainsAreFollowedOnceAddrTextsAtEachRead) {
    process->map(0x400000, 0x100);
    process->putLong(0x400010, 0x3000);
    load("Enable=1\r\nNumberOutputs=1\r\nOutput1PTR=&H10||8\r\nOutput1Addr=&H3000\r\nOutput1Type=byte\r\nOutput1Name=gun\r\n");
    const OutputRow& row = sys.engine.state.outputs.rows[0];
    EXPECT_TRUE(row.addressResolved);
    EXPECT_EQ(row.address, 0x3008u);
    setByte(0x3008, 9);
    EXPECT_EQ(poll(), (Messages{"statechange|1|gun|9"}));
}

TEST_F(Outputs, WithoutAServerTheRunGoesOnAndNothingIsSentAgainLater) {
    load(kTwoOutputs);
    sys.dde.serverRunning = false;
    setByte(0x3000, 0x02);
    EXPECT_TRUE(poll().empty());
    EXPECT_EQ(sys.engine.state.outputs.rows[0].last.number, 1);
    sys.dde.serverRunning = true;
    EXPECT_TRUE(poll().empty());
}

TEST_F(Outputs, TheStopMessageIsExactlyMamestop) {
    load(kTwoOutputs);
    sys.dde.received.clear();
    SendStopMessageIfActive(sys.engine);
    EXPECT_EQ(sys.dde.received, (Messages{"mamestop|"}));
}

class DdeExecuteTest : public ::testing::Test {
protected:
    DdeResult execute(const std::string& command = "mamestop|") {
        return DdeExecute(sys.dde, "MHServer", "MHDDE", command, 1);
    }
    FakeSystem sys;
};

TEST_F(DdeExecuteTest, OneWholeConversationPerCommand) {
    EXPECT_EQ(execute("statechange|1|lamp|1"), DdeResult::Delivered);
    EXPECT_EQ(sys.dde.calls, (std::vector<std::string>{"initialize 258048", "string MHServer 1004", "string MHDDE 1004",
                                                       "connect 10 11", "free 10", "free 11", "data 21",
                                                       "execute 88 77 16464 1", "disconnect 77", "uninitialize"}));
    EXPECT_EQ(sys.dde.lastData.back(), 0);  // the data ends with one NUL
    EXPECT_EQ(std::string(sys.dde.lastData.begin(), sys.dde.lastData.end() - 1), "statechange|1|lamp|1");
}

TEST_F(DdeExecuteTest, EachFailureHasItsCodeAndStillCleansUp) {
    sys.dde.serverRunning = false;
    EXPECT_EQ(execute(), DdeResult::ConnectFailed);
    EXPECT_EQ(sys.dde.calls.back(), "uninitialize");
    EXPECT_EQ(std::count(sys.dde.calls.begin(), sys.dde.calls.end(), "free 10"), 1);
    sys.dde.serverRunning = true;
    const std::pair<const char*, DdeResult> failures[] = {{"initialize", DdeResult::InitializeFailed},
                                                          {"string MHDDE", DdeResult::StringHandleFailed},
                                                          {"data", DdeResult::DataHandleFailed},
                                                          {"execute", DdeResult::TransactionFailed}};
    for (const auto& [at, code] : failures) {
        sys.dde.calls.clear();
        sys.dde.failAt = at;
        EXPECT_EQ(execute(), code) << at;
        if (code != DdeResult::InitializeFailed) {
            EXPECT_EQ(sys.dde.calls.back(), "uninitialize") << at;
        } else {
            EXPECT_EQ(sys.dde.calls.size(), 1u);
        }
        const bool connected = code == DdeResult::DataHandleFailed || code == DdeResult::TransactionFailed;
        EXPECT_EQ(std::count(sys.dde.calls.begin(), sys.dde.calls.end(), "disconnect 77"), connected ? 1 : 0) << at;
    }
}

TEST_F(DdeExecuteTest, ACommandTooLongForTheBufferIsNotSentAtAll) {
    EXPECT_EQ(execute(std::string(1024, 'x')), DdeResult::Delivered);
    sys.dde.calls.clear();
    EXPECT_EQ(execute(std::string(1025, 'x')), DdeResult::DataHandleFailed);
    EXPECT_TRUE(sys.dde.calls.empty());
}

}  // namespace
}  // namespace vt2::test
