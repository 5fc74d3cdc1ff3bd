// VT2.exe --find-aim on the demo game following the mouse into an object on its heap: the
// descriptor it writes finds the object through the game's own pointer, and a run on that file,
// after the game started again with the object elsewhere, aims and shoots in it.
#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "adapters/win32/win32_module_list.h"
#include "common/numbers.h"
#include "support/win32_harness.h"

namespace vt2::test {
namespace {

TEST(AimFinderE2E, TheWrittenDescriptorAimsAndShootsAfterTheGameStartsAgain) {
    TempInstall install;
    const std::string info = "[Info]\r\nName=Found Demo\r\nWinCaption=VT2 Demo Game\r\nWinClass=VT2DemoGame\r\n"
                             "ExeName=VT2DemoGame.exe\r\nLaunchGame=0\r\n";
    install.writeFile("memcfg\\found.ini", info);
    const DemoLayout layout;
    std::uint64_t base = 0;
    {
        ChildProcess game = install.startDemoGame("--follow-mouse");
        ASSERT_TRUE(WaitUntil([&] { return FindTopWindowOf(game.id(), "VT2DemoGame") != nullptr; }));
        base = win32::Win32ModuleList().modulesOf(game.id()).at(0).base;
        const std::string report = OutputOfVt2(install, "--find-aim found", 120000);
        ASSERT_EQ(report.rfind("exit 0|", 0), 0u) << report;
    }
    // The game's own pointer to its mouse object, and the object's fields.
    const std::string object = HexAddress(layout.address("vt2demo_mouse") - base) + "||";
    const std::string found = FileBytes(install.file("memcfg\\found.ini"));
    const std::vector<std::string> lines = {"P1XPTR=" + object + "&H8\r\n", "P1YPTR=" + object + "&H4\r\n",
                                            "P1YType=single\r\n", "P1TriggerPTR=" + object + "&HC\r\n",
                                            "P1TrigerBitMask=1\r\n", "P1ReloadBitMask=2\r\n", "ExeSha256="};
    for (const std::string& line : lines) {
        EXPECT_NE(found.find(line), std::string::npos) << line << "\n" << found;
    }
    EXPECT_EQ(FileBytes(install.file("memcfg\\found.ini.bak")), info);

    ChildProcess game = install.startDemoGame("--follow-mouse");
    HWND window = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (window = FindTopWindowOf(game.id(), "VT2DemoGame")) != nullptr; }));
    std::uint64_t mouse = 0;
    ASSERT_TRUE(WaitUntil([&] { return (mouse = ReadGamePointer(game, layout.address("vt2demo_mouse"))) != 0; }));
    ASSERT_TRUE(ParkPointerAwayFromWindows());
    ChildProcess vt2 = install.startVt2("found");
    ASSERT_TRUE(WaitForStatus(vt2, "Status:  Hooked Found Demo"));
    // Far right and down: the aim at 1, which the fitted keys make the object's last pixel and 1.0.
    ASSERT_TRUE(Inject("move 3000 3000 3 --gap 30"));
    EXPECT_TRUE(WaitUntil([&] { return ReadGameValue<std::int32_t>(game, mouse + 8) >= 637 && ReadGameValue<float>(game, mouse + 4) == 1.0f; }))
        << ReadGameValue<std::int32_t>(game, mouse + 8) << "," << ReadGameValue<float>(game, mouse + 4);
    ASSERT_TRUE(Inject("button left down"));
    EXPECT_TRUE(WaitUntil([&] { return (ReadGameValue<std::uint8_t>(game, mouse + 12) & 1) == 1; }));
    ASSERT_TRUE(Inject("button left up"));
    EXPECT_TRUE(WaitUntil([&] { return (ReadGameValue<std::uint8_t>(game, mouse + 12) & 1) == 0; }));
    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(vt2.waitForExit(), 0u);
}

}  // namespace
}  // namespace vt2::test
