// The Model 2 setup helper and the launch stub, whole: the helper's window driven as a user would
// installs into an emulator folder the test makes, and the stub installed there starts the real
// VT2, which launches and hooks the demo game.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "adapters/win32/main_window_ids.h"
#include "setup/model2_files.h"
#include "support/test_paths.h"
#include "support/ui_driver.h"
#include "support/win32_harness.h"

namespace vt2::test {
namespace {

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// The process that owns the first top-level window of that class, once there is one.
ChildProcess AdoptOwnerOfWindow(const char* windowClass) {
    HWND window = nullptr;
    WaitUntil([&] { return (window = FindWindowA(windowClass, nullptr)) != nullptr; });
    DWORD processId = 0;
    if (window) GetWindowThreadProcessId(window, &processId);
    return processId ? ChildProcess::Adopt(processId) : ChildProcess();
}

class Model2E2E : public ::testing::Test {
protected:
    void SetUp() override {
        install.addModel2SetupFiles();
        emulator.writeFile("emulator.exe", "MZ");
        emulator.writeFile("emulator.ini", "[Renderer]\r\nDrawCross=1\r\n[Input]\r\nUseRawInput=0\r\nRawDevP1=0\r\nRawDevP2=1\r\n");
        emulator.writeFile("scripts\\model2.lua", "-- stock\n");
        emulator.writeFile("CFG\\hotd.input", "x");
    }
    std::string emulatorKey(const char* section, const char* key) const {
        char value[64] = {};
        GetPrivateProfileStringA(section, key, "", value, sizeof value, emulator.file("emulator.ini").c_str());
        return value;
    }

    TempInstall install;
    TempInstall emulator{TempContents::Nothing};
};

TEST_F(Model2E2E, InstallFromTheSetupWindowPreparesTheEmulatorFolder) {
    ChildProcess vt2 = install.startVt2("");
    UiWindow config = UiWindow::WaitFor(vt2.id(), "Vantor 2 Configuration");
    ASSERT_TRUE(config);
    ASSERT_TRUE(WaitUntil([&] { return config.control("Model 2 Setup Helper") != nullptr; }));
    config.click(config.control("Model 2 Setup Helper"));
    UiWindow setup = UiWindow::WaitFor(vt2.id(), "Model 2 Setup");
    ASSERT_TRUE(setup);
    const HWND path = setup.control("C:\\M2Emulator\\");  // the folder's field, as it opens
    ASSERT_NE(path, nullptr);
    setup.type(path, emulator.path() + "\\");

    setup.click(setup.control("Install Files for Model 2"));
    // Each box belongs to the helper, which takes no click (no second Install) until it is answered.
    const auto answer = [&](const std::string& title, const std::string& button = "OK") {
        const HWND box = WaitForMessageBox(vt2.id(), title);
        EXPECT_EQ(GetWindow(box, GW_OWNER), setup.handle()) << title;
        EXPECT_FALSE(IsWindowEnabled(setup.handle())) << title;
        return AnswerMessageBox(vt2.id(), title, button);
    };
    EXPECT_NE(answer("Install Model 2 Files").find("PLEASE READ EACH ONE CAREFULLY!!!"), std::string::npos);
    EXPECT_NE(answer("Install LUA Scripts", "Yes").find("Install LUA Scripts?"), std::string::npos);
    EXPECT_EQ(answer(win32::kMainWindowCaption).rfind("In order to get dual mice", 0), 0u);
    EXPECT_EQ(answer(win32::kMainWindowCaption).rfind("Installation complete!", 0), 0u);
    EXPECT_TRUE(WaitUntil([&] { return setup.control("Status:  Complete") != nullptr; }));

    EXPECT_EQ(FileBytes(emulator.file("vt2.cfg")), install.path() + "\\\r\nVT2.exe\r\n");
    EXPECT_EQ(FileBytes(emulator.file("VTStub.exe")), FileBytes(install.file("m2setupfiles\\VTStub.exe")));
    EXPECT_EQ(FileBytes(emulator.file("scripts\\hotd.lua")), "ROM = \"hotd\"\r\nrequire(\"VT2\");\r\n");
    EXPECT_TRUE(Exists(emulator.file("scripts\\VT2.lua")));
    EXPECT_TRUE(Exists(emulator.file("artwork\\crosshairs\\p1.png")));
    EXPECT_EQ(FileBytes(emulator.file("CFG\\hotd.input")), "x");  // no input file of ours replaced it
    EXPECT_EQ(emulatorKey("Input", "UseRawInput"), "1");
    EXPECT_EQ(emulatorKey("Input", "RawDevP1"), "2");  // Wine lists one mouse: 2 is none
    EXPECT_EQ(emulatorKey("Input", "RawDevP2"), "2");
    EXPECT_EQ(emulatorKey("Renderer", "DrawCross"), "0");
    char remembered[MAX_PATH] = {};
    GetPrivateProfileStringA("Paths", "M2Path", "", remembered, sizeof remembered, install.file("vt2.ini").c_str());
    EXPECT_EQ(std::string(remembered), emulator.path() + "\\");

    PostMessageA(config.handle(), WM_CLOSE, 0, 0);  // ends the program with the helper's window
    EXPECT_EQ(vt2.waitForExit(), 0u);
}

TEST_F(Model2E2E, TheStubStartsVt2WhichLaunchesAndHooksTheGame) {
    ASSERT_TRUE(CopyFileA((std::string(kDistFolder) + "\\m2setupfiles\\VTStub.exe").c_str(),
                          emulator.file("VTStub.exe").c_str(), FALSE));
    emulator.writeFile("vt2.cfg", StubConfigText(install.path()));
    ChildProcess stub = ChildProcess::Start(emulator.file("VTStub.exe"), "demo", emulator.path());
    EXPECT_EQ(stub.waitForExit(), 0u);  // at once, not waiting for VT2

    ChildProcess vt2 = AdoptOwnerOfWindow(win32::kMainWindowClass);
    ASSERT_NE(vt2.id(), 0u);
    ASSERT_TRUE(WaitForStatus(vt2, "Status:  Hooked VT2 Demo Game"));
    ChildProcess game = AdoptOwnerOfWindow("VT2DemoGame");
    const HWND window = FindTopWindowOf(game.id(), "VT2DemoGame");
    ASSERT_NE(window, nullptr);
    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(vt2.waitForExit(), 0u);
}

}  // namespace
}  // namespace vt2::test
