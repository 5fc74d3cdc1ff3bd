// The outputs of the demo game over the network and window-message protocols, to clients of
// those protocols (our output server in its client modes): greeted, told every change, told the
// end; and with the defaults, only DDE.
#include <winsock2.h>

#include <gtest/gtest.h>

#include <algorithm>

#include "adapters/win32/main_window_ids.h"
#include "support/win32_harness.h"

namespace vt2::test {
namespace {

bool Has(const std::vector<std::string>& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

// The lines of a log that start with prefix, in order.
std::vector<std::string> Starting(const std::vector<std::string>& lines, const std::string& prefix) {
    std::vector<std::string> out;
    for (const std::string& l : lines) {
        if (l.rfind(prefix, 0) == 0) out.push_back(l);
    }
    return out;
}

class NumericOutputsE2E : public ::testing::Test {
protected:
    void SetUp() override {
        install.setIni("memcfg\\demo.ini", "Info", "LaunchGame", "0");
        // A port of this test's own, so that a run beside another one does not meet it.
        port = std::to_string(18000 + GetCurrentProcessId() % 2000);
    }
    void chooseProtocols(const char* dde, const char* network, const char* windows) {
        install.setIni("vt2.ini", "Outputs", "DDE", dde);
        install.setIni("vt2.ini", "Outputs", "Network", network);
        install.setIni("vt2.ini", "Outputs", "Windows", windows);
        install.setIni("vt2.ini", "Outputs", "NetworkPort", port);
    }
    void startGameAndVt2() {
        game = install.startDemoGame();
        ASSERT_TRUE(WaitUntil([&] { return (gameWindow = FindTopWindowOf(game.id(), "VT2DemoGame")) != nullptr; }));
        ASSERT_TRUE(ParkPointerAwayFromWindows());
        vt2 = install.startVt2("demo");
        ASSERT_TRUE(WaitForStatus(vt2, "Status:  Hooked VT2 Demo Game"));
    }
    void pullTriggerTwice() {
        for (int i = 0; i < 2; ++i) {
            ASSERT_TRUE(Inject("button left down"));
            ASSERT_TRUE(WaitUntil([&] { return ReadGameValue<std::uint8_t>(game, DemoLayout().address("vt2demo_lamp")) == 1; }));
            ASSERT_TRUE(Inject("button left up"));
            ASSERT_TRUE(WaitUntil([&] { return ReadGameValue<std::uint8_t>(game, DemoLayout().address("vt2demo_lamp")) == 0; }));
        }
    }
    void endGame() {
        PostMessageA(gameWindow, WM_CLOSE, 0, 0);
        EXPECT_EQ(vt2.waitForExit(), 0u);
    }

    TempInstall install;
    std::string port;
    ChildProcess game;
    ChildProcess vt2;
    HWND gameWindow = nullptr;
};

TEST_F(NumericOutputsE2E, NetworkClientsBeforeAndDuringTheRunGetTheStartEveryChangeAndTheStop) {
    chooseProtocols("1", "1", "0");
    const std::string early = install.file("early.log"), late = install.file("late.log");
    ChildProcess earlyClient = StartOutputServer(early, "--network 127.0.0.1:" + port);
    startGameAndVt2();
    ASSERT_TRUE(WaitUntil([&] { return Has(ReadLines(early), "net: mame_start = demo"); }));
    EXPECT_EQ(ReadLines(early).front(), "net: (connected)");  // it was there before the game started

    ChildProcess lateClient = StartOutputServer(late, "--network 127.0.0.1:" + port);
    ASSERT_TRUE(WaitUntil([&] { return Has(ReadLines(late), "net: mame_start = demo"); }));
    pullTriggerTwice();
    for (const std::string& log : {early, late}) {
        EXPECT_TRUE(WaitUntil([&] { return Starting(ReadLines(log), "net: lamp = ").size() == 4; })) << log;
        EXPECT_TRUE(WaitUntil([&] { return Has(ReadLines(log), "net: recoil = 2"); })) << log;
    }
    endGame();
    for (const std::string& log : {early, late}) {
        EXPECT_TRUE(WaitUntil([&] { return Has(ReadLines(log), "net: (closed)"); })) << log;
        const auto lines = ReadLines(log);
        EXPECT_EQ(Starting(lines, "net: lamp = "),
                  (std::vector<std::string>{"net: lamp = 1", "net: lamp = 0", "net: lamp = 1", "net: lamp = 0"}));
        EXPECT_EQ(Starting(lines, "net: recoil = "), (std::vector<std::string>{"net: recoil = 1", "net: recoil = 2"}));
        EXPECT_EQ(Starting(lines, "net: mame_start"), std::vector<std::string>{"net: mame_start = demo"});
        // The last message, then the server closes (the client then tries to connect again).
        const auto closed = std::find(lines.begin(), lines.end(), "net: (closed)");
        ASSERT_NE(closed, lines.begin());
        EXPECT_EQ(*(closed - 1), "net: mame_stop = 1");
        // The heat, a float, goes out as whole numbers, each one once as it cools.
        const auto heat = Starting(lines, "net: heat = ");
        EXPECT_FALSE(heat.empty());
        EXPECT_EQ(std::adjacent_find(heat.begin(), heat.end()), heat.end());
    }
}

TEST_F(NumericOutputsE2E, AWindowClientGetsTheCurrentValuesOnRegisteringEveryChangeAndTheNames) {
    chooseProtocols("1", "0", "1");
    startGameAndVt2();
    ASSERT_TRUE(WaitUntil([&] { return FindWindowA("MAMEOutput", "MAMEOutput") != nullptr; }));
    const std::string log = install.file("windows.log");
    ChildProcess client = StartOutputServer(log, "--windows");
    ASSERT_TRUE(WaitUntil([&] { return Has(ReadLines(log), "win: name 0 = demo"); }));
    // Every output's value at once, 0 before anything happened.
    EXPECT_TRUE(WaitUntil([&] {
        const auto lines = ReadLines(log);
        return Has(lines, "win: 1 = 0") && Has(lines, "win: 2 = 0") && Has(lines, "win: 3 = 0");
    }));
    pullTriggerTwice();
    EXPECT_TRUE(WaitUntil([&] { return Has(ReadLines(log), "win: 2 = 2"); }));
    EXPECT_TRUE(WaitUntil([&] {
        const auto lines = ReadLines(log);
        return Has(lines, "win: name 1 = lamp") && Has(lines, "win: name 2 = recoil") && Has(lines, "win: name 3 = heat");
    }));
    endGame();
    EXPECT_TRUE(WaitUntil([&] { return Has(ReadLines(log), "win: stop"); }));
    EXPECT_EQ(FindWindowA("MAMEOutput", nullptr), nullptr);
    const auto lamp = Starting(ReadLines(log), "win: 1 = ");
    EXPECT_EQ(lamp, (std::vector<std::string>{"win: 1 = 0", "win: 1 = 1", "win: 1 = 0", "win: 1 = 1", "win: 1 = 0"}));
}

TEST_F(NumericOutputsE2E, WithTheDefaultsOnlyDdeCarriesAnything) {
    const std::string dde = install.file("dde.log"), net = install.file("net.log"), win = install.file("win.log");
    ChildProcess ddeServer = StartOutputServer(dde);
    ChildProcess netClient = StartOutputServer(net, "--network 127.0.0.1:8000");
    ChildProcess winClient = StartOutputServer(win, "--windows");
    startGameAndVt2();
    ASSERT_TRUE(WaitUntil([&] { return Has(ReadLines(dde), "mamestart|demo|PC"); }));
    pullTriggerTwice();
    ASSERT_TRUE(WaitUntil([&] { return Has(ReadLines(dde), "statechange|2|recoil|2"); }));
    EXPECT_EQ(FindWindowA("MAMEOutput", nullptr), nullptr);
    endGame();
    EXPECT_TRUE(ReadLines(net).empty());  // nothing listened on port 8000
    EXPECT_TRUE(ReadLines(win).empty());
}

TEST_F(NumericOutputsE2E, APortTakenIsToldInTheDebugWindowAndTheRunGoesOn) {
    chooseProtocols("1", "1", "0");
    WSADATA data;
    ASSERT_EQ(WSAStartup(MAKEWORD(2, 2), &data), 0);
    const SOCKET taken = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<u_short>(std::stoi(port)));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(bind(taken, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(listen(taken, 1), 0);
    const std::string dde = install.file("dde.log");
    ChildProcess ddeServer = StartOutputServer(dde);
    startGameAndVt2();
    const std::string expected = "Outputs: the network outputs cannot listen on 127.0.0.1:" + port +
                                 " (the port is taken by another program); they are off for this run";
    EXPECT_TRUE(WaitUntil([&] {
        return LabelText(FindMainWindowOf(vt2.id()), win32::kIdNotesLabel).find(expected) != std::string::npos;
    })) << LabelText(FindMainWindowOf(vt2.id()), win32::kIdNotesLabel);
    pullTriggerTwice();
    EXPECT_TRUE(WaitUntil([&] { return Has(ReadLines(dde), "statechange|2|recoil|2"); }));
    endGame();
    closesocket(taken);
    WSACleanup();
}

}  // namespace
}  // namespace vt2::test
