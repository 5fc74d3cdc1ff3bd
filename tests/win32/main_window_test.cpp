// The main window against the real window manager: labels, system menu, tray icon, hiding.
#include <gtest/gtest.h>

#include <windows.h>

#include "adapters/win32/main_window_ids.h"
#include "support/real_system.h"
#include "support/win32_harness.h"

namespace vt2::test {
namespace {

using RealMainWindow = RealSystem;

TEST(MainWindow, StartsHiddenWithTheDesignCaptions) {
    RealMainWindow m;
    const HWND w = m.window.handle();
    EXPECT_EQ(WindowText(w), "Vantor 2");
    EXPECT_FALSE(IsWindowVisible(w));
    EXPECT_EQ(LabelText(w, win32::kIdStatusLabel), "Status:");
    EXPECT_EQ(LabelText(w, win32::kIdPlayer1Label), "Player1:  ");
    EXPECT_EQ(LabelText(w, win32::kIdPlayer2Label), "Player2:  ");
    EXPECT_EQ(LabelText(w, win32::kIdOutputsLabel), "Outputs:  ");
}

TEST(MainWindow, PlayerLabelsGrowWithTheirText) {
    RealMainWindow m;
    const HWND label = GetDlgItem(m.window.handle(), win32::kIdPlayer1Label);
    RECT design{};
    GetWindowRect(label, &design);
    m.window.setLabelText(MainWindowLabel::Player1, "Player 1:\r\nX:  0.3333333\r\nY:  0.5\r\n\r\nTrigger:  1");
    RECT grown{};
    GetWindowRect(label, &grown);
    EXPECT_GT(grown.bottom - grown.top, 3 * (design.bottom - design.top));
    EXPECT_EQ(m.window.labelText(MainWindowLabel::Player1), "Player 1:\r\nX:  0.3333333\r\nY:  0.5\r\n\r\nTrigger:  1");
    EXPECT_EQ(LabelText(m.window.handle(), win32::kIdPlayer1Label), m.window.labelText(MainWindowLabel::Player1));
}

TEST(MainWindow, StrippedSystemMenuHasNoCloseItem) {
    RealMainWindow m;
    HMENU menu = GetSystemMenu(m.window.handle(), FALSE);
    const int before = GetMenuItemCount(menu);
    ASSERT_NE(GetMenuState(menu, SC_CLOSE, MF_BYCOMMAND), static_cast<UINT>(-1));
    m.window.stripSystemMenu();
    EXPECT_EQ(GetMenuItemCount(menu), before - 2);
    EXPECT_EQ(GetMenuState(menu, SC_CLOSE, MF_BYCOMMAND), static_cast<UINT>(-1));
    EXPECT_NE(GetMenuState(menu, SC_MINIMIZE, MF_BYCOMMAND), static_cast<UINT>(-1));
}

TEST(MainWindow, TrayIconComesAndGoes) {
    const int before = TrayIconCount();
    RealMainWindow m;
    m.window.addTrayIcon();
    EXPECT_TRUE(WaitUntil([&] { return TrayIconCount() == before + 1; }));
    m.window.removeTrayIcon();
    EXPECT_TRUE(WaitUntil([&] { return TrayIconCount() == before; }));
}

TEST(MainWindow, ShownByTheMenuItemHiddenAgainWhenMinimised) {
    RealMainWindow m;
    const HWND w = m.window.handle();
    SendMessageA(w, WM_COMMAND, win32::kIdMenuShowDebug, 0);
    EXPECT_TRUE(IsWindowVisible(w));
    EXPECT_FALSE(IsIconic(w));
    SendMessageA(w, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_FALSE(IsWindowVisible(w));
    // A double click on the tray icon brings it back, restored.
    SendMessageA(w, WM_MOUSEMOVE, 0, WM_LBUTTONDBLCLK);
    EXPECT_TRUE(IsWindowVisible(w));
    EXPECT_FALSE(IsIconic(w));
}

TEST(MainWindow, MinimisingWhileHiddenKeepsItHidden) {
    RealMainWindow m;
    m.window.setMinimised();
    EXPECT_FALSE(IsWindowVisible(m.window.handle()));
}

TEST(MainWindow, CloseMessagesDoNotDestroyIt) {
    RealMainWindow m;
    SendMessageA(m.window.handle(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(IsWindow(m.window.handle()));
}

}  // namespace
}  // namespace vt2::test
