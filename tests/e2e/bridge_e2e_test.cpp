// Two guns on Linux: the bridge plays two recorded guns into VT2 under Wine, which tells them apart
// as raw input cannot (Wine gives every mouse one handle).
#include <windows.h>

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <utility>
#include <string>

#include "support/test_paths.h"
#include "support/win32_harness.h"

namespace vt2::test {
namespace {

const std::string kPlayer1Gun = std::string(kRecordingsFolderOnLinux) + "/player1_gun.evemu";
const std::string kPlayer2Gun = std::string(kRecordingsFolderOnLinux) + "/player2_gun.evemu";
const std::string kPlayer1Replugged = std::string(kRecordingsFolderOnLinux) + "/player1_replugged.evemu";

class BridgeE2E : public ::testing::Test {
protected:
    void SetUp() override {
        if (*kLinuxBridge == '\0') GTEST_SKIP() << "this build has no Linux bridge in dist\\linux\\";
        port = 47900 + static_cast<int>(GetCurrentProcessId() % 90);
        install.setIni("vt2.ini", "Bridge", "Port", std::to_string(port));
    }
    // Both players light-gun players bound to these recordings by their paths alone, and the
    // demo game hooked.
    void startRun(const std::string& player1Gun, const std::string& player2Gun, const std::string& bridgeOptions = "") {
        install.setIni("memcfg\\demo.ini", "Info", "LaunchGame", "0");
        for (const char* p : {"Player1", "Player2"}) {
            install.setIni("joycfg\\default.ini", p, "Enable", "1");
            install.setIni("joycfg\\default.ini", p, "InputType", "lightgun");
            install.setIni("joycfg\\default.ini", p, "MouseID", "7");  // no such mouse: only the path binds
        }
        install.setIni("joycfg\\default.ini", "Player1", "MouseDevice", player1Gun);
        install.setIni("joycfg\\default.ini", "Player2", "MouseDevice", player2Gun);
        game = install.startDemoGame();
        ASSERT_TRUE(WaitUntil([&] { return (window = FindTopWindowOf(game.id(), "VT2DemoGame")) != nullptr; }));
        ASSERT_TRUE(ParkPointerAwayFromWindows());
        bridge = std::make_unique<RecordedBridge>(port, player1Gun + " " + player2Gun + " " + bridgeOptions);
        ASSERT_TRUE(bridge->listening());
        vt2 = install.startVt2("demo");
        ASSERT_TRUE(WaitForStatus(vt2, "Status:  Hooked VT2 Demo Game"));
    }
    std::pair<int, int> aim1() const {
        return {ReadGameValue<std::int16_t>(game, layout.address("vt2demo_p1_x")),
                ReadGameValue<std::int16_t>(game, layout.address("vt2demo_p1_y"))};
    }
    std::uint8_t buttons() const { return ReadGameValue<std::uint8_t>(game, layout.address("vt2demo_buttons")); }

    TempInstall install;
    int port = 0;
    const DemoLayout layout;
    ChildProcess game;
    HWND window = nullptr;
    std::unique_ptr<RecordedBridge> bridge;
    ChildProcess vt2;
};

TEST_F(BridgeE2E, ListDevicesShowsTheBridgesGunsWithTheirNamesAndPaths) {
    RecordedBridge listed(port, kPlayer1Gun + " " + kPlayer2Gun);
    ASSERT_TRUE(listed.listening());
    const std::string listing = OutputOfVt2(install, "--list-devices");
    EXPECT_NE(listing.find("Player One Gun  vendor 16C0  product 0F38"), std::string::npos) << listing;
    EXPECT_NE(listing.find(kPlayer1Gun), std::string::npos) << listing;
    EXPECT_NE(listing.find("Player Two Gun  vendor 046D  product C077"), std::string::npos) << listing;
    EXPECT_NE(listing.find(kPlayer2Gun), std::string::npos) << listing;
}

TEST_F(BridgeE2E, TwoGunsAimAndShootApartEachBoundToItsPlayerByItsPath) {
    // The recordings play from VT2's connection on: 3 s of nothing, then player 1's gun a quarter
    // across and down, player 2's at the lower right corner and then half way back.
    startRun(kPlayer1Gun, kPlayer2Gun);
    // A second VT2 for the same game ends at once (exit code 7) and leaves the bridge to the first.
    ChildProcess second = install.startVt2("demo");
    EXPECT_EQ(second.waitForExit(), 7u);
    auto player2 = [&] {
        const std::uint64_t world = ReadGamePointer(game, layout.address("vt2demo_world"));
        const std::uint64_t p = ReadGamePointer(game, world + 8);
        return std::make_pair(ReadGameValue<float>(game, p), ReadGameValue<float>(game, p + 4));
    };
    EXPECT_TRUE(WaitUntil([&] { return aim1() == std::make_pair(160, 120); }));
    // Player 1's trigger (bit 1) while player 2's (bit 4, set when released) rests, then the other way.
    EXPECT_TRUE(WaitUntil([&] { return (buttons() & 0x05) == 0x05; })) << int(buttons());
    EXPECT_TRUE(WaitUntil([&] { return (buttons() & 0x05) == 0x00; })) << int(buttons());
    EXPECT_TRUE(WaitUntil([&] { return (buttons() & 0x05) == 0x04; })) << int(buttons());
    EXPECT_TRUE(WaitUntil([&] { return std::fabs(player2().first - (1.0 - 1820.0 * 18 / 65535)) < 1e-4 && player2().second == 1.0f; }))
        << player2().first << "," << player2().second;
    EXPECT_EQ(aim1(), std::make_pair(160, 120));  // player 1 stays
    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(vt2.waitForExit(), 0u);
}

TEST_F(BridgeE2E, AGunUnpluggedAndPluggedInAgainKeepsItsPlayer) {
    // Player 1's gun is gone from 3.5 s to 4.5 s after VT2 connects; then it aims three quarters
    // in and pulls its trigger.
    startRun(kPlayer1Replugged, kPlayer2Gun, "--unplug " + kPlayer1Replugged + " 3500 4500");
    EXPECT_TRUE(WaitUntil([&] { return aim1() == std::make_pair(160, 120); })) << aim1().first << "," << aim1().second;
    EXPECT_TRUE(WaitUntil([&] { return aim1() == std::make_pair(480, 360) && (buttons() & 1) == 1; }))
        << aim1().first << "," << aim1().second << " buttons " << int(buttons());
    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(vt2.waitForExit(), 0u);
}

TEST_F(BridgeE2E, AGunPluggedInAfterTheStartTakesThePlayerItWasSavedFor) {
    // Player 1's gun is not there when VT2 binds the players (it comes 4.5 s after VT2
    // connects): player 1 is bound to nothing until it comes, then it aims and shoots.
    startRun(kPlayer1Replugged, kPlayer2Gun, "--unplug " + kPlayer1Replugged + " 0 4500");
    EXPECT_TRUE(WaitUntil([&] { return aim1() == std::make_pair(480, 360) && (buttons() & 1) == 1; }))
        << aim1().first << "," << aim1().second << " buttons " << int(buttons());
    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(vt2.waitForExit(), 0u);
}

}  // namespace
}  // namespace vt2::test
