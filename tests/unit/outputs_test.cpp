#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <limits>

#include "common/numbers.h"
#include "engine/game_writes.h"
#include "engine/hook_run.h"
#include "engine/input_map.h"
#include "engine/outputs_step.h"
#include "outputs/dde_execute.h"
#include "outputs/output_messages.h"
#include "outputs/numeric_output_values.h"
#include "outputs/output_protocols.h"
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

TEST_F(Outputs, PointerChainsAreFollowedOnceAtLoad) {
    process->map(0x400000, 0x100);
    process->putLong(0x400010, 0x3000);
    load("Enable=1\r\nNumberOutputs=1\r\nOutput1PTR=&H10||8\r\nOutput1Addr=&H3000\r\nOutput1Type=byte\r\nOutput1Name=gun\r\n");
    const OutputRow& row = sys.engine.state.outputs.rows[0];
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

// The network and window-message servers: the same rows at the same moments, as whole numbers.
TEST_F(Outputs, TheNumericServersStartAndStopWithTheDdeServerAndLearnEveryName) {
    load("Enable=1\r\nNumberOutputs=3\r\nOutput1Addr=&H3000\r\nOutput1Type=byte\r\nOutput1Name=lamp\r\n"
         "Output2Addr=&H3001\r\nOutput2Type=byte\r\n"  // no name: the network protocol still tells it apart
         "Output3Addr=&H3002\r\nOutput3Type=byte\r\nOutput3Name=recoil\r\n");
    EXPECT_EQ(sys.eventsStartingWith("numeric"),
              (std::vector<std::string>{"numeric start demo 1:lamp 2:output2 3:recoil"}));
    EXPECT_LT(sys.indexOf("dde mamestart|demo|PC"), sys.indexOf("numeric start demo 1:lamp 2:output2 3:recoil"));
    setByte(0x3002, 7);
    setByte(0x3000, 1);
    poll();
    EXPECT_EQ(sys.eventsStartingWith("numeric "), (std::vector<std::string>{"numeric start demo 1:lamp 2:output2 3:recoil",
                                                                            "numeric 1=1", "numeric 3=7"}));
    SendStopMessageIfActive(sys.engine);
    EXPECT_EQ(sys.eventsStartingWith("numeric stop"), (std::vector<std::string>{"numeric stop 500"}));

    // Outputs that the settings or the descriptor leave off reach no server of either kind.
    sys.log.clear();
    sys.engine.state.OutputsActive = 0;
    load(kTwoOutputs);
    setByte(0x3000, 2);
    poll();
    SendStopMessageIfActive(sys.engine);
    EXPECT_TRUE(sys.eventsStartingWith("numeric").empty());
}

TEST_F(Outputs, AFloatReachesTheNumericServersOnlyWhenItsWholeNumberChanges) {
    load("Enable=1\r\nNumberOutputs=1\r\nOutput1Addr=&H3008\r\nOutput1Type=single\r\nOutput1Name=heat\r\n");
    std::vector<std::string> sent;
    for (float heat : {0.4f, 9.8f, 9.6f, 10.4f, 10.5f, 10.6f, 2.5f, -0.4f, -0.6f, -2.5f}) {
        std::uint8_t b[4];
        std::memcpy(b, &heat, 4);
        process->put(0x3008, {b[0], b[1], b[2], b[3]});
        EXPECT_EQ(poll().size(), 1u) << heat;  // the DDE server hears of every change
    }
    // 0.4 is still 0; 9.8 is 10, and so are 9.6 and 10.4; halves go away from zero.
    EXPECT_EQ(sys.eventsStartingWith("numeric 1="),
              (std::vector<std::string>{"numeric 1=10", "numeric 1=11", "numeric 1=3", "numeric 1=0", "numeric 1=-1",
                                        "numeric 1=-3"}));
    process->putLong(0x3008, 0x7FC00000);  // not a number: no whole number, nothing sent there
    poll();
    EXPECT_EQ(sys.eventsStartingWith("numeric 1=").size(), 6u);
}

TEST_F(Outputs, SixteenOutputsSideBySideAreReadInOneCallAPass) {
    process->map(0x5000, 16);
    std::string rows = "Enable=1\r\nNumberOutputs=16\r\n";
    for (int i = 1; i <= 16; ++i) {
        const std::string n = std::to_string(i);
        rows += "Output" + n + "Addr=" + std::to_string(0x5000 + i - 1) + "\r\nOutput" + n + "Type=byte\r\nOutput" + n +
                "Name=lamp" + n + "\r\n";
    }
    load(rows);
    MemoryManager& memory = *sys.engine.state.memory;
    for (int pass = 0; pass < 3; ++pass) {
        setByte(0x5000 + 15, static_cast<std::uint8_t>(pass + 1));
        setByte(0x5000 + 3, static_cast<std::uint8_t>(2 * pass + 1));
        const std::uint64_t before = memory.processReadCount();
        EXPECT_EQ(poll(), (Messages{"statechange|4|lamp4|" + std::to_string(2 * pass + 1),
                                    "statechange|16|lamp16|" + std::to_string(pass + 1)}));
        EXPECT_EQ(memory.processReadCount(), before + 1) << pass;
    }
}

TEST_F(Outputs, OutputsThatCannotAllBeReadAtOnceAreReadOneByOneAsBefore) {
    // The span of both rows runs into memory the game does not have: each row on its own.
    load("Enable=1\r\nNumberOutputs=2\r\nOutput1Addr=&H301E\r\nOutput1Type=byte\r\nOutput1Name=edge\r\n"
         "Output2Addr=&H3040\r\nOutput2Type=byte\r\nOutput2Name=gone\r\n");
    setByte(0x301E, 5);
    EXPECT_EQ(poll(), (Messages{"statechange|1|edge|5"}));  // the unmapped one is no news
    EXPECT_EQ(sys.engine.state.outputs.rows[1].last.number, 0);
}

TEST_F(Outputs, AThousandPassesConvertNoTextAndReadOnlyWhatTheRowsAsk) {
    sys.folder.writeFile("memcfg\\demo.ini",
                         "[Inputs]\r\nP1XAddr=&H3010\r\nP1XType=integer\r\nP1XMulti=640\r\nP1YAddr=&H3012\r\n"
                         "P1YType=integer\r\nP1YMulti=480\r\nP1TriggerAddr=&H3014\r\nP1TriggerType=byte\r\n"
                         "P1TrigerBitMask=1\r\n[Outputs]\r\n"
                         "Enable=1\r\nNumberOutputs=4\r\nOutput1Addr=&H3000\r\nOutput1Type=byte\r\nOutput1Name=lamp\r\n"
                         "Output2Addr=12289\r\nOutput2Type=byte\r\nOutput2BitMask=-2\r\nOutput2Name=bit\r\n"
                         "Output3Addr=&H3002\r\nOutput3Type=byte\r\nOutput3BitMask=swd|0|10|20|30\r\n"
                         "Output3Name=range\r\nOutput4Addr=no address\r\nOutput4Type=single\r\nOutput4Name=none\r\n");
    LoadOutputs(sys.engine, "demo");
    LoadInputMap(sys.engine, "demo");
    sys.engine.state.settings.players[0].Enable = 1;
    const std::uint64_t before = TextConversionCount();
    for (int pass = 0; pass < 1000; ++pass) {
        setByte(0x3000, static_cast<std::uint8_t>(pass % 3));
        setByte(0x3002, static_cast<std::uint8_t>(pass % 25));
        sys.engine.state.players[kPlayer1].current.X = static_cast<float>(pass % 100) / 100.0f;
        sys.engine.state.players[kPlayer1].current.Trigger = static_cast<std::int16_t>(pass % 2);
        WritePlayerInputs(sys.engine);
        AgePlayerState(sys.engine.state.players);
        PollOutputs(sys.engine);
    }
    EXPECT_EQ(TextConversionCount(), before);
    // The passes read and wrote as the texts say: the trigger's bit, the inverted bit, the range.
    EXPECT_EQ(process->at(0x3014, 1)[0] & 1, 1);
    EXPECT_EQ(sys.engine.state.outputs.rows[1].last.number, 1.0);
    EXPECT_EQ(sys.engine.state.outputs.rows[2].last.number, 1.0);  // 999 % 25 = 24 lies in (20, 30)
}

// Each read of the game's memory stops the game's thread under Wine: the paced loop reads the
// outputs once in 4 ms, the busy loop on every pass.
TEST_F(Outputs, ThePacedLoopReadsThemOnceInFourMillisecondsTheBusyLoopEveryPass) {
    load(kTwoOutputs);
    sys.engine.state.gameWindow = sys.windows.addWindow({"DemoClass", "Demo Game", 4242, 0x14CF0000});
    for (const bool paced : {true, false}) {
        sys.engine.state.pacedLoop = paced;
        Messages seen;
        for (std::uint32_t ms = 1; ms <= 10; ++ms) {  // a pass a millisecond, the value counting them
            process->putLong(0x3004, ms);
            sys.dde.received.clear();
            RunPass(sys.engine);
            seen.insert(seen.end(), sys.dde.received.begin(), sys.dde.received.end());
            sys.clock.now += 1;
        }
        Messages expected;
        for (std::uint32_t ms = 1; ms <= 10; ++ms) {
            if (!paced || ms % 4 == 1) expected.push_back("statechange|2|recoil|" + std::to_string(ms));
        }
        EXPECT_EQ(seen, expected) << paced;
    }
}

TEST(OutputSpans, NeighboursShareAStretchWithinTheGapAndTheBound) {
    OutputTable t;
    auto row = [&](const std::string& addr, const std::string& type = "long") {
        OutputRow r;
        r.address = ToAddress(addr).value_or(0);
        r.type = ParseValueType(type);
        t.rows.push_back(r);
    };
    row("&H1000");
    row("&H1004");
    row("&H1104");       // 0x100 after the end of the first stretch: still joined
    row("&H1300", "byte");  // further: a stretch of its own
    row("0");               // no address: no read
    row("not a number");
    row("&H1200", "word");  // a type that reads nothing
    row("&H1302", "integer");
    row("&HFFFFFFFE");      // too near the top for its 4 bytes
    const std::vector<ReadSpan> spans = OutputReadSpans(t, AddressWidth::Bits32);
    ASSERT_EQ(spans.size(), 2u);
    EXPECT_EQ(spans[0].start, 0x1000u);
    EXPECT_EQ(spans[0].length, 0x108u);
    EXPECT_EQ(spans[1].start, 0x1300u);
    EXPECT_EQ(spans[1].length, 4u);  // a byte at 0x1300, two bytes at 0x1302

    OutputTable wide;  // rows every 200 bytes: joined up to the bound, then a new stretch
    for (int i = 0; i < 30; ++i) {
        OutputRow r;
        r.address = static_cast<GameAddress>(0x10000 + 200 * i);
        r.type = ValueType::Single;
        wide.rows.push_back(r);
    }
    for (const ReadSpan& s : OutputReadSpans(wide, AddressWidth::Bits32)) EXPECT_LE(s.length, kMaxSpan);
    EXPECT_EQ(OutputReadSpans(wide, AddressWidth::Bits32).size(), 2u);
}

TEST(OutputSpans, A64BitGamesRowsAboveFourGigabytesAreReadUpToTheTopOfItsSpace) {
    OutputTable t;
    for (const GameAddress a : {GameAddress{0x140031090}, GameAddress{0x140031094}, GameAddress{0xFFFFFFFE},
                                GameAddress{0xFFFFFFFFFFFFFFFC}, GameAddress{0xFFFFFFFFFFFFFFFD}}) {
        OutputRow r;
        r.address = a;
        r.type = ValueType::Long;
        t.rows.push_back(r);
    }
    const std::vector<ReadSpan> spans = OutputReadSpans(t, AddressWidth::Bits64);
    ASSERT_EQ(spans.size(), 3u);  // the last row would run past 2^64
    EXPECT_EQ(spans[0].start, 0xFFFFFFFEu);
    EXPECT_EQ(spans[1].start, 0x140031090u);
    EXPECT_EQ(spans[1].length, 8u);
    EXPECT_EQ(spans[2].start, 0xFFFFFFFFFFFFFFFCu);
    EXPECT_EQ(spans[2].length, 4u);
    EXPECT_EQ(OutputReadSpans(t, AddressWidth::Bits32).size(), 0u);  // none of them lies in a 32-bit game
}

TEST(NumericOutputs, WholeNumbersAndTheNetworkTexts) {
    EXPECT_EQ(WholeOutputValue({9.8, true}), 10);
    EXPECT_EQ(WholeOutputValue({-32768, false}), -32768);
    EXPECT_EQ(WholeOutputValue({1e12, true}), 2147483647);  // kept within 32 bits
    EXPECT_EQ(WholeOutputValue({-1e12, true}), -2147483647 - 1);
    EXPECT_EQ(WholeOutputValue({std::numeric_limits<double>::infinity(), true}), 2147483647);
    EXPECT_FALSE(WholeOutputValue({std::numeric_limits<double>::quiet_NaN(), true}).has_value());
    EXPECT_EQ(NetworkStartText("demo"), "mame_start = demo\r");
    EXPECT_EQ(NetworkUpdateText("lamp", -1), "lamp = -1\r");
    EXPECT_STREQ(kNetworkStopText, "mame_stop = 1\r");
}

// A network server reachable from other machines is said in the debug window; loopback is not.
TEST(OutputProtocolChoice, AServerThatListensBeyondThisMachineIsSaid) {
    const struct {
        const char* bind;
        bool beyond;
    } cases[] = {{"127.0.0.1", false}, {"127.5.6.7", false}, {" 127.0.0.1 ", false}, {"0.0.0.0", true},
                 {"192.168.1.20", true}, {"10.0.0.1", true}, {"1.27.0.0", true}};
    for (const auto& c : cases) {
        EXPECT_EQ(ListensBeyondThisMachine(c.bind), c.beyond) << c.bind;
        EXPECT_EQ(NetworkExposureNote(c.bind, 8000).empty(), !c.beyond) << c.bind;
    }
    EXPECT_EQ(NetworkExposureNote("0.0.0.0", 8000).rfind("Outputs: the network outputs listen on 0.0.0.0:8000, beyond this machine", 0), 0u);
}

TEST(OutputProtocolChoice, DdeAloneByDefaultAndEachSwitchOnlyByOneOrZero) {
    FakeSystem sys;
    OutputProtocols p = ReadOutputProtocols(sys.ini, sys.folder.path());  // no vt2.ini
    EXPECT_TRUE(p.dde);
    EXPECT_FALSE(p.network);
    EXPECT_FALSE(p.windows);
    EXPECT_FALSE(p.blocking);
    EXPECT_EQ(p.networkPort, 8000);
    EXPECT_EQ(p.networkBind, "127.0.0.1");

    sys.folder.writeFile("vt2.ini", "[Outputs]\r\nDDE=0\r\nNetwork=1\r\nWindows= 1 \r\nBlocking=yes\r\n"
                                    "NetworkPort=18000\r\nNetworkBind=0.0.0.0\r\n");
    p = ReadOutputProtocols(sys.ini, sys.folder.path());
    EXPECT_FALSE(p.dde);
    EXPECT_TRUE(p.network);
    EXPECT_TRUE(p.windows);
    EXPECT_FALSE(p.blocking);  // "yes" is not a switch's value
    EXPECT_EQ(p.networkPort, 18000);
    EXPECT_EQ(p.networkBind, "0.0.0.0");

    for (const char* port : {"0", "65536", "-1", "80a", ""}) {
        sys.folder.writeFile("vt2.ini", std::string("[Outputs]\r\nNetworkPort=") + port + "\r\nNetworkBind=\r\n");
        p = ReadOutputProtocols(sys.ini, sys.folder.path());
        EXPECT_EQ(p.networkPort, 8000) << port;
        EXPECT_EQ(p.networkBind, "127.0.0.1");
    }
    sys.folder.writeFile("vt2.ini", "[Outputs]\r\nNetworkPort=&HFFFF\r\n");
    EXPECT_EQ(ReadOutputProtocols(sys.ini, sys.folder.path()).networkPort, 65535);
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
