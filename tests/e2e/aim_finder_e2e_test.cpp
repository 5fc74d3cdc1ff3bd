// VT2.exe --find-aim on the demo game following the mouse into an object on its heap: the
// descriptor it writes finds the object through the game's own pointer, and a run on that file,
// after the game started again with the object elsewhere, aims and shoots in it.
#include <windows.h>

#include <gtest/gtest.h>

#include <commctrl.h>

#include <algorithm>
#include <vector>

#include "adapters/win32/win32_module_list.h"
#include "common/numbers.h"
#include "support/ui_driver.h"
#include "support/win32_harness.h"

namespace vt2::test {
namespace {

// A descriptor of the game's [Info] lines alone, as a player starts one.
std::string InfoOf(const DemoGame& demo) {
    return std::string("[Info]\r\nName=Found Demo\r\nWinCaption=") + demo.caption + "\r\nWinClass=VT2DemoGame\r\nExeName=" +
           demo.program + "\r\nLaunchGame=0\r\n";
}

// The keys of the demo's mouse object, reached through the game's own pointer to it.
void ExpectTheMouseObjectsKeys(const TempInstall& install, const DemoGame& demo, std::uint64_t base) {
    const std::string object = HexAddress(DemoLayout(demo).address("vt2demo_mouse") - base) + "||";
    const std::string found = FileBytes(install.file("memcfg\\found.ini"));
    // The game's x runs over the window's pixels, 0 to 639: fitted to the cursor's places as they
    // really were (whole pixels), not as they were asked for.
    const std::vector<std::string> lines = {"P1XPTR=" + object + "&H8\r\n", "P1XMulti=639\r\n", "P1XOffset=0\r\n",
                                            "P1YPTR=" + object + "&H4\r\n",
                                            "P1YType=single\r\n", "P1TriggerPTR=" + object + "&HC\r\n",
                                            "P1TrigerBitMask=1\r\n", "P1ReloadBitMask=2\r\n", "ExeSha256="};
    for (const std::string& line : lines) {
        EXPECT_NE(found.find(line), std::string::npos) << line << "\n" << found;
    }
    EXPECT_EQ(FileBytes(install.file("memcfg\\found.ini.bak")), InfoOf(demo));
}

// Each demo game: the 64-bit one keeps its mouse object above 4 GB, behind an 8-byte pointer.
class AimFinderE2E : public ::testing::TestWithParam<DemoGame> {};

TEST_P(AimFinderE2E, TheWrittenDescriptorAimsAndShootsAfterTheGameStartsAgain) {
    TempInstall install;
    const DemoGame& demo = GetParam();
    VT2_USE_DEMO_GAME(install, demo);
    install.writeFile("memcfg\\found.ini", InfoOf(demo));
    const DemoLayout layout(demo);
    std::uint64_t base = 0;
    {
        ChildProcess game = install.startDemoGame(demo, "--follow-mouse");
        ASSERT_TRUE(WaitUntil([&] { return FindTopWindowOf(game.id(), "VT2DemoGame") != nullptr; }));
        base = win32::Win32ModuleList().modulesOf(game.id()).at(0).base;
        const std::string report = OutputOfVt2(install, "--find-aim found", 120000);
        ASSERT_EQ(report.rfind("exit 0|", 0), 0u) << report;
    }
    ExpectTheMouseObjectsKeys(install, demo, base);

    ChildProcess game = install.startDemoGame(demo, "--follow-mouse");
    HWND window = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (window = FindTopWindowOf(game.id(), "VT2DemoGame")) != nullptr; }));
    std::uint64_t mouse = 0;
    ASSERT_TRUE(WaitUntil([&] { return (mouse = ReadGamePointer(game, layout.address("vt2demo_mouse"))) != 0; }));
    ASSERT_TRUE(ParkPointerAwayFromWindows());
    ChildProcess vt2 = install.startVt2("found");
    ASSERT_TRUE(WaitForStatus(vt2, "Status:  Hooked Found Demo"));
    // Far right and down: the aim at 1, which the fitted keys make the object's last pixel and 1.0.
    ASSERT_TRUE(Inject("move 3000 3000 3 --gap 30"));
    EXPECT_TRUE(WaitUntil([&] { return ReadGameValue<std::int32_t>(game, mouse + 8) == 639 && ReadGameValue<float>(game, mouse + 4) == 1.0f; }))
        << ReadGameValue<std::int32_t>(game, mouse + 8) << "," << ReadGameValue<float>(game, mouse + 4);
    ASSERT_TRUE(Inject("button left down"));
    EXPECT_TRUE(WaitUntil([&] { return (ReadGameValue<std::uint8_t>(game, mouse + 12) & 1) == 1; }));
    ASSERT_TRUE(Inject("button left up"));
    EXPECT_TRUE(WaitUntil([&] { return (ReadGameValue<std::uint8_t>(game, mouse + 12) & 1) == 0; }));
    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(vt2.waitForExit(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Each, AimFinderE2E, ::testing::ValuesIn(DemoGames()), DemoGameName);

// The configuration tool's "Find Addresses...": asked first, its bar filling while it scans, what
// it found in a box at the end, and the same keys written as by --find-aim.
TEST(AimFinderToolE2E, FindAddressesInTheConfigurationToolShowsItsProgressAndWritesTheKeys) {
    TempInstall install;
    install.writeFile("memcfg\\found.ini", InfoOf(kDemoGame));
    ChildProcess game = install.startDemoGame("--follow-mouse");
    ASSERT_TRUE(WaitUntil([&] { return FindTopWindowOf(game.id(), "VT2DemoGame") != nullptr; }));
    const std::uint64_t base = win32::Win32ModuleList().modulesOf(game.id()).at(0).base;

    ChildProcess vt2 = install.startVt2("");
    UiWindow config = UiWindow::WaitFor(vt2.id(), "Vantor 2 Configuration");
    ASSERT_TRUE(config);
    HWND list = nullptr;
    ASSERT_TRUE(WaitUntil([&] {
        for (HWND c : config.controls()) {
            const auto entries = UiWindow::entries(c);
            if (std::find(entries.begin(), entries.end(), "Found Demo  (found)") != entries.end()) list = c;
        }
        return list != nullptr;
    }));
    config.choose(list, "Found Demo  (found)");
    ASSERT_TRUE(WaitUntil([&] { return UiWindow::chosen(list) == "Found Demo  (found)"; }));
    config.click(config.control("Find Addresses..."));
    const std::string question = AnswerMessageBox(vt2.id(), "Find Addresses", "Yes");
    EXPECT_NE(question.find("memcfg\\found.ini.bak"), std::string::npos) << question;

    const UiWindow progress = UiWindow::WaitFor(vt2.id(), "Find Addresses");
    ASSERT_TRUE(progress);
    HWND bar = nullptr;
    for (HWND c : progress.controls()) {
        char name[64] = {};
        GetClassNameA(c, name, sizeof name);
        if (lstrcmpiA(name, PROGRESS_CLASSA) == 0) bar = c;
    }
    ASSERT_NE(bar, nullptr);
    bool barMoved = false, configWaited = false;  // the configuration window takes no input meanwhile
    WaitUntil([&] {
        if (!IsWindow(bar)) return true;
        if (SendMessageA(bar, PBM_GETPOS, 0, 0) == 0) return false;
        barMoved = true;
        configWaited = IsWindowEnabled(config.handle()) == FALSE;
        return true;
    }, 60000);
    EXPECT_TRUE(barMoved);
    EXPECT_TRUE(configWaited);

    const HWND box = WaitForMessageBox(vt2.id(), "Find Addresses", 120000);
    ASSERT_NE(box, nullptr);
    const std::string report = MessageBoxText(box);
    PressButton(box, "OK");
    EXPECT_NE(report.find("Written into memcfg\\found.ini"), std::string::npos) << report;
    ExpectTheMouseObjectsKeys(install, kDemoGame, base);
    EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(config.handle()) != FALSE; }));
    PostMessageA(config.handle(), WM_CLOSE, 0, 0);
    vt2.waitForExit(5000);
}

}  // namespace
}  // namespace vt2::test
