// The outputs of the demo game reaching an output server (our own, logging every command), and
// the debug window's labels.
#include <gtest/gtest.h>

#include <algorithm>

#include "adapters/win32/main_window_ids.h"
#include "support/win32_harness.h"

namespace vt2::test {
namespace {

std::size_t CountStartingWith(const std::vector<std::string>& lines, const std::string& prefix) {
    return static_cast<std::size_t>(
        std::count_if(lines.begin(), lines.end(), [&](const std::string& l) { return l.rfind(prefix, 0) == 0; }));
}

class OutputsE2E : public ::testing::Test {
protected:
    void SetUp() override {
        install.setIni("memcfg\\demo.ini", "Info", "LaunchGame", "0");
        log = install.file("outputs.log");
    }
    void startGameAndVt2() {
        game = install.startDemoGame();
        ASSERT_TRUE(WaitUntil([&] { return (gameWindow = FindTopWindowOf(game.id(), "VT2DemoGame")) != nullptr; }));
        ASSERT_TRUE(ParkPointerAwayFromWindows());
        vt2 = install.startVt2("demo");
        ASSERT_TRUE(WaitForStatus(vt2, "Status:  Hooked VT2 Demo Game"));
    }
    TempInstall install;
    std::string log;
    ChildProcess game;
    ChildProcess vt2;
    HWND gameWindow = nullptr;
};

// Each demo game; the 64-bit one has a fourth output, "shots", an "8byte" counted on from 2^32.
class OutputsEachGameE2E : public ::testing::TestWithParam<DemoGame> {
protected:
    void SetUp() override { VT2_USE_DEMO_GAME(install, demo); }
    const DemoGame demo = GetParam();
    TempInstall install;
};

TEST_P(OutputsEachGameE2E, StartChangesAndStopReachTheServerExactly) {
    install.setIni(demo.descriptor(), "Info", "LaunchGame", "0");
    const std::string log = install.file("outputs.log");
    ChildProcess server = StartOutputServer(log);
    ChildProcess game = install.startDemoGame(demo);
    HWND gameWindow = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (gameWindow = FindTopWindowOf(game.id(), "VT2DemoGame")) != nullptr; }));
    ASSERT_TRUE(ParkPointerAwayFromWindows());
    ChildProcess vt2 = install.startVt2(demo.name);
    ASSERT_TRUE(WaitForStatus(vt2, std::string("Status:  Hooked ") + demo.caption));
    ASSERT_TRUE(WaitUntil([&] { return !ReadLines(log).empty(); }));
    EXPECT_EQ(ReadLines(log).front(), std::string("mamestart|") + demo.name + "|PC");

    ASSERT_TRUE(Inject("button left down"));  // the lamp lights, a recoil is counted, the heat rises
    EXPECT_TRUE(WaitUntil([&] { return CountStartingWith(ReadLines(log), "statechange|1|lamp|1") == 1; }));
    ASSERT_TRUE(Inject("button left up"));
    EXPECT_TRUE(WaitUntil([&] { return CountStartingWith(ReadLines(log), "statechange|1|lamp|0") == 1; }));
    ASSERT_TRUE(Inject("button left down"));
    ASSERT_TRUE(Inject("button left up"));
    EXPECT_TRUE(WaitUntil([&] { return CountStartingWith(ReadLines(log), "statechange|2|recoil|2") == 1; }));
    EXPECT_TRUE(WaitUntil([&] { return CountStartingWith(ReadLines(log), "statechange|1|lamp|0") == 2; }));

    PostMessageA(gameWindow, WM_CLOSE, 0, 0);
    EXPECT_EQ(vt2.waitForExit(), 0u);
    const std::vector<std::string> lines = ReadLines(log);
    ASSERT_GE(lines.size(), 6u);
    EXPECT_EQ(CountStartingWith(lines, "mamestart|"), 1u);
    EXPECT_EQ(lines.back(), "mamestop|");
    EXPECT_EQ(CountStartingWith(lines, "mamestop|"), 1u);
    // One message per change, in the order the game made them.
    std::vector<std::string> lamp, recoil, shots;
    for (const std::string& l : lines) {
        if (l.rfind("statechange|1|lamp|", 0) == 0) lamp.push_back(l);
        if (l.rfind("statechange|2|recoil|", 0) == 0) recoil.push_back(l);
        if (l.rfind("statechange|4|shots|", 0) == 0) shots.push_back(l);
    }
    EXPECT_EQ(lamp, (std::vector<std::string>{"statechange|1|lamp|1", "statechange|1|lamp|0", "statechange|1|lamp|1",
                                              "statechange|1|lamp|0"}));
    EXPECT_EQ(recoil, (std::vector<std::string>{"statechange|2|recoil|1", "statechange|2|recoil|2"}));
    EXPECT_GT(CountStartingWith(lines, "statechange|3|heat|"), 2u);
    if (std::string(demo.name) == "demo64") {
        EXPECT_EQ(shots, (std::vector<std::string>{"statechange|4|shots|4294967296", "statechange|4|shots|4294967297",
                                                   "statechange|4|shots|4294967298"}));
    } else {
        EXPECT_TRUE(shots.empty());
    }
}
INSTANTIATE_TEST_SUITE_P(Each, OutputsEachGameE2E, ::testing::ValuesIn(DemoGames()), DemoGameName);

TEST_F(OutputsE2E, WithoutAServerTheRunGoesOn) {
    startGameAndVt2();
    ASSERT_TRUE(Inject("button left down"));
    ASSERT_TRUE(Inject("button left up"));
    EXPECT_TRUE(WaitUntil([&] { return ReadGameValue<std::int16_t>(game, DemoLayout().address("vt2demo_recoil")) == 1; }));
    EXPECT_TRUE(vt2.running());
    PostMessageA(gameWindow, WM_CLOSE, 0, 0);
    EXPECT_EQ(vt2.waitForExit(), 0u);
}

TEST_F(OutputsE2E, TheDebugLabelsShowThePlayersAndTheOutputs) {
    startGameAndVt2();
    const HWND main = FindMainWindowOf(vt2.id());
    ASSERT_TRUE(Inject("move 3000 3000 2 --gap 30"));  // the aim to 1, 1
    EXPECT_TRUE(WaitUntil([&] {
        return LabelText(main, win32::kIdPlayer1Label) ==
               "Player 1:\r\nX:  1\r\nY:  1\r\n\r\nTrigger:  0\r\nReload:  0\r\nStart:  0\r\nCoin:  0";
    })) << LabelText(main, win32::kIdPlayer1Label);
    EXPECT_EQ(LabelText(main, win32::kIdPlayer2Label).rfind("Player 2:  (NC)\r\nX:  0\r\n", 0), 0u);
    EXPECT_EQ(LabelText(main, win32::kIdOutputsLabel), "Outputs:\r\n\r\nlamp=0\r\nrecoil=0\r\nheat=0");
    ASSERT_TRUE(Inject("button left down"));
    EXPECT_TRUE(WaitUntil([&] { return LabelText(main, win32::kIdOutputsLabel).find("lamp=1\r\nrecoil=1") != std::string::npos; }))
        << LabelText(main, win32::kIdOutputsLabel);
    EXPECT_TRUE(WaitUntil([&] { return LabelText(main, win32::kIdPlayer1Label).find("Trigger:  1") != std::string::npos; }));
    ASSERT_TRUE(Inject("button left up"));
}

}  // namespace
}  // namespace vt2::test
