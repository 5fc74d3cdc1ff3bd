// Two guns on Linux: the bridge plays two recorded guns into VT2 under Wine, which tells them apart
// as raw input cannot (Wine gives every mouse one handle).
#include <winsock2.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <thread>
#include <utility>
#include <string>

#include "adapters/win32/main_window_ids.h"
#include "input/bridge_protocol.h"
#include "support/test_paths.h"
#include "support/ui_driver.h"
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
    std::string notes() const { return LabelText(FindMainWindowOf(vt2.id()), win32::kIdNotesLabel); }
    std::pair<float, float> aim2() const {
        const std::uint64_t world = ReadGamePointer(game, layout.address("vt2demo_world"));
        const std::uint64_t p = ReadGamePointer(game, world + 8);
        return {ReadGameValue<float>(game, p), ReadGameValue<float>(game, p + 4)};
    }

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
    auto player2 = [&] { return aim2(); };
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

// The configuration tool opened while a game runs lists the mice, the bridge's guns among them:
// it connects to the bridge beside the run, which goes on getting every report, also after the
// tool is closed (the bridge, started to end with its clients, ends only with the last).
TEST_F(BridgeE2E, ARunAndTheConfigurationToolShareTheBridgeAndTheRunStillAimsAfterTheToolCloses) {
    startRun(kPlayer1Gun, kPlayer2Gun);
    ChildProcess tool = install.startVt2("");
    const UiWindow config = UiWindow::WaitFor(tool.id(), "Vantor 2 Configuration");
    ASSERT_TRUE(config);
    // Each player's device is named beside its list: the guns the tool got from the bridge.
    const bool namesTheGuns = WaitUntil([&] {
        std::string texts;
        for (HWND c : config.controls()) texts += UiWindow::text(c) + "|";
        return texts.find("Player One Gun") != std::string::npos && texts.find("Player Two Gun") != std::string::npos;
    });
    EXPECT_TRUE(namesTheGuns) << "the tool names the bridge's guns";
    PostMessageA(config.handle(), WM_CLOSE, 0, 0);
    EXPECT_EQ(tool.waitForExit(10000), 0u);
    // The guns play from the run's connection on (3 s of nothing, then both aim and shoot, the last
    // trigger let go at 8 s): the run gets all of it, though the tool came and went meanwhile.
    EXPECT_TRUE(WaitUntil([&] {
        return aim1() == std::make_pair(160, 120) && std::fabs(aim2().first - (1.0 - 1820.0 * 18 / 65535)) < 1e-4 &&
               aim2().second == 1.0f;
    })) << aim1().first << "," << aim1().second << " " << aim2().first << "," << aim2().second;
    EXPECT_TRUE(WaitUntil([&] { return (buttons() & 0x05) == 0x04; })) << int(buttons());
    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(vt2.waitForExit(), 0u);
}

// The bridge went away mid-game (ended, or crashed) and a new one comes: the run connects to it
// again by itself and its players, bound as before, aim and shoot with the same guns. (No bridge
// beside VT2 here, which it would start again itself: the next test.)
TEST_F(BridgeE2E, ARunThatLosesItsBridgeConnectsAgainWithItsPlayersBoundAsBefore) {
    startRun(kPlayer1Gun, kPlayer2Gun);
    ASSERT_TRUE(WaitUntil([&] { return aim1() == std::make_pair(160, 120) && (buttons() & 1) == 1; }))
        << aim1().first << "," << aim1().second << " buttons " << int(buttons());
    ASSERT_TRUE(bridge->stop());
    EXPECT_TRUE(WaitUntil([&] { return (buttons() & 1) == 0; })) << "the trigger let go with the bridge";
    EXPECT_TRUE(WaitUntil([&] { return notes().find("Linux input bridge gone") != std::string::npos; })) << notes();
    // The new bridge's recordings play from the start: 3.5 s on, player 1's trigger again.
    bridge = std::make_unique<RecordedBridge>(port, kPlayer1Gun + " " + kPlayer2Gun);
    ASSERT_TRUE(bridge->listening());
    EXPECT_TRUE(WaitUntil([&] { return notes().find("Linux input bridge connected again: 2 mice and guns") != std::string::npos; }))
        << notes();
    EXPECT_TRUE(WaitUntil([&] { return aim1() == std::make_pair(160, 120) && (buttons() & 1) == 1; }))
        << aim1().first << "," << aim1().second << " buttons " << int(buttons());
    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(vt2.waitForExit(), 0u);
}

// Under Wine, with the bridge beside it, a run whose bridge went starts it again and connects.
TEST_F(BridgeE2E, ARunThatLosesItsBridgeStartsItsOwnAgain) {
    ASSERT_TRUE(install.addLinuxBridge());
    startRun(kPlayer1Gun, kPlayer2Gun);
    ASSERT_TRUE(bridge->stop());
    EXPECT_TRUE(WaitUntil([&] { return notes().find("Linux input bridge connected again") != std::string::npos; })) << notes();
    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(vt2.waitForExit(), 0u);
    // The bridge VT2 started stays ten minutes for the next run: ended here, on the Linux side.
    const std::string pattern = "vt2bridge --port " + std::to_string(port) + " --exit-when-idle";
    ChildProcess::Start("Z:\\bin\\sh", "-c \"pkill -f '" + pattern + "'\"").waitForExit();
}

// Something that took the bridge's port without being the user's bridge (it cannot answer the
// challenge) hands VT2 no gun: the listing has raw input's mouse alone.
TEST_F(BridgeE2E, WhatHoldsThePortWithoutTheSecretGivesNoGun) {
    WSADATA data{};
    WSAStartup(MAKEWORD(2, 2), &data);
    const SOCKET listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<u_short>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(bind(listener, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(listen(listener, 4), 0);
    // It tells of a gun at once, then, to the next caller, asks as the bridge would and answers
    // with a MAC it cannot know.
    std::thread impostor([&] {
        std::vector<std::uint8_t> lies;
        for (const BridgeMessage& m : {BridgeMessage{BridgeDeviceAdded{1, "Fake Gun", 1, 2, "/dev/input/fake", true, false, {}, {}}},
                                       BridgeMessage{BridgeDevicesListed{}}}) {
            const auto bytes = EncodeBridgeMessage(m);
            lies.insert(lies.end(), bytes.begin(), bytes.end());
        }
        for (int caller = 0; caller < 2; ++caller) {
            const SOCKET s = accept(listener, nullptr, nullptr);
            if (s == INVALID_SOCKET) return;
            std::vector<std::uint8_t> sent = caller == 0 ? lies : EncodeBridgeMessage(BridgeChallenge{});
            if (caller == 1) {
                const auto answer = EncodeBridgeMessage(BridgeAnswer{});
                sent.insert(sent.end(), answer.begin(), answer.end());
                sent.insert(sent.end(), lies.begin(), lies.end());
            }
            send(s, reinterpret_cast<const char*>(sent.data()), static_cast<int>(sent.size()), 0);
            char buffer[256];
            while (recv(s, buffer, sizeof buffer, 0) > 0) {
            }
            closesocket(s);
        }
    });
    for (int caller = 0; caller < 2; ++caller) {
        const std::string listing = OutputOfVt2(install, "--list-devices");
        EXPECT_EQ(listing.find("Fake Gun"), std::string::npos) << listing;
        EXPECT_NE(listing.find("exit 0"), std::string::npos) << listing;
    }
    closesocket(listener);
    impostor.join();
    WSACleanup();
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
