// The wait for the game's window, the hook, and the pass loop until the game is gone.
#include <gtest/gtest.h>

#include "engine/exit_codes.h"
#include "engine/form1.h"
#include "engine/hook_run.h"
#include "engine/input_devices.h"
#include "support/fake_platform.h"

namespace vt2::test {
namespace {

class HookRun : public ::testing::Test {
protected:
    void SetUp() override {
        sys.engine.state.gameName = "demo";
        GameDescriptor& d = sys.engine.state.descriptor;
        d.Name = "Demo";
        d.WinClass = "DemoClass";
        d.WinCaption = "Demo Game";
        sys.memory.processes[4242];
    }
    WindowHandle addGame(const std::string& caption = "Demo Game") {
        return sys.windows.addWindow({"DemoClass", caption, 4242, 0x14CF0000});
    }
    FakeSystem sys;
};

TEST_F(HookRun, WaitsHandlingMessagesUntilTheWindowAppears) {
    sys.messages.onPump = [&](int n) {
        if (n == 3) addGame();
    };
    WaitForGameWindow(sys.engine);
    EXPECT_EQ(sys.messages.pumps(), 3);
    EXPECT_EQ(sys.windows.findCalls(), 3);
    EXPECT_EQ(sys.engine.state.gameWindow, 1u);
    // Each attempt lets messages through first, then searches by class and caption.
    EXPECT_EQ(EventLog(sys.log.begin(), sys.log.begin() + 4),
              (EventLog{"pump", "find DemoClass|Demo Game", "pump", "find DemoClass|Demo Game"}));
}

TEST_F(HookRun, AWindowWithAnotherCaptionIsNotTheGame) {
    addGame("Something else");
    sys.messages.onPump = [&](int n) {
        if (n == 5) addGame();
    };
    WaitForGameWindow(sys.engine);
    EXPECT_EQ(sys.engine.state.gameWindow, 2u);
}

TEST_F(HookRun, EmptyCaptionSearchesByClassAloneAndAdoptsTheFoundCaption) {
    sys.engine.state.descriptor.WinCaption = "";
    addGame("Whatever It Says");
    WaitForGameWindow(sys.engine);
    EXPECT_EQ(sys.log[1], "find DemoClass|<any>");
    EXPECT_EQ(sys.engine.state.descriptor.WinCaption, "Whatever It Says");
}

TEST_F(HookRun, AGameOfAnotherBuildThanTheDescriptorPinsIsNotedAtTheHook) {
    sys.folder.writeFile("demo.exe", "version 2");
    sys.modules.modules[4242] = {{"demo.exe", 0x400000, sys.folder.path() + "\\demo.exe"}};
    GameDescriptor& d = sys.engine.state.descriptor;
    d.ExeName = "demo.exe";
    d.ExeSize = "9";  // as it is
    addGame();
    WaitForGameWindow(sys.engine);
    HookGame(sys.engine);
    EXPECT_EQ(sys.engine.state.notes, std::vector<std::string>{});
    d.ExeSize = "8";
    WarnOfAnotherBuild(sys.engine);
    ASSERT_EQ(sys.engine.state.notes.size(), 1u);
    EXPECT_EQ(sys.engine.state.notes[0].rfind("Descriptor: the game's program is another build", 0), 0u) << sys.engine.state.notes[0];
}

// Without the program module a chain would lead to its offsets alone ("||&H500" to &H500, which
// may be some other thing of the game's): nothing is written through it, and the debug window says why.
TEST_F(HookRun, ChainsOfAProgramModuleThatIsNotListedAreNotedAndWriteNothing) {
    sys.folder.writeFile("memcfg\\demo.ini",
                         "[Inputs]\r\nP1XPTR=||&H500\r\nP1XType=byte\r\nP1XMulti=100\r\nP1YAddr=&H600\r\nP1YType=byte\r\n"
                         "P1YMulti=100\r\nP2XPTR=&H10|4|8\r\nP2XAddr=&H700\r\nP2XType=byte\r\n");
    const struct {
        std::vector<ModuleEntry> listed;
        std::size_t notes;
        GameAddress p1x;
    } cases[] = {
        {{}, 1, 0},                                  // the system gave no list
        {{{"other.exe", 0x10000000}}, 1, 0},         // the game's program is not in it
        {{{"DEMO.EXE", 0x400000}}, 0, 0x400500},     // there, whatever the case of its name
    };
    for (const auto& c : cases) {
        FakeSystem run;
        run.engine.state.programFolder = sys.folder.path();
        run.engine.state.gameName = "demo";
        run.engine.state.descriptor = sys.engine.state.descriptor;
        run.engine.state.descriptor.ExeName = "demo.exe";
        run.memory.processes[4242].map(0x500, 0x10);
        run.modules.modules[4242] = c.listed;
        run.windows.addWindow({"DemoClass", "Demo Game", 4242, 0x14CF0000});
        WaitForGameWindow(run.engine);
        HookGame(run.engine);
        const HookState& s = run.engine.state;
        ASSERT_EQ(s.notes.size(), c.notes) << c.listed.size();
        if (c.notes) {
            EXPECT_EQ(s.notes[0], "Descriptor: the game's program module (demo.exe) was not found: its 2 pointer chains are not "
                                  "followed, and nothing is written through them");
        }
        EXPECT_EQ(s.inputMap.P1X.address, c.p1x);
        EXPECT_EQ(s.inputMap.P1Y.address, 0x600u);  // a plain address needs no module
        EXPECT_EQ(s.inputMap.P2X.address, c.notes ? 0u : 8u);  // never its Addr in the chain's place
    }
}

TEST_F(HookRun, TheMenusExitItemWorksWhileWaiting) {
    Form1 form(sys.engine);
    sys.messages.onPump = [&](int n) {
        if (n == 4) sys.messages.post([&] { form.mnuPopExit_Click(); });
    };
    EXPECT_EQ(sys.exitCodeOf([&] { RunGameHook(sys.engine); }), 0);
    EXPECT_EQ(sys.engine.state.gameWindow, 0u);
}

TEST_F(HookRun, HookingOpensTheGamesProcessPausesThenReportsHooked) {
    addGame();
    WaitForGameWindow(sys.engine);
    sys.log.clear();
    HookGame(sys.engine);
    EXPECT_EQ(sys.log,
              (EventLog{"open process 4242", "sleep 2000", "screen size", "label status=Status:  Hooked Demo"}));
    ASSERT_NE(sys.engine.state.memory, nullptr);
    EXPECT_EQ(sys.engine.state.memory->PID(), 4242);
    EXPECT_TRUE(sys.engine.state.memory->isOpen());
}

TEST_F(HookRun, AProcessThatCannotBeOpenedEndsTheRunWithAMessageInsteadOfAHookThatDoesNothing) {
    sys.windows.addWindow({"DemoClass", "Demo Game", 999, 0});  // as a game run as administrator is to VT2
    WaitForGameWindow(sys.engine);
    sys.log.clear();
    EXPECT_EQ(sys.exitCodeOf([&] { HookGame(sys.engine); }), static_cast<int>(ExitCode::GameNotOpened));
    EXPECT_FALSE(sys.engine.state.memory->isOpen());
    EXPECT_EQ(sys.log.at(1), "message " + GameNotOpenedMessage("Demo"));
    EXPECT_NE(GameNotOpenedMessage("Demo").find("as administrator"), std::string::npos);
    EXPECT_EQ(sys.indexOf("sleep 2000"), -1);  // no pause, no loading: the run ends at once
    EXPECT_NE(sys.mainWindow.labels[MainWindowLabel::Status], "Status:  Hooked Demo");
    EXPECT_EQ(sys.log.back(), "exit 8");
}

TEST_F(HookRun, AGameThisBuildCannotReachEndsTheRunWithAMessageAndNothingWritten) {
    FakeGameProcess& game = sys.memory.processes[4242];
    game.is64Bit = true;
    game.reachable = false;  // a 64-bit game to a 32-bit VT2
    game.map(0x1000, 4);
    addGame();
    WaitForGameWindow(sys.engine);
    sys.log.clear();
    EXPECT_EQ(sys.exitCodeOf([&] { HookGame(sys.engine); }), static_cast<int>(ExitCode::GameOutOfReach));
    EXPECT_EQ(sys.log.at(1), "message " + GameOutOfReachMessage("Demo"));
    EXPECT_EQ(sys.indexOf("sleep 2000"), -1);
    // Its memory manager, were it used, neither reads nor writes.
    sys.engine.state.memory->writeByte(0x1000, 7);
    EXPECT_TRUE(game.writes.empty());
    EXPECT_EQ(sys.log.back(), "exit 9");
}

TEST_F(HookRun, AWindowGoneBeforeTheHookEndsTheRunAsAClosedGameDoes) {
    const WindowHandle game = addGame();
    WaitForGameWindow(sys.engine);
    sys.windows.window(game).exists = false;  // the game closed in the meantime: no process id
    EXPECT_EQ(sys.exitCodeOf([&] { HookGame(sys.engine); }), 0);
    EXPECT_EQ(sys.indexOf("open process 0"), -1);
    EXPECT_TRUE(sys.eventsStartingWith("module snapshot").empty());  // this program's own modules stay unwalked
}

TEST_F(HookRun, PassLetsMessagesThroughFirstAndReadsTheCaptionLast) {
    const WindowHandle game = addGame();
    sys.engine.state.gameWindow = game;
    RunPass(sys.engine);
    // The aim's area is read first, so that the input of this pass goes where the picture is now.
    EXPECT_EQ(sys.log, (EventLog{"screen size", "pump", "label player1", "label player2", "caption"}));
}

TEST_F(HookRun, PassAgesEveryPlayerValueAfterTheWriters) {
    sys.engine.state.gameWindow = addGame();
    PlayerValues& p2 = sys.engine.state.players[kPlayer2].current;
    p2.X = 0.25f;
    p2.Trigger = 1;
    p2.Esc = 1;
    RunPass(sys.engine);
    EXPECT_EQ(sys.engine.state.players[kPlayer2].previous, p2);
    EXPECT_EQ(sys.engine.state.players[kPlayer1].previous, PlayerValues{});
}

TEST_F(HookRun, EveryStepOfAPassInItsOrder) {
    HookState& s = sys.engine.state;
    s.gameWindow = addGame();
    s.settings.KeysEnabled = 1;
    s.settings.P1EscKey = 27;
    s.settings.players[kPlayer1].SysMouse = 1;
    s.inputMap.KeyInjection = 1;
    s.inputMap.P1CoinKey = 53;
    s.inputMap.ExitMode = 2;
    s.players[kPlayer1].current.Trigger = 1;
    s.players[kPlayer1].current.CoinDevice = 1;
    s.settings.DeviceButtonsCount = true;
    sys.keyboard.states[27] = static_cast<std::int16_t>(0x8000);
    RunPass(sys.engine);
    EXPECT_EQ(sys.log, (EventLog{"screen size", "pump", "key state 27", "mouse 2", "key down 53 scan 29", "label player1",
                                 "label player2", "caption", "post quit 1"}));
    // The combined states were written before the writers ran, and aged after them.
    EXPECT_EQ(s.players[kPlayer1].previous.Coin, 1);
    EXPECT_EQ(s.players[kPlayer1].previous.Esc, 1);
    EXPECT_EQ(s.passes, 1u);
}

TEST_F(HookRun, TheRunEndsWithTheOrderlyStopOnlyWhenTheCaptionReadsEmpty) {
    const WindowHandle game = addGame();
    // The paced loop reads the caption at its first pass and then once in 16 ms: at passes 1, 5
    // and 9 here, where each wait lasts a tick of 4 ms.
    sys.messages.onPump = [&](int n) {
        if (n == 4) sys.windows.window(game).caption = "Demo Game - paused";  // a new caption goes on
        if (n == 8) {  // the game is gone
            sys.windows.window(game).exists = false;
            sys.memory.processes[4242].ended = true;
        }
    };
    EXPECT_EQ(sys.exitCodeOf([&] { RunGameHook(sys.engine); }), 0);
    EXPECT_EQ(sys.messages.pumps(), 10);  // one pump to find the window, nine passes
    EXPECT_EQ(sys.eventsStartingWith("caption").size(), 3u);
    const int stop = sys.indexOf("tray remove");
    ASSERT_GE(stop, 0);
    EXPECT_EQ(EventLog(sys.log.begin() + stop - 1, sys.log.end()),
              (EventLog{"caption", "tray remove", "minimise", "minimise", "sleep 100", "stop reports", "release directx",
                        "pacer end", "exit 0"}));
}

// The loop between passes: paced by default, back to back when vt2.ini asks or no timer is there.
TEST_F(HookRun, ThePacedLoopWaitsAfterEveryPassAndGivesTheTimerBackBeforeTheEnd) {
    const WindowHandle game = addGame();
    sys.messages.onPump = [&](int n) {
        if (n == 5) sys.windows.window(game).caption = "";  // the game is gone at the fifth pump
    };
    EXPECT_EQ(sys.exitCodeOf([&] { RunGameHook(sys.engine); }), 0);
    EXPECT_EQ(sys.log.front(), "pacer begin 4");  // before the wait for the window, which it paces too
    // Five passes (the caption is read again 16 ms after the first), each followed by a wait for
    // input or the tick, except the last, which stopped.
    EXPECT_EQ(sys.pacer.waits, 4);
    for (int i = 0; i + 1 < static_cast<int>(sys.log.size()); ++i) {
        if (sys.log[i] == "caption" && i + 1 < sys.indexOf("tray remove")) {
            EXPECT_EQ(sys.log[i + 1], "pacer wait") << i;
        }
    }
    EXPECT_EQ(sys.eventsStartingWith("pacer end").size(), 1u);
    EXPECT_EQ(sys.log[sys.log.size() - 2], "pacer end");
    EXPECT_EQ(sys.log.back(), "exit 0");
}

// A wait that ended on the tick leaves nothing to look for; one that ended on a message, or no
// wait at all (the busy loop), has the pass look for messages first.
TEST_F(HookRun, OnlyAWaitThatEndedOnAMessageHasTheNextPassLookForMessages) {
    const WindowHandle game = addGame();
    sys.pacer.wakes = {false, true, false, false, true};
    std::vector<std::string> passesThatLooked;
    sys.messages.onPump = [&](int n) {
        passesThatLooked.push_back(std::to_string(sys.engine.state.passes));
        if (n == 4) sys.windows.window(game).caption = "";  // ends the run at the pass that looks next
    };
    EXPECT_EQ(sys.exitCodeOf([&] { RunGameHook(sys.engine); }), 0);
    // The window is found at the first look (pass 0); pass 1 follows no wait, pass 2 a tick,
    // pass 3 a message, passes 4 and 5 ticks, pass 6 a message.
    // Then every pass looks until the caption is read again, at pass 9 (passes 1, 5 and 9 read it).
    EXPECT_EQ(passesThatLooked, (std::vector<std::string>{"0", "1", "3", "6", "7", "8", "9"}));
    EXPECT_TRUE(sys.engine.state.messagesMayWait);  // the stop gives the pumps back to every caller

    FakeSystem busy;
    busy.folder.writeFile("vt2.ini", "[Loop]\r\nBusy=1\r\n");
    busy.engine.state.descriptor = sys.engine.state.descriptor;
    busy.memory.processes[4242];
    const WindowHandle other = busy.windows.addWindow({"DemoClass", "Demo Game", 4242, 0x14CF0000});
    busy.pacer.wakes = {false, false, false};
    busy.messages.onPump = [&](int n) {
        if (n == 3) busy.windows.window(other).caption = "";
    };
    EXPECT_EQ(busy.exitCodeOf([&] { RunGameHook(busy.engine); }), 0);
    EXPECT_EQ(busy.engine.state.passes, 2u);  // every pass looked: the window's, then two passes
    // The paced loop's passes take one message each; the busy loop's every message there is.
    EXPECT_EQ(sys.messages.nextMessagePumps, 7);
    EXPECT_EQ(busy.messages.nextMessagePumps, 0);
}

TEST_F(HookRun, TheWaitForTheWindowIsPacedAndTheJoysticksEventsWakeTheLoop) {
    sys.engine.state.settings.players[kPlayer1].JoyID = 1;
    sys.joysticks.controllers = 1;
    LoadJoysticks(sys.engine);
    StartPacing(sys.engine);
    sys.messages.onPump = [&](int n) {
        if (n == 3) addGame();
    };
    WaitForGameWindow(sys.engine);
    EXPECT_EQ(sys.eventsStartingWith("pacer wait"), (std::vector<std::string>{"pacer wait 101 102", "pacer wait 101 102"}));
    StopPacing(sys.engine);
    StopPacing(sys.engine);  // once only
    EXPECT_EQ(sys.eventsStartingWith("pacer end").size(), 1u);
}

// The tick samples what only a poll sees: every millisecond for a polled joystick's aim, else
// every 4 ms (raw input and joystick events wake the loop at once either way).
TEST(PassTick, EveryMillisecondOnlyWhenAJoystickIsPolled) {
    struct Case {
        std::int16_t forcePoll, joy1, joy2;
        unsigned tickMs;
    };
    for (const Case c : {Case{0, 1, 2, 4}, Case{1, 0, 0, 4}, Case{1, -1, 0, 4}, Case{1, 1, 0, 1}, Case{2, 0, 3, 1}}) {
        PlayerSettings settings;
        settings.ForcePoll = c.forcePoll;
        settings.players[kPlayer1].JoyID = c.joy1;
        settings.players[kPlayer2].JoyID = c.joy2;
        EXPECT_EQ(PassTickMs(settings), c.tickMs) << c.forcePoll << " " << c.joy1 << " " << c.joy2;
    }
}

TEST_F(HookRun, BusyInVt2IniOrNoTimerRunsThePassesBackToBack) {
    sys.folder.writeFile("vt2.ini", "[Loop]\r\nBusy=1\r\n");
    sys.engine.state.descriptor.WinCaption = "";  // a window without caption: the run ends after one pass
    addGame("");
    EXPECT_EQ(sys.exitCodeOf([&] { RunGameHook(sys.engine); }), 0);
    EXPECT_TRUE(sys.eventsStartingWith("pacer").empty());

    FakeSystem other;
    other.engine.state.descriptor = sys.engine.state.descriptor;
    other.engine.state.descriptor.WinCaption = "";
    other.memory.processes[4242];
    other.windows.addWindow({"DemoClass", "", 4242, 0x14CF0000});
    other.pacer.available = false;
    EXPECT_EQ(other.exitCodeOf([&] { RunGameHook(other.engine); }), 0);
    EXPECT_EQ(other.eventsStartingWith("pacer"), (std::vector<std::string>{"pacer begin 4"}));  // no wait, no end
    EXPECT_EQ(other.engine.state.notes, (std::vector<std::string>{kNoTimerNote}));

    // Any other value of Busy keeps the default.
    sys.folder.writeFile("vt2.ini", "[Loop]\r\nBusy=yes\r\n");
    EXPECT_FALSE(BusyLoopChosen(sys.ini, sys.folder.path()));
    sys.folder.writeFile("vt2.ini", "[Loop]\r\nBusy= 1\r\n");
    EXPECT_TRUE(BusyLoopChosen(sys.ini, sys.folder.path()));
}

class FollowingTheGame : public HookRun {
protected:
    void SetUp() override {
        HookRun::SetUp();
        first = addGame();
        WaitForGameWindow(sys.engine);
        HookGame(sys.engine);
    }
    // The game closes its window and, after delayMs, opens another as given.
    void reopen(unsigned delayMs, FakeWindowSystem::Window next) {
        sys.windows.window(first).exists = false;
        const std::uint64_t at = sys.clock.now + delayMs;
        sys.messages.onPump = [this, at, next](int) {
            if (sys.clock.now >= at && second == 0) second = sys.windows.addWindow(next);
        };
    }
    WindowHandle first = 0;
    WindowHandle second = 0;
};

TEST_F(FollowingTheGame, ANewWindowOfTheSameClassAndCaptionInTheSameProcessCarriesTheRunOn) {
    sys.engine.state.inputMap.NoBorder = 1;
    reopen(1200, {"DemoClass", "Demo Game", 4242, 0x14CF0000});
    sys.log.clear();
    RunPass(sys.engine);  // no exit: the run goes on
    EXPECT_EQ(sys.engine.state.gameWindow, second);
    EXPECT_EQ(sys.eventsStartingWith("set style"), (std::vector<std::string>{"set style 10000000"}));  // NoBorder again
    EXPECT_EQ(sys.eventsStartingWith("find in process").front(), "find in process 4242 DemoClass|Demo Game");
    EXPECT_EQ(sys.indexOf("tray remove"), -1);
    sys.log.clear();
    RunPass(sys.engine);
    EXPECT_EQ(sys.eventsStartingWith("find in process").size(), 0u);  // the new window's caption reads fine
}

TEST_F(FollowingTheGame, AnotherProcessOrAnotherCaptionIsNotTheGameAndTheWaitEndsAfterThreeSeconds) {
    sys.windows.addWindow({"DemoClass", "Demo Game", 5555, 0});  // another program's window
    reopen(0, {"DemoClass", "Demo Game - menu", 4242, 0});
    const std::uint64_t start = sys.clock.now;
    EXPECT_EQ(sys.exitCodeOf([&] { RunPass(sys.engine); }), 0);
    // The wait, at most one more poll, then the stop's own pause.
    EXPECT_GE(sys.clock.now - start, kNewWindowWaitMs + 100);
    EXPECT_LE(sys.clock.now - start, kNewWindowWaitMs + kNewWindowPollMs + 100);
}

TEST_F(FollowingTheGame, AnAdoptedCaptionIsReadFromTheNewWindow) {
    sys.engine.state.captionAdopted = true;
    reopen(50, {"DemoClass", "Demo Game (full screen)", 4242, 0});
    RunPass(sys.engine);
    EXPECT_EQ(sys.engine.state.gameWindow, second);
    EXPECT_EQ(sys.engine.state.descriptor.WinCaption, "Demo Game (full screen)");
}

TEST_F(FollowingTheGame, AGameWhoseProcessHasEndedStopsTheRunAtOnce) {
    sys.windows.window(first).exists = false;
    sys.memory.processes[4242].ended = true;
    sys.log.clear();
    EXPECT_EQ(sys.exitCodeOf([&] { RunPass(sys.engine); }), 0);
    EXPECT_TRUE(sys.eventsStartingWith("find in process").empty());
    EXPECT_EQ(sys.indexOf("sleep 10"), -1);
}

TEST_F(FollowingTheGame, TheGameEndingDuringTheWaitStopsTheRunThen) {
    sys.windows.window(first).exists = false;
    sys.messages.onPump = [&](int n) {
        if (n >= 3) sys.memory.processes[4242].ended = true;
    };
    const std::uint64_t start = sys.clock.now;
    EXPECT_EQ(sys.exitCodeOf([&] { RunPass(sys.engine); }), 0);
    EXPECT_LT(sys.clock.now - start, 200u);
}

TEST_F(FollowingTheGame, TheTrayMenuWorksDuringTheWait) {
    sys.windows.window(first).exists = false;
    Form1 form(sys.engine);
    sys.messages.onPump = [&](int n) {
        if (n == 5) sys.messages.post([&] { form.mnuPopExit_Click(); });
    };
    EXPECT_EQ(sys.exitCodeOf([&] { RunPass(sys.engine); }), 0);
    EXPECT_LT(sys.messages.pumps(), 10);
}

TEST_F(HookRun, AGameWhoseCaptionIsEmptyEndsAfterTheFirstPass) {
    sys.engine.state.descriptor.WinCaption = "";
    addGame("");
    EXPECT_EQ(sys.exitCodeOf([&] { RunGameHook(sys.engine); }), 0);
    EXPECT_EQ(sys.messages.pumps(), 2);  // the wait, then one pass
}

TEST_F(HookRun, TheMenusExitItemWorksWhileRunning) {
    addGame();
    Form1 form(sys.engine);
    sys.messages.onPump = [&](int n) {
        if (n == 10) sys.messages.post([&] { form.mnuPopExit_Click(); });
    };
    EXPECT_EQ(sys.exitCodeOf([&] { RunGameHook(sys.engine); }), 0);
    EXPECT_EQ(sys.messages.pumps(), 10);
    EXPECT_EQ(sys.mainWindow.labels[MainWindowLabel::Status], "Status:  Hooked Demo");
}

}  // namespace
}  // namespace vt2::test
