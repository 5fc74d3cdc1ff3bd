// Playing the demo game through VT2: a mouse moved and clicked (injected by another process)
// arrives in the game's memory, keys reach the game, and an escape press ends the game.
#include <gtest/gtest.h>

#include <cmath>

#include "support/win32_harness.h"

namespace vt2::test {
namespace {

class PlayingE2E : public ::testing::Test {
protected:
    void SetUp() override {
        install.setIni("memcfg\\demo.ini", "Info", "LaunchGame", "0");
        // Player 1 on mouse 0 (the shipped default), the escape key on the keyboard.
        install.setIni("joycfg\\default.ini", "keys", "Enable", "1");
        install.setIni("joycfg\\default.ini", "keys", "P1EscKey", "27");
        install.setIni("joycfg\\default.ini", "keys", "P1StartKey", "83");  // "S"
        game = install.startDemoGame();
        ASSERT_TRUE(WaitUntil([&] { return (gameWindow = FindTopWindowOf(game.id(), "VT2DemoGame")) != nullptr; }));
        ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == gameWindow; }));
        ASSERT_TRUE(ParkPointerAwayFromWindows());
        vt2 = install.startVt2("demo");
        ASSERT_TRUE(WaitForStatus(vt2, "Status:  Hooked VT2 Demo Game"));
    }
    template <typename T>
    T read(const char* variable) const {
        return ReadGameValue<T>(game, layout.address(variable));
    }
    std::int16_t aimX() const { return read<std::int16_t>("vt2demo_p1_x"); }
    std::int16_t aimY() const { return read<std::int16_t>("vt2demo_p1_y"); }
    std::uint8_t buttons() const { return read<std::uint8_t>("vt2demo_buttons"); }

    TempInstall install;
    DemoLayout layout;
    ChildProcess game;
    ChildProcess vt2;
    HWND gameWindow = nullptr;
};

TEST_F(PlayingE2E, TheAimFollowsTheMouseByTheAccelerationAndTheDescriptorsMultiAndOffset) {
    // Far right and down first: the aim stops at 1, which is Multi 640 and 480 in the game.
    ASSERT_TRUE(Inject("move 3000 3000 3 --gap 30"));
    ASSERT_TRUE(WaitUntil([&] { return aimX() == 640 && aimY() == 480; })) << aimX() << "," << aimY();
    // Then 40 steps of (-6, -4) counts at acceleration 18.
    ASSERT_TRUE(Inject("move -6 -4 40 --gap 30"));
    const double x = 1.0 - 240.0 * 18 / 65535;
    const double y = 1.0 - 160.0 * 18 / 65535;
    const auto expectedX = static_cast<std::int16_t>(std::nearbyint(640 * x));  // 598
    const auto expectedY = static_cast<std::int16_t>(std::nearbyint(480 * y));  // 459
    EXPECT_TRUE(WaitUntil([&] { return aimX() == expectedX && aimY() == expectedY; }))
        << aimX() << "," << aimY() << " against " << expectedX << "," << expectedY;
}

TEST_F(PlayingE2E, TheTriggerBitFollowsTheLeftButton) {
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

TEST_F(PlayingE2E, TheStartKeyOfTheDescriptorReachesTheGame) {
    // "S" is player 1's start button in the players' settings; the descriptor sends "1" (49) for
    // it. (A key, not the mouse's start button: an injected click lands on the desktop where the
    // pointer is parked, and would take the focus from the game.)
    ASSERT_TRUE(Inject("key 83 down"));
    EXPECT_TRUE(WaitUntil([&] { return read<std::int32_t>("vt2demo_last_key") == 49; }))
        << "last key " << read<std::int32_t>("vt2demo_last_key") << ", keys " << read<std::int32_t>("vt2demo_key_presses")
        << ", foreground is the game: " << (GetForegroundWindow() == gameWindow);
    ASSERT_TRUE(Inject("key 83 up"));
}

TEST_F(PlayingE2E, AnEscapePressWithExitModeTwoEndsTheGameThenVt2) {
    ASSERT_TRUE(Inject("key 27 down"));
    EXPECT_EQ(game.waitForExit(), 0u);
    EXPECT_EQ(vt2.waitForExit(), 0u);
    Inject("key 27 up");
}

}  // namespace
}  // namespace vt2::test
