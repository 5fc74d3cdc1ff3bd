// Playing the demo game through VT2: a mouse moved and clicked (injected by another process)
// arrives in the game's memory, keys reach the game, and an escape press ends the game.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <utility>

#include "support/win32_harness.h"

namespace vt2::test {
namespace {

// The aim after 40 steps of (-6, -4) counts at acceleration 18 from the lower right corner.
const std::pair<double, double> kAimAfterSteps{1.0 - 240.0 * 18 / 65535, 1.0 - 160.0 * 18 / 65535};

// Each demo game (see HookRunEachGameE2E); the 64-bit one keeps player 2 on its heap above 4 GB,
// behind 8-byte pointers, as two "double"s.
class PlayingE2E : public ::testing::TestWithParam<DemoGame> {
protected:
    void SetUp() override {
        VT2_USE_DEMO_GAME(install, demo);
        install.setIni(demo.descriptor(), "Info", "LaunchGame", "0");
        // Player 1 on mouse 0 (the shipped default), the escape key on the keyboard.
        install.setIni("joycfg\\default.ini", "keys", "Enable", "1");
        install.setIni("joycfg\\default.ini", "keys", "P1EscKey", "27");
        install.setIni("joycfg\\default.ini", "keys", "P1StartKey", "83");  // "S"
    }
    void startGameAndVt2() {
        game = install.startDemoGame(demo);
        ASSERT_TRUE(WaitUntil([&] { return (gameWindow = FindTopWindowOf(game.id(), "VT2DemoGame")) != nullptr; }));
        ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == gameWindow; }));
        ASSERT_TRUE(ParkPointerAwayFromWindows());
        vt2 = install.startVt2(demo.name);
        ASSERT_TRUE(WaitForStatus(vt2, std::string("Status:  Hooked ") + demo.caption));
    }
    template <typename T>
    T read(const char* variable) const {
        return ReadGameValue<T>(game, layout.address(variable));
    }
    std::int16_t aimX() const { return read<std::int16_t>("vt2demo_p1_x"); }
    std::int16_t aimY() const { return read<std::int16_t>("vt2demo_p1_y"); }
    std::uint8_t buttons() const { return read<std::uint8_t>("vt2demo_buttons"); }
    // Player 2's aim, found as the hook finds it: through the world pointer and the player pointer.
    std::pair<double, double> player2Aim() const {
        const std::uint64_t world = ReadGamePointer(game, layout.address("vt2demo_world"));
        const std::uint64_t player = ReadGamePointer(game, world + 8);
        if (std::string(demo.name) == "demo64") return {ReadGameValue<double>(game, player + 8), ReadGameValue<double>(game, player + 16)};
        return {ReadGameValue<float>(game, player), ReadGameValue<float>(game, player + 4)};
    }

    const DemoGame demo = GetParam();
    TempInstall install;
    DemoLayout layout{demo};
    ChildProcess game;
    ChildProcess vt2;
    HWND gameWindow = nullptr;
};

TEST_P(PlayingE2E, TheAimFollowsTheMouseByTheAccelerationAndTheDescriptorsMultiAndOffset) {
    startGameAndVt2();
    // Far right and down first: the aim stops at 1, which is Multi 640 and 480 in the game.
    ASSERT_TRUE(Inject("move 3000 3000 3 --gap 30"));
    ASSERT_TRUE(WaitUntil([&] { return aimX() == 640 && aimY() == 480; })) << aimX() << "," << aimY();
    // Then 40 steps of (-6, -4) counts at acceleration 18.
    ASSERT_TRUE(Inject("move -6 -4 40 --gap 30"));
    const auto expectedX = static_cast<std::int16_t>(std::nearbyint(640 * kAimAfterSteps.first));   // 598
    const auto expectedY = static_cast<std::int16_t>(std::nearbyint(480 * kAimAfterSteps.second));  // 459
    EXPECT_TRUE(WaitUntil([&] { return aimX() == expectedX && aimY() == expectedY; }))
        << aimX() << "," << aimY() << " against " << expectedX << "," << expectedY;
}

TEST_P(PlayingE2E, Player2sAimIsWrittenThroughTheGamesPointers) {
    // Player 2 alone on the one mouse (both players on mouse 0 would mean no raw input at all).
    install.setIni("joycfg\\default.ini", "Player1", "Enable", "0");
    install.setIni("joycfg\\default.ini", "Player2", "Enable", "1");
    install.setIni("joycfg\\default.ini", "Player2", "MouseID", "0");
    startGameAndVt2();
    if (std::string(demo.name) == "demo64") {  // the pointers need all eight bytes
        ASSERT_GT(ReadGamePointer(game, layout.address("vt2demo_world")), 0xFFFFFFFFull);
    }
    ASSERT_TRUE(Inject("move 3000 3000 3 --gap 30"));
    ASSERT_TRUE(WaitUntil([&] { return player2Aim() == std::pair<double, double>(1.0, 1.0); }))
        << player2Aim().first << "," << player2Aim().second;
    ASSERT_TRUE(Inject("move -6 -4 40 --gap 30"));
    const auto [x, y] = kAimAfterSteps;
    EXPECT_TRUE(WaitUntil([&] {
        const auto [p2x, p2y] = player2Aim();
        return std::fabs(p2x - x) < 1e-5 && std::fabs(p2y - y) < 1e-5;
    })) << player2Aim().first << "," << player2Aim().second << " against " << x << "," << y;
}

TEST_P(PlayingE2E, TheTriggerBitFollowsTheLeftButton) {
    startGameAndVt2();
    ASSERT_EQ(buttons() & 1, 0);
    ASSERT_TRUE(Inject("button left down"));
    EXPECT_TRUE(WaitUntil([&] { return (buttons() & 1) == 1; }));
    EXPECT_EQ(buttons() & ~1, 0x04);  // the other bits as they were
    EXPECT_TRUE(WaitUntil([&] { return read<std::uint8_t>("vt2demo_lamp") == 1; }));
    ASSERT_TRUE(Inject("button left up"));
    EXPECT_TRUE(WaitUntil([&] { return (buttons() & 1) == 0; }));
    ASSERT_TRUE(Inject("button right down"));
    EXPECT_TRUE(WaitUntil([&] { return (buttons() & 2) == 2; }));
    ASSERT_TRUE(Inject("button right up"));
    EXPECT_TRUE(WaitUntil([&] { return (buttons() & 2) == 0; }));
}

TEST_P(PlayingE2E, TheStartKeyOfTheDescriptorReachesTheGame) {
    startGameAndVt2();
    // "S" is player 1's start button in the players' settings; the descriptor sends "1" (49) for
    // it. (A key, not the mouse's start button: an injected click lands on the desktop where the
    // pointer is parked, and would take the focus from the game.)
    ASSERT_TRUE(Inject("key 83 down"));
    EXPECT_TRUE(WaitUntil([&] { return read<std::int32_t>("vt2demo_last_key") == 49; }))
        << "last key " << read<std::int32_t>("vt2demo_last_key") << ", keys " << read<std::int32_t>("vt2demo_key_presses")
        << ", foreground is the game: " << (GetForegroundWindow() == gameWindow);
    ASSERT_TRUE(Inject("key 83 up"));
}

TEST_P(PlayingE2E, AnEscapePressWithExitModeTwoEndsTheGameThenVt2) {
    startGameAndVt2();
    ASSERT_TRUE(Inject("key 27 down"));
    EXPECT_EQ(game.waitForExit(), 0u);
    EXPECT_EQ(vt2.waitForExit(), 0u);
    Inject("key 27 up");
}

INSTANTIATE_TEST_SUITE_P(Each, PlayingE2E, ::testing::ValuesIn(DemoGames()), DemoGameName);

}  // namespace
}  // namespace vt2::test
