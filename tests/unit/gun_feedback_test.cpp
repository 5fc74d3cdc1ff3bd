#include <gtest/gtest.h>

#include "engine/gun_feedback_step.h"
#include "engine/hook_run.h"
#include "engine/outputs_step.h"
#include "engine/stop_program.h"
#include "outputs/feedback_send_queue.h"
#include "outputs/gun_feedback.h"
#include "outputs/serial_settings.h"
#include "support/fake_platform.h"
#include "support/shipped_files.h"

namespace vt2::test {
namespace {

using Texts = std::vector<std::string>;
using Kind = FeedbackWrite::Kind;

// The file the open-source guns' guides give, for two guns on COM1 and COM2.
constexpr const char* kTwoGuns =
    "[General]\r\nMameStart=cmo 1 baud=9600_parity=N_data=8_stop=1,cmo 2 baud=9600_parity=N_data=8_stop=1,cmw 1 S,cmw 2 S\r\n"
    "MameStop=cmw 1 E,cmw 2 E,cmc 1,cmc 2\r\n"
    "[Output]\r\nP1_CtmRecoil=cmw 1 F0x%s%\r\nP2_CtmRecoil=cmw 2 F0x%s%\r\nP1_LmpStart=cmw 1 F3x0|cmw 1 F3x2x1\r\n"
    "P2_Ammo=cmw 2 A%s%x%P1_Ammo%\r\n";

struct Guns {
    FakeFeedbackPorts ports;
    GunFeedback feedback;
    explicit Guns(const char* file, GunFeedbackOptions options = {}) : feedback(ports, ParseFeedbackFile(file), options) {}
};

TEST(GunFeedback, TheStartEachChangeAndTheStopReachTheGunsInOrder) {
    Guns g(kTwoGuns);
    g.feedback.start("demo", {{1, "P1_LmpStart"}, {2, "P1_CtmRecoil"}, {3, "P1_Ammo"}, {4, "P2_Ammo"}, {5, "lamp0"}});
    g.feedback.update(1, 1);
    g.feedback.update(2, 1);
    g.feedback.update(2, 0);
    g.feedback.update(3, 7);
    g.feedback.update(4, 3);
    g.feedback.update(5, 1);   // an output the file does not name: nothing
    g.feedback.update(1, 0);
    g.feedback.update(1, 2);   // no alternative for 2: nothing, and a note
    g.feedback.update(99, 1);  // no such output
    g.feedback.stop(500);
    g.feedback.stop(500);      // a second stop sends nothing more
    EXPECT_EQ(g.ports.texts(), (Texts{"S", "S", "F3x2x1", "F0x1", "F0x0", "A3x7", "F3x0", "E", "E"}));
    EXPECT_EQ(g.ports.writes.front(), (FeedbackWrite{Kind::Open, 1, "baud=9600_parity=N_data=8_stop=1", ""}));
    EXPECT_EQ(g.ports.writes.back(), (FeedbackWrite{Kind::Close, 2, "", ""}));
    EXPECT_EQ(g.ports.writes[5].port, 1);  // F0x1 to player 1's gun (after two opens and two S)
    EXPECT_EQ(g.ports.writes[7].port, 2);  // A3x7 to player 2's
    EXPECT_EQ(g.ports.writes[5].latestKey, "p1_ctmrecoil#0");
    EXPECT_EQ(g.ports.flushes, 1);
    EXPECT_EQ(g.feedback.takeNotes(), Texts{"Feedback: P1_LmpStart has no alternative for the value 2 (it has 2): nothing sent"});
    g.feedback.update(2, 1);  // after the stop: nothing
    EXPECT_EQ(g.ports.texts().size(), 9u);
}

TEST(GunFeedback, AGunWhosePortCameBackGetsItsPartOfTheStartAgain) {
    Guns g("[General]\r\nMameStart=cmo 1 baud=9600,cmw 1 S,cmw 2 S,tcw 1 1K0,nll\r\n");
    g.feedback.startAgain({false, 1});  // before the start: nothing
    EXPECT_TRUE(g.ports.writes.empty());
    g.feedback.start("demo", {});
    g.ports.writes.clear();
    g.feedback.startAgain({false, 1});
    EXPECT_EQ(g.ports.writes, (std::vector<FeedbackWrite>{{Kind::Open, 1, "baud=9600", "", true}, {Kind::Write, 1, "S", "", true}}));
    g.ports.writes.clear();
    g.feedback.startAgain({true, 1});
    EXPECT_EQ(g.ports.writes, (std::vector<FeedbackWrite>{{Kind::TcpWrite, 1, "1K0", "", true}}));
    g.ports.writes.clear();
    g.feedback.startAgain({false, 3});  // a port the start does not name
    EXPECT_TRUE(g.ports.writes.empty());
}

TEST(GunFeedback, TriggerRecoilFollowsTheTriggerWithAutofireAndTheGamesOwnOutputWins) {
    struct Step {
        std::uint64_t ms;
        bool p1, p2;
        Texts sent;  // what this pass sends
    };
    struct Case {
        const char* what;
        GunFeedbackOptions options;
        std::map<int, std::string> gameOutputs;
        std::vector<Step> steps;
    };
    const Case cases[] = {
        {"one pulse a pull, let go after 200 ms", {{true, true}, 0}, {},
         {{1000, true, false, {"F0x1"}}, {1100, true, false, {}}, {1200, true, false, {"F0x0"}}, {1300, false, false, {"F0x0"}},
          {1310, false, true, {"F0x1"}}, {1320, false, false, {"F0x0"}}}},
        {"autofire every 100 ms while held", {{true, false}, 100}, {},
         {{1000, true, false, {"F0x1"}}, {1040, true, false, {}}, {1050, true, false, {"F0x0"}}, {1100, true, false, {"F0x1"}},
          {1150, true, false, {"F0x0"}}, {1160, false, false, {}}, {1170, false, true, {}}}},
        {"only the player it is asked for", {{false, true}, 0}, {}, {{1000, true, true, {"F0x1"}}}},
        {"the game's own recoil wins", {{true, true}, 0}, {{1, "P1_CtmRecoil"}}, {{1000, true, true, {"F0x1"}}}},
    };
    for (const Case& c : cases) {
        Guns g(kTwoGuns, c.options);
        g.feedback.start("demo", c.gameOutputs);
        for (const Step& s : c.steps) {
            g.ports.writes.clear();
            g.feedback.pass({s.p1, s.p2}, s.ms);
            EXPECT_EQ(g.ports.texts(), s.sent) << c.what << " at " << s.ms;
        }
    }
    Guns g(kTwoGuns, {{true, true}, 0});
    g.feedback.start("demo", {{1, "P1_CtmRecoil"}});
    g.ports.writes.clear();
    g.feedback.pass({true, true}, 1000);
    EXPECT_EQ(g.ports.writes.at(0).port, 2);  // player 2's made recoil; player 1's comes from the game
}

TEST(GunFeedback, ARecoilOutputHeldOnIsLetGoAfterTheHoldTimeOrTheFilesLongerOne) {
    for (const auto& [file, letGoAt] : {std::pair{std::string(kTwoGuns), 1200}, std::pair{std::string(kTwoGuns) + "[General]\r\n", 1200},
                                        std::pair{"[General]\r\nHoldMs=500\r\n" + std::string(kTwoGuns).substr(11), 1500}}) {
        Guns g(file.c_str());
        g.feedback.start("demo", {{1, "P1_CtmRecoil"}, {2, "P1_LmpStart"}});
        g.feedback.pass({false, false}, 1000);
        g.feedback.update(1, 1);
        g.feedback.update(2, 1);  // a lamp on is no solenoid: never let go
        g.ports.writes.clear();
        for (std::uint64_t ms = 1000; ms <= 3000; ms += 50) {
            g.feedback.pass({false, false}, ms);
            const bool off = !g.ports.texts().empty();
            EXPECT_EQ(off, static_cast<int>(ms) >= letGoAt) << ms;
            if (off) break;
        }
        EXPECT_EQ(g.ports.texts(), Texts{"F0x0"});
    }
    EXPECT_EQ(ParseFeedbackFile("[General]\nHoldMs=50\n").holdMs, 200u);  // never shorter
    EXPECT_EQ(ParseFeedbackFile("[General]\nHoldMs=50\n").notes.size(), 1u);
}

// Every write that may leave at ms, as "port:text".
Texts TakeAll(FeedbackSendQueue& queue, std::uint64_t ms, unsigned& wait) {
    Texts out;
    while (auto w = queue.take(ms, wait)) out.push_back(std::to_string(w->port) + ":" + w->text);
    return out;
}

TEST(FeedbackSendQueue, OnePortIsPacedTheOthersGoOnAndTheLatestStateWins) {
    FeedbackSendQueue queue(40, 4);
    unsigned wait = 0;
    auto takeAll = [&](std::uint64_t ms) { return TakeAll(queue, ms, wait); };
    queue.push({Kind::Open, 1, "baud=9600", ""});
    queue.push({Kind::Write, 1, "S", ""});
    queue.push({Kind::Write, 1, "F0x1", "r"});
    queue.push({Kind::Write, 2, "S", ""});
    EXPECT_EQ(takeAll(0), (Texts{"1:baud=9600", "1:S", "2:S"}));  // F0x1 waits behind S on port 1
    EXPECT_EQ(wait, 40u);
    EXPECT_TRUE(queue.push({Kind::Write, 1, "F0x0", "r"}));  // waits after the F0x1: the kick is not lost
    EXPECT_TRUE(queue.push({Kind::Write, 1, "F0x1", "r"}));  // the latest state: in the F0x0's place
    EXPECT_TRUE(queue.push({Kind::Write, 1, "F0x0", "r"}));
    EXPECT_EQ(takeAll(39), Texts{});
    EXPECT_EQ(wait, 1u);
    EXPECT_EQ(takeAll(40), Texts{"1:F0x1"});
    EXPECT_EQ(takeAll(80), Texts{"1:F0x0"});
    EXPECT_EQ(takeAll(1000), Texts{});
    EXPECT_EQ(wait, 0u);  // empty
    // Bounded: a full queue drops the oldest replaceable write, else the newcomer.
    for (int i = 0; i < 4; ++i) queue.push({Kind::Write, 3, std::to_string(i), i == 1 ? "k" : ""});
    EXPECT_FALSE(queue.push({Kind::Write, 3, "new", ""}));
    EXPECT_EQ(queue.size(), 4u);
    EXPECT_FALSE(queue.push({Kind::Write, 3, "lost", ""}));
    EXPECT_EQ(takeAll(5000), Texts{"3:0"});
    EXPECT_EQ(takeAll(5040), Texts{"3:2"});
    EXPECT_EQ(takeAll(5080), Texts{"3:3"});
    EXPECT_EQ(takeAll(5120), Texts{"3:new"});
    // COM 4 and recoil server 4 are two guns, each with its own pace.
    queue.push({Kind::Write, 4, "a", ""});
    queue.push({Kind::TcpWrite, 4, "b", ""});
    EXPECT_EQ(takeAll(6000), (Texts{"4:a", "4:b"}));
}

// A gun plugged in again forgot the start's mode: the write that found its port back waits until
// the start's writes for it went (or half a second), and the other guns go on meanwhile.
TEST(FeedbackSendQueue, AWriteThatFoundItsGunBackWaitsForTheGunsRestart) {
    struct Case {
        const char* what;
        bool restartComes;
        Texts at0, at10, at60, at600;
    };
    const Case cases[] = {
        {"the restart comes", true, {"2:x"}, {"1:baud", "1:S"}, {"1:L1"}, {}},
        {"no restart comes", false, {"2:x"}, {}, {}, {"1:L1"}},
    };
    for (const Case& c : cases) {
        FeedbackSendQueue queue(40, 16);
        unsigned wait = 0;
        auto takeAll = [&](std::uint64_t ms) { return TakeAll(queue, ms, wait); };
        queue.push({Kind::Write, 2, "x", ""});
        queue.waitForRestart({Kind::Write, 1, "L1", "lamp#0"}, 500);
        EXPECT_EQ(takeAll(0), c.at0) << c.what;
        EXPECT_EQ(wait, 500u) << c.what;  // woken when the wait is over
        if (c.restartComes) {
            queue.push({Kind::Open, 1, "baud", "", true});
            queue.push({Kind::Write, 1, "S", "", true});
        }
        EXPECT_EQ(takeAll(10), c.at10) << c.what;
        EXPECT_EQ(takeAll(60), c.at60) << c.what;  // paced after the S
        EXPECT_EQ(takeAll(600), c.at600) << c.what;
    }
}

// A full-auto game turns its recoil on and off every frame, faster than a gun is paced: the gun
// gets on and off in turn, one a 40 ms, never the same twice running, and off at the end. (Were a
// waiting on swapped for the off that follows it, the solenoid would stay on through the burst.)
TEST(FeedbackSendQueue, RecoilFasterThanThePaceReachesTheGunOnAndOffInTurn) {
    for (const unsigned frameMs : {5u, 16u, 33u}) {
        FeedbackSendQueue queue(40, 256);
        Texts sent;
        std::vector<std::uint64_t> times;
        unsigned wait = 0;
        for (std::uint64_t ms = 0; ms <= 2000; ++ms) {
            if (ms < 1000 && ms % frameMs == 0) queue.push({Kind::Write, 1, (ms / frameMs) % 2 == 0 ? "F0x1" : "F0x0", "p1_ctmrecoil#0"});
            if (ms == 1000) queue.push({Kind::Write, 1, "F0x0", "p1_ctmrecoil#0"});  // the burst ends
            while (auto w = queue.take(ms, wait)) {
                sent.push_back(w->text);
                times.push_back(ms);
            }
        }
        ASSERT_GE(sent.size(), 10u) << frameMs;
        EXPECT_EQ(sent.front(), "F0x1") << frameMs;
        EXPECT_EQ(sent.back(), "F0x0") << frameMs;
        for (std::size_t i = 1; i < sent.size(); ++i) {
            EXPECT_NE(sent[i], sent[i - 1]) << frameMs << " at " << i;
            EXPECT_GE(times[i] - times[i - 1], 40u) << frameMs << " at " << i;
        }
        EXPECT_TRUE(queue.empty()) << frameMs;
    }
}

TEST(SerialSettings, TheFilesFormOfSettings) {
    EXPECT_EQ(ParseSerialSettings("baud=9600_parity=N_data=8_stop=1"), (SerialSettings{9600, 'N', 8, 1}));
    EXPECT_EQ(ParseSerialSettings("baud=115200"), (SerialSettings{115200, 'N', 8, 1}));
    EXPECT_EQ(ParseSerialSettings("parity=e_stop=2"), (SerialSettings{9600, 'E', 8, 2}));
    EXPECT_EQ(ParseSerialSettings(""), SerialSettings{});
    for (const char* bad : {"baud=fast", "baud=9600_parity=X", "data=9", "stop=3", "speed=9600", "baud"}) {
        EXPECT_EQ(ParseSerialSettings(bad), std::nullopt) << bad;
    }
}

// The run: the file beside VT2 (or the folder vt2.ini names), the stop on every way out, and the
// stop a killed run left behind sent before the next start.
class GunFeedbackRun : public ::testing::Test {
protected:
    void SetUp() override {
        sys.hookProcess();
        sys.engine.state.gameName = "demo";
        sys.engine.state.OutputsActive = 1;
    }
    void load() { LoadOutputs(sys.engine, "demo"); }
    FakeSystem sys;
    const std::string pending = "feedback-stop.pending";
};

TEST_F(GunFeedbackRun, TheGamesFileElseTheDefaultElseTheFolderVt2IniNames) {
    struct Case {
        std::vector<std::pair<std::string, std::string>> files;
        Texts started;
    };
    const Case cases[] = {
        {{{"feedback\\demo.ini", "[General]\nMameStart=cmw 1 own\n"}, {"feedback\\default.ini", "[General]\nMameStart=cmw 1 default\n"}}, {"own"}},
        {{{"feedback\\default.ini", "[General]\nMameStart=cmw 1 default\n"}}, {"default"}},
        {{{"vt2.ini", "[Feedback]\nFolder=mine\\\n"}, {"mine\\demo.ini", "[General]\nMameStart=cmw 1 mine\n"},
          {"feedback\\demo.ini", "[General]\nMameStart=cmw 1 own\n"}}, {"mine"}},
        {{}, {}},
    };
    for (const Case& c : cases) {
        FakeSystem run;
        run.hookProcess();
        run.engine.state.gameName = "demo";
        run.engine.state.OutputsActive = 1;
        for (const auto& [name, text] : c.files) run.folder.writeFile(name, text);
        LoadOutputs(run.engine, "demo");  // no [Outputs] in any descriptor: the guns start all the same
        EXPECT_EQ(run.feedbackPorts.texts(), c.started);
        EXPECT_EQ(run.engine.state.feedback != nullptr, !c.started.empty());
    }
    FakeSystem off;  // "Send Outputs to MameHooker" off: no gun is driven
    off.folder.writeFile("feedback\\default.ini", "[General]\nMameStart=cmw 1 S\n");
    LoadOutputs(off.engine, "demo");
    EXPECT_TRUE(off.feedbackPorts.writes.empty());
}

TEST_F(GunFeedbackRun, TheShippedDefaultDrivesTheGunsTheSettingsChooseAndKeepsTheirStopForAKilledRun) {
    struct Case {
        const char* what;
        std::vector<std::pair<std::string, std::string>> files;
        const char* kind1;
        Texts started;
        const char* pending;  // what a killed run leaves; empty: nothing
    };
    const Case cases[] = {
        {"the default beside VT2", {{"feedback\\default.ini", kShippedFeedbackIni}}, "firmware", {"S", "ZS"},
         "cmw 5 E,cmc 5,cmw 6 ZX,cmc 6\r\n"},
        {"vt2.ini names a folder without a default: VT2's own",
         {{"vt2.ini", "[Feedback]\nFolder=C:\\mame\\ini\n"}, {"feedback\\default.ini", kShippedFeedbackIni}}, "FIRMWARE",
         {"S", "ZS"}, "cmw 5 E,cmc 5,cmw 6 ZX,cmc 6\r\n"},
        {"a kind of no gun: that player's gun gets nothing", {{"feedback\\default.ini", kShippedFeedbackIni}}, "sinden", {"ZS"},
         "cmw 6 ZX,cmc 6\r\n"},
    };
    for (const Case& c : cases) {
        FakeSystem run;
        run.hookProcess();
        run.engine.state.gameName = "demo";
        run.engine.state.OutputsActive = 1;
        run.engine.state.settings.players[0].GunPort = 5;
        run.engine.state.settings.players[0].GunKind = c.kind1;
        run.engine.state.settings.players[1].GunPort = 6;
        run.engine.state.settings.players[1].GunKind = "zs";
        for (const auto& [name, text] : c.files) run.folder.writeFile(name, text);
        LoadOutputs(run.engine, "demo");
        EXPECT_EQ(run.feedbackPorts.texts(), c.started) << c.what;
        EXPECT_EQ(run.folder.readFile(pending), c.pending) << c.what;
    }
}

TEST_F(GunFeedbackRun, EveryWayOutSendsTheStopAndAKilledRunsStopComesFirstNextTime) {
    sys.folder.writeFile("feedback\\demo.ini", "[General]\nMameStart=cmw 1 S\nMameStop=cmw 1 E\n[Output]\nlamp=cmw 1 L%s%\n");
    sys.folder.writeFile("memcfg\\demo.ini", "[Outputs]\nEnable=1\nNumberOutputs=1\nOutput1Addr=&H3000\nOutput1Type=byte\nOutput1Name=lamp\n");
    load();
    EXPECT_EQ(sys.feedbackPorts.texts(), Texts{"S"});
    EXPECT_EQ(sys.folder.readFile(pending), "cmw 1 E\r\n");

    // Killed: the next run sends the stop before its start, and keeps its own stop in the mark.
    FakeSystem next;
    next.hookProcess();
    next.engine.state.gameName = "demo";
    next.engine.state.OutputsActive = 1;
    next.folder.writeFile(pending, "cmw 1 X\r\n");
    next.folder.writeFile("feedback\\demo.ini", "[General]\nMameStart=cmw 1 S\nMameStop=cmw 1 E\n");
    LoadOutputs(next.engine, "demo");
    EXPECT_EQ(next.feedbackPorts.texts(), (Texts{"X", "S"}));
    EXPECT_EQ(next.folder.readFile(pending), "cmw 1 E\r\n");

    for (int way = 0; way < 3; ++way) {
        FakeSystem run;
        run.hookProcess();
        run.engine.state.gameName = "demo";
        run.engine.state.OutputsActive = 1;
        run.engine.state.hooked = true;
        run.folder.writeFile("feedback\\demo.ini", "[General]\nMameStart=cmw 1 S\nMameStop=cmw 1 E\n");
        LoadOutputs(run.engine, "demo");
        const auto code = run.exitCodeOf([&] {
            if (way == 0) StopProgram(run.engine);                          // the game's window gone, the tray's Exit
            if (way == 1) EndProgramAtOnce(run.engine, ExitCode::MissingSettings);  // a stop at once
            if (way == 2) SendStopMessageIfActive(run.engine), StopProgram(run.engine);  // the stop message first
        });
        EXPECT_TRUE(code.has_value()) << way;
        EXPECT_EQ(run.feedbackPorts.texts(), (Texts{"S", "E"})) << way;  // the stop once, whichever way
        EXPECT_FALSE(run.files.fileExists(run.folder.path() + "\\" + pending)) << way;
    }
}

}  // namespace
}  // namespace vt2::test

namespace vt2::test {
namespace {

TEST(GunPortsDebugText, EachPortWhatItIsWhetherItIsOpenAndTheLastCommand) {
    EXPECT_EQ(GunPortsDebugText({}), "");
    EXPECT_EQ(GunPortsDebugText({{"COM5 (9600 baud)", true, "F0x1", ""},
                                 {"COM6 (9600 baud)", false, "S", "went away: The device is not ready."},
                                 {"recoil server 1 (127.0.0.1:13000)", false, "", "nothing answers at 127.0.0.1:13000"}}),
              "Guns:\r\nCOM5 (9600 baud): open, last sent F0x1\r\n"
              "COM6 (9600 baud): not open (went away: The device is not ready.), last sent S\r\n"
              "recoil server 1 (127.0.0.1:13000): not open (nothing answers at 127.0.0.1:13000)");
}

}  // namespace
}  // namespace vt2::test
