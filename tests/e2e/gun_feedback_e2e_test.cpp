// The players' guns driven by VT2 itself, under Wine: a pseudo-terminal on the Linux side stands
// for each gun on a COM port (Wine's dosdevices link), and a small TCP server of the test for a
// gun maker's recoil server. What each gun receives is compared byte for byte.
#include <winsock2.h>

#include <gtest/gtest.h>

#include "adapters/win32/main_window_ids.h"
#include "support/test_paths.h"
#include "support/ui_driver.h"
#include "support/win32_harness.h"

namespace vt2::test {
namespace {

// A gun maker's recoil server: takes one connection and keeps every byte.
class RecoilServer {
public:
    RecoilServer() {
        WSADATA data{};
        WSAStartup(MAKEWORD(2, 2), &data);
        listener_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bind(listener_, reinterpret_cast<const sockaddr*>(&address), sizeof address);
        listen(listener_, 4);
        int length = sizeof address;
        getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
        port_ = ntohs(address.sin_port);
        u_long nonBlocking = 1;
        ioctlsocket(listener_, FIONBIO, &nonBlocking);
    }
    ~RecoilServer() {
        if (client_ != INVALID_SOCKET) closesocket(client_);
        closesocket(listener_);
        WSACleanup();
    }
    int port() const { return port_; }
    const std::string& received() {
        if (client_ == INVALID_SOCKET) {
            client_ = accept(listener_, nullptr, nullptr);
            if (client_ == INVALID_SOCKET) return bytes_;
            u_long nonBlocking = 1;
            ioctlsocket(client_, FIONBIO, &nonBlocking);
        }
        char buffer[512];
        for (int got; (got = recv(client_, buffer, sizeof buffer, 0)) > 0;) bytes_.append(buffer, static_cast<std::size_t>(got));
        return bytes_;
    }

private:
    SOCKET listener_ = INVALID_SOCKET;
    SOCKET client_ = INVALID_SOCKET;
    int port_ = 0;
    std::string bytes_;
};

class GunFeedbackE2E : public ::testing::Test {
protected:
    void SetUp() override { install.setIni("memcfg\\demo.ini", "Info", "LaunchGame", "0"); }
    void startGame() {
        game = install.startDemoGame();
        ASSERT_TRUE(WaitUntil([&] { return (gameWindow = FindTopWindowOf(game.id(), "VT2DemoGame")) != nullptr; }));
        ASSERT_TRUE(ParkPointerAwayFromWindows());
    }
    void startVt2() {
        vt2 = install.startVt2("demo");
        ASSERT_TRUE(WaitForStatus(vt2, "Status:  Hooked VT2 Demo Game"));
    }
    std::string notes() const { return LabelText(FindMainWindowOf(vt2.id()), win32::kIdNotesLabel); }
    // A click of player 1's trigger, each change waited for where the gun shows it.
    void click(PtyGun& gun, const std::string& down, const std::string& up) {
        ASSERT_TRUE(Inject("button left down"));
        EXPECT_TRUE(WaitUntil([&] { return gun.received().size() >= down.size() && gun.received().ends_with(down); })) << gun.received();
        ASSERT_TRUE(Inject("button left up"));
        EXPECT_TRUE(WaitUntil([&] { return gun.received().ends_with(up); })) << gun.received();
    }
    // One gun on COM15, put in serial mode at the start and let go at the stop; the game hooked.
    void startWithOneGun(PtyGun& gun) {
        ASSERT_TRUE(gun.ready());
        install.writeFile("feedback\\demo.ini", "[General]\r\nMameStart=cmw 15 S\r\nMameStop=cmw 15 E\r\n");
        startGame();
        startVt2();
        ASSERT_TRUE(WaitUntil([&] { return gun.received() == "S"; })) << gun.received();
    }
    void endGame() {
        PostMessageA(gameWindow, WM_CLOSE, 0, 0);
        EXPECT_EQ(vt2.waitForExit(), 0u);
    }
    TempInstall install;
    ChildProcess game;
    ChildProcess vt2;
    HWND gameWindow = nullptr;
};

// A file in the players' format: two guns opened and put in serial mode at the start, the lamp on
// player 1's gun, the shots counted on player 2's, and both let go at the end.
TEST_F(GunFeedbackE2E, TwoGunsGetTheStartEachChangeAndTheStopByteForByte) {
    PtyGun one(15), two(16);
    ASSERT_TRUE(one.ready() && two.ready());
    install.writeFile("feedback\\demo.ini",
                      "[General]\r\nMameStart=cmo 15 baud=9600_parity=N_data=8_stop=1,cmo 16 baud=115200,cmw 15 S,cmw 16 S\r\n"
                      "MameStop=cmw 15 E,cmw 16 E,cmc 15,cmc 16\r\n"
                      "[Output]\r\nlamp=cmw 15 F3x0|cmw 15 F3x1\r\nrecoil=cmw 16 R%s%x%lamp%\r\n");
    startGame();
    startVt2();
    EXPECT_TRUE(WaitUntil([&] { return one.received() == "S" && two.received() == "S"; })) << one.received() << " / " << two.received();
    click(one, "F3x1", "F3x0");
    EXPECT_TRUE(WaitUntil([&] { return two.received() == "SR1x1"; })) << two.received();  // the lamp was on at the shot
    click(one, "F3x1", "F3x0");
    EXPECT_TRUE(WaitUntil([&] { return two.received() == "SR1x1R2x1"; })) << two.received();
    // The debug window tells each gun's port, that it is open and what it was sent last.
    const auto guns = [&] { return LabelText(FindMainWindowOf(vt2.id()), win32::kIdOutputsLabel); };
    EXPECT_TRUE(WaitUntil([&] {
        return guns().find("COM15 (9600 baud): open, last sent F3x0") != std::string::npos &&
               guns().find("COM16 (115200 baud): open, last sent R2x1") != std::string::npos;
    })) << guns();
    endGame();
    EXPECT_EQ(one.received(), "SF3x1F3x0F3x1F3x0E");
    EXPECT_EQ(two.received(), "SR1x1R2x1E");
    EXPECT_EQ(GetFileAttributesA(install.file("feedback-stop.pending").c_str()), INVALID_FILE_ATTRIBUTES);
}

// No recoil output in the game's descriptor: the trigger makes it, a pulse every 100 ms while it
// is held, and the solenoid off when it is let go.
TEST_F(GunFeedbackE2E, TriggerRecoilPulsesWhileTheTriggerIsHeldAndStopsWithIt) {
    PtyGun gun(15);
    ASSERT_TRUE(gun.ready());
    install.setIni("joycfg\\default.ini", "Feedback", "TriggerRecoil", "1");
    install.setIni("joycfg\\default.ini", "Feedback", "AutofireMs", "100");
    install.writeFile("feedback\\default.ini", "[General]\r\nMameStart=cmw 15 S\r\nMameStop=cmw 15 E\r\n[Output]\r\nP1_CtmRecoil=cmw 15 F0x%s%\r\n");
    startGame();
    startVt2();
    ASSERT_TRUE(WaitUntil([&] { return gun.received() == "S"; })) << gun.received();
    ASSERT_TRUE(Inject("button left down"));
    EXPECT_TRUE(WaitUntil([&] { return gun.received().starts_with("SF0x1F0x0F0x1F0x0F0x1"); })) << gun.received();
    ASSERT_TRUE(Inject("button left up"));
    EXPECT_TRUE(WaitUntil([&] { return gun.received().ends_with("F0x0"); })) << gun.received();
    const std::string released = gun.received();
    endGame();
    EXPECT_EQ(gun.received(), released + "E");
    // Pulses, on and off in turn, and nothing else between the start and the stop.
    const std::string pulses = released.substr(1);
    for (std::size_t i = 0; i + 4 <= pulses.size(); i += 4) EXPECT_EQ(pulses.substr(i, 4), i % 8 == 0 ? "F0x1" : "F0x0") << pulses;
}

// The tray menu's Exit while the game runs: the guns get their stop before VT2 ends.
TEST_F(GunFeedbackE2E, TheTrayMenusExitSendsTheStopBeforeVt2Ends) {
    PtyGun gun(15);
    ASSERT_NO_FATAL_FAILURE(startWithOneGun(gun));
    PostMessageA(FindMainWindowOf(vt2.id()), WM_COMMAND, win32::kIdMenuExit, 0);
    EXPECT_EQ(vt2.waitForExit(), 0u);
    EXPECT_TRUE(WaitUntil([&] { return gun.received() == "SE"; })) << gun.received();
    EXPECT_EQ(GetFileAttributesA(install.file("feedback-stop.pending").c_str()), INVALID_FILE_ATTRIBUTES);
}

// VT2 killed: the gun stays in serial mode until the next start, which sends the stop first.
TEST_F(GunFeedbackE2E, ARunKilledLeavesItsStopAndTheNextStartSendsItFirst) {
    PtyGun gun(15);
    ASSERT_NO_FATAL_FAILURE(startWithOneGun(gun));
    EXPECT_NE(GetFileAttributesA(install.file("feedback-stop.pending").c_str()), INVALID_FILE_ATTRIBUTES);
    vt2.terminate();
    vt2.waitForExit();
    EXPECT_EQ(gun.received(), "S");
    startVt2();
    EXPECT_TRUE(WaitUntil([&] { return gun.received() == "SES"; })) << gun.received();
    endGame();
    EXPECT_EQ(gun.received(), "SESE");
}

// No file of the player's: player 1's gun chosen on page 2 of the configuration, tried with "Test
// Recoil" and saved; then a game whose descriptor names the conventional outputs drives both guns
// through the shipped feedback\default.ini, each in its kind's commands.
TEST_F(GunFeedbackE2E, TheShippedDefaultDrivesTheGunsChosenOnPage2InTheirKindsCommands) {
    PtyGun one(15), two(16);
    ASSERT_TRUE(one.ready() && two.ready());
    CreateDirectoryA(install.file("feedback").c_str(), nullptr);
    ASSERT_TRUE(CopyFileA((std::string(kDistFolder) + "\\feedback\\default.ini").c_str(), install.file("feedback\\default.ini").c_str(), FALSE));
    {
        ChildProcess tool = install.startVt2("");
        UiWindow config = ConfigurationPage2(tool.id(), "0");
        ASSERT_TRUE(config);
        config.choose(config.field("Gun Port:"), "COM15");
        config.choose(config.field("Gun Kind:"), "S / E / F0x (9600)");
        ASSERT_TRUE(WaitUntil([&] { return UiWindow::chosen(config.field("Gun Kind:")) == "S / E / F0x (9600)"; }));
        config.click(config.control("Test Recoil"));  // player 1's, the first
        EXPECT_TRUE(WaitUntil([&] { return one.received() == "SF0x2x1E"; })) << one.received();
        config.click(config.control("&Save as Default"));
        EXPECT_EQ(AnswerMessageBox(tool.id(), "Settings Saved"), "Settings Saved as Default.");
        PostMessageA(config.handle(), WM_CLOSE, 0, 0);
        EXPECT_EQ(tool.waitForExit(), 0u);
    }
    install.setIni("joycfg\\default.ini", "Player2", "GunPort", "16");
    install.setIni("joycfg\\default.ini", "Player2", "GunKind", "zs");
    install.setIni("memcfg\\demo.ini", "Outputs", "Output1Name", "P1_LmpStart");  // the trigger's lamp
    install.setIni("memcfg\\demo.ini", "Outputs", "Output2Name", "P2_CtmRecoil");  // the shots counted
    const std::string tested = one.received();
    startGame();
    startVt2();
    ASSERT_TRUE(WaitUntil([&] { return one.received() == tested + "S" && two.received() == "ZS"; }))
        << one.received() << " / " << two.received() << "\n" << notes();
    click(one, "F3x1x255", "F3x0");
    EXPECT_TRUE(WaitUntil([&] { return two.received() == "ZSZ5"; })) << two.received();
    click(one, "F3x1x255", "F3x0");
    EXPECT_TRUE(WaitUntil([&] { return two.received() == "ZSZ5Z5"; })) << two.received();  // each shot one kick
    const auto guns = [&] { return LabelText(FindMainWindowOf(vt2.id()), win32::kIdOutputsLabel); };
    EXPECT_TRUE(WaitUntil([&] { return guns().find("COM16 (115200 baud): open, last sent Z5") != std::string::npos; })) << guns();
    endGame();
    EXPECT_EQ(one.received(), tested + "SF3x1x255F3x0F3x1x255F3x0E");
    EXPECT_EQ(two.received(), "ZSZ5Z5ZX");
}

// Ports by the stable names vt2.ini gives them: a Linux path (as /dev/serial/by-id/ gives one; here
// a link to the pty in a folder of the test) is opened through Wine, whatever COM number Wine gave
// the gun; a USB id no attached port has is said in the debug window.
TEST_F(GunFeedbackE2E, APortNamedByItsLinuxPathIsOpenedThereAndAUsbIdNotAttachedIsSaid) {
    const std::string link = "/tmp/vt2-gun-by-id-" + std::to_string(GetCurrentProcessId());
    PtyGun gun(link);
    ASSERT_TRUE(gun.ready());
    install.setIni("vt2.ini", "Bridge", "Port", std::to_string(48100 + GetCurrentProcessId() % 90));  // no bridge there
    install.setIni("vt2.ini", "Feedback", "COM25", link);
    install.setIni("vt2.ini", "Feedback", "COM26", "USB\\VID_2341&PID_8036\\HG0001");
    install.setIni("vt2.ini", "Feedback", "COM27", "my gun");
    install.writeFile("feedback\\demo.ini", "[General]\r\nMameStart=cmo 25 baud=9600,cmw 25 S,cmw 26 S\r\nMameStop=cmw 25 E,cmc 25\r\n"
                                          "[Output]\r\nlamp=cmw 25 L0|cmw 25 L1\r\n");
    startGame();
    startVt2();
    ASSERT_TRUE(WaitUntil([&] { return gun.received() == "S"; })) << gun.received() << "\n" << notes();
    click(gun, "L1", "L0");
    const auto guns = [&] { return LabelText(FindMainWindowOf(vt2.id()), win32::kIdOutputsLabel); };
    EXPECT_TRUE(WaitUntil([&] { return guns().find("COM25 = " + link + " (9600 baud): open, last sent L0") != std::string::npos; })) << guns();
    EXPECT_TRUE(WaitUntil([&] {
        return notes().find("COM26 = USB\\VID_2341&PID_8036\\HG0001 (9600 baud): no serial port of USB\\VID_2341&PID_8036\\HG0001 is attached") !=
               std::string::npos;
    })) << notes();
    EXPECT_NE(notes().find("[Feedback] COM27=my gun is neither a Linux path"), std::string::npos) << notes();
    endGame();
    EXPECT_EQ(gun.received(), "SL1L0E");
}

// Under Wine with the Linux bridge running, a port named by its Linux path is opened by the bridge
// (never as a terminal of Wine's): the bytes arrive the same, the debug window says so, and a gun
// pulled out is said and driven again once it is back.
TEST_F(GunFeedbackE2E, WithTheLinuxBridgeAPortNamedByItsLinuxPathIsOpenedByTheBridge) {
    if (*kLinuxBridge == '\0') GTEST_SKIP() << "this build has no Linux bridge in dist\\linux\\";
    const int port = 48000 + static_cast<int>(GetCurrentProcessId() % 90);
    RecordedBridge bridge(port, std::string(kRecordingsFolderOnLinux) + "/player1_gun.evemu");
    ASSERT_TRUE(bridge.listening());
    install.setIni("vt2.ini", "Bridge", "Port", std::to_string(port));
    const std::string link = "/tmp/vt2-gun-bridged-" + std::to_string(GetCurrentProcessId());
    auto gun = std::make_unique<PtyGun>(link);
    ASSERT_TRUE(gun->ready());
    install.setIni("vt2.ini", "Feedback", "COM25", link);
    install.writeFile("feedback\\demo.ini", "[General]\r\nMameStart=cmo 25 baud=115200,cmw 25 S\r\nMameStop=cmw 25 E,cmc 25\r\n"
                                          "[Output]\r\nlamp=cmw 25 L0|cmw 25 L1\r\n");
    startGame();
    startVt2();
    ASSERT_TRUE(WaitUntil([&] { return gun->received() == "S"; })) << gun->received() << "\n" << notes();
    const auto guns = [&] { return LabelText(FindMainWindowOf(vt2.id()), win32::kIdOutputsLabel); };
    EXPECT_TRUE(WaitUntil([&] { return guns().find("COM25 = " + link + " (115200 baud, by the Linux bridge): open, last sent S") != std::string::npos; }))
        << guns();
    gun->unplug();
    EXPECT_TRUE(WaitUntil([&] {
        Inject("button left down");
        Inject("button left up");
        return notes().find("COM25 = " + link + " (115200 baud): went away") != std::string::npos;
    })) << notes();
    auto back = std::make_unique<PtyGun>(link);
    ASSERT_TRUE(back->ready());
    EXPECT_TRUE(WaitUntil([&] {
        Inject("button left down");
        Inject("button left up");
        return back->received().find("L1") != std::string::npos;
    })) << back->received() << "\n" << notes();
    // Put back in its mode first: the start's command for its port once more, before any lamp.
    EXPECT_TRUE(back->received().starts_with("S")) << back->received();
    endGame();
    EXPECT_TRUE(back->received().ends_with("E")) << back->received();
}

// A gun maker's recoil server: one command a message, as vt2.ini names the server.
TEST_F(GunFeedbackE2E, ARecoilServerGetsItsCommands) {
    RecoilServer server;
    install.setIni("vt2.ini", "Feedback", "TCP1", "127.0.0.1:" + std::to_string(server.port()));
    install.writeFile("feedback\\demo.ini", "[General]\r\nMameStart=tcw 1 1K0\r\nMameStop=tcw 1 1K1\r\n[Output]\r\nlamp=nll|tcw 1 1A\r\n");
    startGame();
    startVt2();
    EXPECT_TRUE(WaitUntil([&] { return server.received() == "1K0"; })) << server.received();
    ASSERT_TRUE(Inject("button left down"));
    EXPECT_TRUE(WaitUntil([&] { return server.received() == "1K01A"; })) << server.received();
    ASSERT_TRUE(Inject("button left up"));
    endGame();
    EXPECT_TRUE(WaitUntil([&] { return server.received() == "1K01A1K1"; })) << server.received();
}

// A gun pulled out mid-run is said once in the debug window, and driven again once it is back.
TEST_F(GunFeedbackE2E, AGunUnpluggedMidRunIsSaidAndDrivenAgainWhenItIsBack) {
    auto gun = std::make_unique<PtyGun>(15);
    ASSERT_TRUE(gun->ready());
    install.writeFile("feedback\\demo.ini", "[General]\r\nMameStart=cmw 15 S\r\nMameStop=cmw 15 E\r\n[Output]\r\nlamp=cmw 15 L0|cmw 15 L1\r\n");
    startGame();
    startVt2();
    ASSERT_TRUE(WaitUntil([&] { return gun->received() == "S"; })) << gun->received();
    gun->unplug();
    ASSERT_TRUE(Inject("button left down"));
    ASSERT_TRUE(Inject("button left up"));
    EXPECT_TRUE(WaitUntil([&] { return notes().find("COM15 (9600 baud): went away") != std::string::npos; })) << notes();
    auto back = std::make_unique<PtyGun>(15);
    ASSERT_TRUE(back->ready());
    // Looked for again at the next command, at most once a second: click until it arrives.
    EXPECT_TRUE(WaitUntil([&] {
        Inject("button left down");
        Inject("button left up");
        return back->received().find("L1") != std::string::npos;
    })) << back->received();
    EXPECT_TRUE(WaitUntil([&] { return notes().find("COM15 (9600 baud) is there again") != std::string::npos; })) << notes();
    // The gun plugged in again is put back in serial mode first: the start's command for it once
    // more, before any lamp.
    EXPECT_TRUE(back->received().starts_with("S")) << back->received();
    endGame();
    EXPECT_TRUE(back->received().ends_with("E")) << back->received();
}

}  // namespace
}  // namespace vt2::test
