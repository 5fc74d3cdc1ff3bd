// VT2.exe with players' devices the machine does not have.
#include <gtest/gtest.h>

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

}  // namespace
}  // namespace vt2::test
