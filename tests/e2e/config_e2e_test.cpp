// The configuration tool, VT2.exe without a command line, driven through its windows' standard
// controls as a user would: by the captions and labels a user sees.
#include <gtest/gtest.h>

#include <cstdio>

#include "support/ui_driver.h"
#include "support/win32_harness.h"

namespace vt2::test {
namespace {

BOOL CALLBACK PrintWindow(HWND window, LPARAM) {
    char text[256] = {};
    GetWindowTextA(window, text, sizeof text);
    if (text[0] && IsWindowVisible(window)) std::printf("window: %s\n", text);
    return TRUE;
}

class ConfigE2E : public ::testing::Test {
protected:
    void SetUp() override {
        install.writeFile("memcfg\\hotd.ini", "[Info]\r\nName=House of the Dead\r\nWinClass=H\r\nExeName=hotd.exe\r\n"
                                              "ExePath=C:\\hotd\\\r\nLaunchGame=0\r\n");
        vt2 = install.startVt2("");
        config = UiWindow::WaitFor(vt2.id(), "Vantor 2 Configuration");
        ASSERT_TRUE(config);
        // The start-up step has read the list when the first game shows.
        ASSERT_TRUE(WaitUntil([&] { return list() != nullptr && !UiWindow::chosen(list()).empty(); }));
    }
    void TearDown() override {
        if (config) PostMessageA(config.handle(), WM_CLOSE, 0, 0);
        vt2.waitForExit(5000);
    }
    HWND list() const {
        for (HWND c : config.controls()) {
            if (UiWindow::entries(c).size() == 2 && UiWindow::entries(c)[0].find("(demo)") != std::string::npos) return c;
        }
        return nullptr;
    }
    void chooseGame(const std::string& entry) {
        config.choose(list(), entry);
        ASSERT_TRUE(WaitUntil([&] { return UiWindow::chosen(list()) == entry; }));
    }
    std::string read(const std::string& relative, const char* section, const char* key) const {
        char value[256] = {};
        GetPrivateProfileStringA(section, key, "", value, sizeof value, install.file(relative).c_str());
        return value;
    }
    // Answers the message box of that title with OK; its text.
    std::string answer(const std::string& title, const std::string& button = "OK") {
        return AnswerMessageBox(vt2.id(), title, button);
    }

    TempInstall install;
    ChildProcess vt2;
    UiWindow config;
};

TEST_F(ConfigE2E, ChoosingAGameChangingADeviceAndAButtonAndSavingWritesItsOwnFile) {
    // In the order of the files' names.
    EXPECT_EQ(UiWindow::entries(list()), (std::vector<std::string>{"VT2 Demo Game  (demo)", "House of the Dead  (hotd)"}));
    chooseGame("House of the Dead  (hotd)");
    EXPECT_TRUE(WaitUntil([&] { return UiWindow::text(config.field("Game Exe:")) == "hotd.exe"; }));
    config.click(config.control("Settings Page 2   >>"));
    ASSERT_TRUE(WaitUntil([&] { return config.control("Gun Settings P1") != nullptr; }));
    config.click(config.control("Joystick"));  // player 1's: the first of the two
    config.choose(config.field("Device #:"), "2");
    config.choose(config.field("Trigger Button:"), "4");
    EXPECT_TRUE(WaitUntil([&] { return UiWindow::chosen(config.field("Trigger Button:")) == "4"; }));
    config.click(config.control("&Save for This Game Only"));
    EXPECT_EQ(answer("Settings Saved"), "Settings Saved for House of the Dead.");
    EXPECT_EQ(read("joycfg\\hotd.ini", "Player1", "InputType"), "joystick");
    EXPECT_EQ(read("joycfg\\hotd.ini", "Player1", "JoyID"), "2");
    EXPECT_EQ(read("joycfg\\hotd.ini", "Player1", "MouseID"), "-1");
    EXPECT_EQ(read("joycfg\\hotd.ini", "Player1", "TriggerButton"), "4");
    EXPECT_EQ(read("joycfg\\default.ini", "Player1", "TriggerButton"), "0");  // the default stays
}

TEST_F(ConfigE2E, RevertWithoutAnOwnFileSaysSoAndWithOneDeletesItAfterAYes) {
    chooseGame("House of the Dead  (hotd)");
    config.click(config.control("Revert this Game to Default"));
    EXPECT_EQ(answer("Already Using Default"), "Game is already using default.ini!");

    install.writeFile("joycfg\\hotd.ini", "[Player1]\r\nEnable=1\r\nMouseAccel=33\r\n");
    chooseGame("VT2 Demo Game  (demo)");
    chooseGame("House of the Dead  (hotd)");
    config.click(config.control("Settings Page 2   >>"));
    ASSERT_TRUE(WaitUntil([&] { return UiWindow::text(config.fieldLeftOf("Set Accel")) == "33"; }));
    config.click(config.control("Revert this Game to Default"));
    EXPECT_EQ(answer("Revert Settings", "Yes"), "Delete settings for this game and revert to default.ini?");
    EXPECT_TRUE(WaitUntil([&] { return GetFileAttributesA(install.file("joycfg\\hotd.ini").c_str()) == INVALID_FILE_ATTRIBUTES; }));
    EXPECT_TRUE(WaitUntil([&] { return UiWindow::text(config.fieldLeftOf("Set Accel")) == "18"; }));  // default.ini's
}

TEST_F(ConfigE2E, NotesOpenTheTextFileBeforeTheHtmlFile) {
    install.writeFile("docs\\hotd.html", "<html><body>html notes</body></html>");
    install.writeFile("docs\\hotd.txt", "text notes");
    chooseGame("House of the Dead  (hotd)");
    config.click(config.control("Read Notes for This Game"));
    // The shell opens it in its text editor, whose window is named after the file.
    HWND editor = nullptr;
    EXPECT_TRUE(WaitUntil([&] {
        editor = FindWindowA(nullptr, "hotd.txt - Notepad");
        if (!editor) editor = FindWindowA(nullptr, "hotd - Notepad");
        return editor != nullptr;
    }));
    if (!editor) EnumWindows(&PrintWindow, 0);
    if (editor) {
        DWORD notepad = 0;
        GetWindowThreadProcessId(editor, &notepad);
        const HANDLE process = OpenProcess(PROCESS_TERMINATE, FALSE, notepad);
        if (process) {
            TerminateProcess(process, 0);
            CloseHandle(process);
        }
    }
}

TEST_F(ConfigE2E, TheKeyDetectorFillsTheClickedBoxWithTheKeyPressed) {
    config.clickInto(config.field("Start 1 Keycode:"));
    UiWindow detector = UiWindow::WaitFor(vt2.id(), "Key Detector");
    ASSERT_TRUE(detector);
    ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == detector.handle(); }));
    ASSERT_TRUE(Inject("key 0x41 down"));
    EXPECT_TRUE(WaitUntil([&] { return UiWindow::text(config.field("Start 1 Keycode:")) == "65"; }));
    ASSERT_TRUE(Inject("key 0x41 up"));
    EXPECT_TRUE(WaitUntil([&] { return NoWindowTitled(vt2.id(), "Key Detector"); }));

    config.clickInto(config.field("Coin 2 Keycode:"));
    detector = UiWindow::WaitFor(vt2.id(), "Key Detector");
    ASSERT_TRUE(detector);
    ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == detector.handle(); }));
    ASSERT_TRUE(Inject("key 0xA0 down"));  // left Shift
    EXPECT_TRUE(WaitUntil([&] { return UiWindow::text(config.field("Coin 2 Keycode:")) == "160"; }));
    ASSERT_TRUE(Inject("key 0xA0 up"));
    EXPECT_EQ(UiWindow::text(config.field("Start 1 Keycode:")), "65");

    config.clickInto(config.field("Exit Keycode:"));  // Esc is the key players want there
    detector = UiWindow::WaitFor(vt2.id(), "Key Detector");
    ASSERT_TRUE(detector);
    ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == detector.handle(); }));
    ASSERT_TRUE(Inject("key 0x1B down"));
    EXPECT_TRUE(WaitUntil([&] { return UiWindow::text(config.field("Exit Keycode:")) == "27"; }));
    ASSERT_TRUE(Inject("key 0x1B up"));
}

TEST_F(ConfigE2E, TheTwinStickWindowSavesBothFiles) {
    install.writeFile("memcfg\\von.ini", "[Info]\r\nName=Virtual On Cybertroopers (US)\r\nWinClass=V\r\nGameType=VON\r\n");
    PostMessageA(config.handle(), WM_CLOSE, 0, 0);
    ASSERT_TRUE(vt2.waitForExit().has_value());
    vt2 = install.startVt2("");
    config = UiWindow::WaitFor(vt2.id(), "Vantor 2 Configuration");
    // Enabled once the start-up step has loaded a game.
    ASSERT_TRUE(WaitUntil([&] { return config.control("Virtua ON Setup") && IsWindowEnabled(config.control("Virtua ON Setup")); }));
    config.click(config.control("Virtua ON Setup"));
    UiWindow twin = UiWindow::WaitFor(vt2.id(), "Virtual On Setup");
    ASSERT_TRUE(twin);
    twin.choose(twin.field("X Axis:"), "RZ");
    ASSERT_TRUE(WaitUntil([&] { return UiWindow::chosen(twin.field("X Axis:")) == "RZ"; }));
    twin.click(twin.control("Save Settings"));
    EXPECT_EQ(answer("VON Saved"), "Extended Keys for Virtual On saved.  Don't forget to setup the joystick ID and "
                                   "start/coin keys in the main window!");
    for (const char* file : {"joycfg\\von.ini", "joycfg\\vonj.ini"}) {
        EXPECT_EQ(read(file, "Player1", "AnalogX"), "5") << file;
        EXPECT_EQ(read(file, "keys", "LUKey"), "-1") << file;
    }
    EXPECT_TRUE(WaitUntil([&] { return NoWindowTitled(vt2.id(), "Virtual On Setup"); }));
}

TEST_F(ConfigE2E, AReadOnlySettingsFileIsReportedAndLeftAsItWas) {
    chooseGame("VT2 Demo Game  (demo)");
    config.click(config.control("&Save for This Game Only"));
    EXPECT_EQ(answer("Settings Saved"), "Settings Saved for VT2 Demo Game.");
    const std::string file = install.file("joycfg\\demo.ini");
    const std::vector<std::string> before = ReadLines(file);
    SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_READONLY);
    config.click(config.control("Settings Page 2   >>"));
    config.choose(config.field("Reload Button:"), "9");
    ASSERT_TRUE(WaitUntil([&] { return UiWindow::chosen(config.field("Reload Button:")) == "9"; }));
    config.click(config.control("&Save for This Game Only"));
    const std::string text = answer("Settings Not Saved");
    EXPECT_NE(text.find(file), std::string::npos) << text;
    EXPECT_TRUE(NoWindowTitled(vt2.id(), "Settings Saved"));
    EXPECT_EQ(ReadLines(file), before);
    SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL);
}

}  // namespace
}  // namespace vt2::test
