// VT2.exe with players' devices the machine does not have.
#include <gtest/gtest.h>

#include "support/ui_driver.h"
#include "support/win32_harness.h"

namespace vt2::test {
namespace {

// The text of a message box's static text control.
std::string MessageBoxText(HWND box) {
    std::string text;
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        char className[64] = {};
        GetClassNameA(child, className, sizeof className);
        if (lstrcmpiA(className, "Static") == 0 && !WindowText(child).empty()) text = WindowText(child);
    }
    return text;
}

TEST(DevicesE2E, AJoystickPlayerWithNoJoystickAttachedIsToldAndTheRunGoesOn) {
    TempInstall install;
    install.setIni("memcfg\\demo.ini", "Info", "LaunchGame", "0");
    install.setIni("joycfg\\default.ini", "Player1", "InputType", "joystick");
    install.setIni("joycfg\\default.ini", "Player1", "JoyID", "1");
    ChildProcess game = install.startDemoGame();
    ChildProcess vt2 = install.startVt2("demo");

    HWND box = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (box = FindTopWindowOf(vt2.id(), "#32770")) != nullptr; }));
    EXPECT_TRUE(WaitUntil([&] { return WindowText(box) == "Vantor 2"; }));  // the caption comes just after the window
    EXPECT_TRUE(WaitUntil([&] { return MessageBoxText(box) == "No joystick attached."; }));
    EXPECT_TRUE(WaitForStatus(vt2, "Status:  Waiting for VT2 Demo Game", 2000));  // held while the box is up
    PostMessageA(box, WM_COMMAND, IDOK, 0);

    EXPECT_TRUE(WaitForStatus(vt2, "Status:  Hooked VT2 Demo Game"));
    PostMessageA(FindTopWindowOf(game.id(), "VT2DemoGame"), WM_CLOSE, 0, 0);
    EXPECT_EQ(vt2.waitForExit(), 0u);
}

// Wine's one mouse, as --list-devices prints it: the path on the line after mouse 0's.
std::string WinesMousePath(const std::string& listing) {
    const std::string mouse0 = "|  0  ";
    const std::size_t at = listing.find(mouse0);
    if (at == std::string::npos) return {};
    const std::size_t start = listing.find('|', at + 1);
    if (start == std::string::npos) return {};
    const std::size_t end = listing.find('|', start + 1);
    const std::string line = listing.substr(start + 1, end == std::string::npos ? std::string::npos : end - start - 1);
    const std::size_t path = line.find_first_not_of(' ');
    return path == std::string::npos ? std::string() : line.substr(path);
}

TEST(DevicesE2E, ListDevicesPrintsWinesMouseWithItsNameIdsAndPath) {
    TempInstall install;
    const std::string listing = OutputOfVt2(install, "--list-devices");
    EXPECT_EQ(listing.rfind("exit 0|Raw input mice (Device # of a mouse or light-gun player, MouseID):|  0  ", 0), 0u)
        << listing;
    EXPECT_NE(listing.find("  vendor "), std::string::npos) << listing;
    EXPECT_EQ(WinesMousePath(listing).rfind("\\\\?\\HID#", 0), 0u) << listing;
    EXPECT_NE(listing.find("|DirectInput joysticks (Device # of a joystick player, JoyID):|  (none)"), std::string::npos)
        << listing;
}

// Player 1 saved on Wine's mouse by its path, with a MouseID that no mouse has: the path binds.
TEST(DevicesE2E, ASavedDevicePathBindsThePlayerWhateverItsMouseIdAndTheAimFollows) {
    TempInstall install;
    const std::string path = WinesMousePath(OutputOfVt2(install, "--list-devices"));
    ASSERT_FALSE(path.empty());
    install.setIni("memcfg\\demo.ini", "Info", "LaunchGame", "0");
    install.setIni("joycfg\\default.ini", "Player1", "MouseID", "7");
    install.setIni("joycfg\\default.ini", "Player1", "MouseDevice", path);
    ChildProcess game = install.startDemoGame();
    HWND gameWindow = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (gameWindow = FindTopWindowOf(game.id(), "VT2DemoGame")) != nullptr; }));
    ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == gameWindow; }));
    ASSERT_TRUE(ParkPointerAwayFromWindows());
    ChildProcess vt2 = install.startVt2("demo");
    ASSERT_TRUE(WaitForStatus(vt2, "Status:  Hooked VT2 Demo Game"));
    const DemoLayout layout;
    ASSERT_TRUE(Inject("move 3000 3000 3 --gap 30"));
    EXPECT_TRUE(WaitUntil([&] {
        return ReadGameValue<std::int16_t>(game, layout.address("vt2demo_p1_x")) == 640 &&
               ReadGameValue<std::int16_t>(game, layout.address("vt2demo_p1_y")) == 480;
    }));
    PostMessageA(gameWindow, WM_CLOSE, 0, 0);
    EXPECT_EQ(vt2.waitForExit(), 0u);
}

TEST(DevicesE2E, DetectInTheConfigurationToolSelectsTheMouseThatIsClickedAndTheSaveKeepsItsPath) {
    TempInstall install;
    const std::string path = WinesMousePath(OutputOfVt2(install, "--list-devices"));
    ASSERT_FALSE(path.empty());
    install.setIni("joycfg\\default.ini", "Player1", "MouseID", "-1");
    ChildProcess vt2 = install.startVt2("");
    UiWindow config = ConfigurationPage2(vt2.id(), "NONE");
    ASSERT_TRUE(config);
    config.click(config.control("Detect"));  // player 1's: the first of the two
    UiWindow detector = UiWindow::WaitFor(vt2.id(), "Pull the trigger of the gun for player 1");
    ASSERT_TRUE(detector);
    ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == detector.handle(); }));
    ASSERT_TRUE(ParkPointerAwayFromWindows());
    ASSERT_TRUE(Inject("move 5 0 2 --gap 30"));  // moves pick nothing
    EXPECT_FALSE(NoWindowTitled(vt2.id(), "Pull the trigger of the gun for player 1"));
    ASSERT_TRUE(Inject("button left down"));
    ASSERT_TRUE(Inject("button left up"));
    EXPECT_TRUE(WaitUntil([&] { return NoWindowTitled(vt2.id(), "Pull the trigger of the gun for player 1"); }));
    EXPECT_TRUE(WaitUntil([&] { return UiWindow::chosen(config.field("Device #:")) == "0"; }));
    EXPECT_NE(config.control("Wine HID mouse"), nullptr);  // the name, beside the list
    config.click(config.control("&Save as Default"));
    EXPECT_EQ(AnswerMessageBox(vt2.id(), "Settings Saved", "OK"), "Settings Saved as Default.");
    char saved[512] = {};
    GetPrivateProfileStringA("Player1", "MouseDevice", "", saved, sizeof saved, install.file("joycfg\\default.ini").c_str());
    EXPECT_EQ(std::string(saved), path);
    EXPECT_EQ(UiWindow::chosen(config.field("Device #:")), "0");
    PostMessageA(config.handle(), WM_CLOSE, 0, 0);
    vt2.waitForExit(5000);
}

}  // namespace
}  // namespace vt2::test
