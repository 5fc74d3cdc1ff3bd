// The device adapters against Wine's real mouse and keyboard, with input injected by another
// process (the vt2inject fixture).
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <vector>

#include "input/device_reading.h"
#include "input/mouse_devices.h"
#include "input/raw_mouse.h"
#include "support/real_system.h"
#include "support/test_paths.h"
#include "support/win32_harness.h"

namespace vt2::test {
namespace {

struct RecordingSink final : RawMouseReportSink {
    explicit RecordingSink(RawMouseReportSink& forwardTo) : next(forwardTo) {}
    void onMouseReport(const RawMouseReport& report) override {
        reports.push_back(report);
        next.onMouseReport(report);
    }
    RawMouseReportSink& next;
    std::vector<RawMouseReport> reports;
};

class Devices : public ::testing::Test {
protected:
    void SetUp() override {
        PlayerSettings& s = real.engine.state.settings;
        PlayerConfig& p1 = s.players[kPlayer1];
        p1.Enable = 1;
        p1.InputType = "mouse";
        p1.MouseID = 0;
        p1.MouseAccel = 18;
        p1.TriggerButton = 0;
        p1.ReloadButton = 1;
        s.players[kPlayer2].MouseID = -1;
        // As in play: the game has the focus, and the reports reach the hook in the background.
        game = install.startDemoGame();
        ASSERT_TRUE(WaitUntil([&] { return (gameWindow = FindTopWindowOf(game.id(), "VT2DemoGame")) != nullptr; }));
        ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == gameWindow; }));
        ASSERT_TRUE(ParkPointerAwayFromWindows());
    }
    void TearDown() override { StopRawInput(real.rawInput); }
    void startRawInput() {
        HookState& s = real.engine.state;
        StartRawInput(real.rawInput, real.messageBoxes, s.rawMouse, s.settings, s.players);
    }
    // The device steps of a pass for the light-gun layout.
    void readKeys() {
        HookState& s = real.engine.state;
        ReadKeyboardKeys(real.keyboard, s.settings, false, s.players);
        CombineButtonSources(s.settings, false, s.players);
    }
    PlayerValues& player1() { return real.engine.state.players[kPlayer1].current; }
    // Lets the main window handle its messages until condition holds.
    bool PumpUntil(const std::function<bool()>& condition) {
        return WaitUntil([&] {
            real.messages.pumpPendingMessages();
            return condition();
        });
    }
    TempInstall install;
    ChildProcess game;
    HWND gameWindow = nullptr;
    // Pumps until player 1 has not moved for 200 ms.
    bool PumpUntilStill() {
        int stillFor = 0;
        PlayerValues last = player1();
        return WaitUntil([&] {
            real.messages.pumpPendingMessages();
            stillFor = (player1() == last) ? stillFor + 1 : 0;
            last = player1();
            return stillFor >= 10;
        });
    }
    RealSystem real;
};

TEST_F(Devices, InjectedMovesArriveAsRawInputAndMovePlayerOneByTheAccelerationRule) {
    startRawInput();
    const RawMouse& mouse = real.engine.state.rawMouse;
    ASSERT_FALSE(mouse.MouseHandles().empty());
    EXPECT_EQ(mouse.playerDevice(kPlayer1), mouse.MouseHandles()[0]);
    // Let the moves of the pointer's parking settle, then start from the middle.
    ASSERT_TRUE(PumpUntilStill());
    player1().X = 0.5f;
    player1().Y = 0.5f;
    // Steps of up to 6 counts arrive unchanged under Wine.
    ASSERT_TRUE(Inject("move 5 3 10 --gap 30"));
    const float expectedX = static_cast<float>(0.5f + 50 * 18 / 65535.0);
    const float expectedY = static_cast<float>(0.5f + 30 * 18 / 65535.0);
    const bool arrived = PumpUntil([&] { return player1().X >= expectedX - 1e-6f; });
    EXPECT_TRUE(arrived);
    if (!arrived) {
        // What did arrive: the recorded reports of this test.
        real.rawInput.stopReports();
        RecordingSink recorder(real.engine.state.rawMouse);
        real.rawInput.startReports(recorder);
        ASSERT_TRUE(Inject("move 5 3 10 --gap 30"));
        PumpUntilStill();
        for (const RawMouseReport& r : recorder.reports) std::printf("[%lx %ld %ld] ", (unsigned long)r.device, (long)r.lastX, (long)r.lastY);
        std::printf("\n");
    }
    EXPECT_NEAR(player1().X, expectedX, 1e-6);
    EXPECT_NEAR(player1().Y, expectedY, 1e-6);
}

TEST_F(Devices, InjectedButtonsSetTheTriggerAndReload) {
    startRawInput();
    ASSERT_TRUE(Inject("button left down"));
    EXPECT_TRUE(PumpUntil([&] { return player1().Trigger == 1; }));
    ASSERT_TRUE(Inject("button right down"));
    EXPECT_TRUE(PumpUntil([&] { return player1().Reload == 1; }));
    ASSERT_TRUE(Inject("button left up"));
    ASSERT_TRUE(Inject("button right up"));
    EXPECT_TRUE(PumpUntil([&] { return player1().Trigger == 0 && player1().Reload == 0; }));
}

TEST_F(Devices, VT2sOwnSystemMouseClicksComeBackTaggedAndDriveNoPlayer) {
    startRawInput();
    // Player 1's trigger in cursor mode: a left click of the system mouse, from this program.
    real.input.mouseEvent(MOUSEEVENTF_LEFTDOWN);
    // The same click from another program is a player's: once it has come through, the tagged one
    // has been handled before it.
    ASSERT_TRUE(Inject("button right down"));
    ASSERT_TRUE(PumpUntil([&] { return player1().Reload == 1; }));
    EXPECT_EQ(player1().Trigger, 0);
    real.input.mouseEvent(MOUSEEVENTF_LEFTUP);
    ASSERT_TRUE(Inject("button left down"));
    EXPECT_TRUE(PumpUntil([&] { return player1().Trigger == 1; }));
    ASSERT_TRUE(Inject("button left up"));
    ASSERT_TRUE(Inject("button right up"));
    EXPECT_TRUE(PumpUntil([&] { return player1().Trigger == 0 && player1().Reload == 0; }));
}

TEST_F(Devices, NoReportIsProcessedAfterStop) {
    startRawInput();
    StopRawInput(real.rawInput);
    ASSERT_TRUE(Inject("move 6 6 5"));
    // The injector has ended, so its moves are queued: pump them all, then look.
    for (int i = 0; i < 20; ++i) {
        real.messages.pumpPendingMessages();
        Sleep(10);
    }
    EXPECT_EQ(player1().X, 0.0f);
}

TEST_F(Devices, AKeyHeldIsReadAsPressedWhileAnotherWindowHasTheFocus) {
    EXPECT_NE(GetForegroundWindow(), real.window.handle());
    PlayerSettings& s = real.engine.state.settings;
    s.KeysEnabled = 1;
    s.P1StartKey = 0x31;  // "1"
    s.P2CoinKey = 0x36;
    s.DeviceButtonsCount = false;
    ASSERT_TRUE(Inject("key 0x31 down"));
    EXPECT_TRUE(WaitUntil([&] {
        readKeys();
        return player1().Start == 1;
    }));
    EXPECT_EQ(real.engine.state.players[kPlayer2].current.Coin, 0);
    ASSERT_TRUE(Inject("key 0x31 up"));
    EXPECT_TRUE(WaitUntil([&] {
        readKeys();
        return player1().Start == 0;
    }));
}

TEST_F(Devices, DirectInputFindsNoControllerHere) {
    win32::Win32DirectInput& joysticks = real.joysticks;
    ASSERT_TRUE(joysticks.createDirectInput());
    EXPECT_EQ(joysticks.attachedControllers(), 0);
    EXPECT_FALSE(joysticks.createDevice(kPlayer1, 1));
    JoystickState state;
    EXPECT_EQ(joysticks.readState(kPlayer1, state), JoystickRead::Failed);
    EXPECT_TRUE(joysticks.signalledEvents().empty());
    EXPECT_TRUE(joysticks.describeControllers().empty());
    joysticks.release();
}

TEST_F(Devices, TheRawInputListGivesTheMouseItsInterfacePathAndProductName) {
    const auto devices = real.rawInput.deviceList();
    ASSERT_TRUE(devices.has_value());
    const std::vector<MouseDevice> mice = ListMice(*devices);
    ASSERT_FALSE(mice.empty());
    EXPECT_EQ(mice[0].path.rfind("\\\\?\\", 0), 0u) << mice[0].path;
    EXPECT_FALSE(StableDevicePart(mice[0].path).empty()) << mice[0].path;
    EXPECT_FALSE(mice[0].name.empty());
    // The path opens the device: the same path comes back the next time.
    EXPECT_EQ(ListMice(*real.rawInput.deviceList())[0].path, mice[0].path);
}

}  // namespace
}  // namespace vt2::test
