// The win64 package as a player unzips it: `VT2.exe demo` launches the package's own demo game (a
// 32-bit program, hooked by the package's 64-bit VT2) and both players reach it, player 1 through
// the game's statics, player 2 through its pointers; `VT2.exe demo64` the same with the 64-bit one.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "support/test_paths.h"
#include "support/win32_harness.h"

namespace vt2::test {
namespace {

std::vector<DemoGame> PackagedGames() {
    std::vector<DemoGame> games;
    if (*kUnzippedPackageFolder == '\0') return games;
    games.push_back(kDemoGame32);
    games.push_back(kDemoGame64);
    return games;
}

class PackageE2E : public ::testing::TestWithParam<DemoGame> {
protected:
    void SetUp() override {
        if (!CanRun(demo)) GTEST_SKIP() << demo.label << ": this machine runs no 32-bit programs";
    }

    // One run of the package with one player on the one mouse (two on one mouse would be no raw
    // input at all): VT2 launches the game as the package's descriptor says.
    void playAs(int player) {
        install.setIni("joycfg\\default.ini", "Player1", "Enable", player == 1 ? "1" : "0");
        install.setIni("joycfg\\default.ini", "Player2", "Enable", player == 2 ? "1" : "0");
        install.setIni("joycfg\\default.ini", "Player2", "MouseID", "0");
        vt2 = install.startVt2(demo.name);
        HWND window = nullptr;
        ASSERT_TRUE(WaitUntil([&] { return (window = FindWindowA("VT2DemoGame", demo.caption)) != nullptr; }));
        DWORD processId = 0;
        GetWindowThreadProcessId(window, &processId);
        game = ChildProcess::Adopt(processId);
        ASSERT_TRUE(WaitForStatus(vt2, std::string("Status:  Hooked ") + demo.caption));
        ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == window; }));
        ASSERT_TRUE(ParkPointerAwayFromWindows());
        ASSERT_TRUE(Inject("move 3000 3000 3 --gap 30"));
    }
    void endRun() {
        game.terminate();
        EXPECT_TRUE(vt2.waitForExit().has_value());
    }

    const DemoGame demo = GetParam();
    TempInstall install{TempContents::UnzippedPackage};
    DemoLayout layout{demo};
    ChildProcess vt2, game;
};

TEST_P(PackageE2E, TheUnzippedPackagesVt2HooksItsDemoGameWithBothPlayers) {
    // The package's own game, not the build's: launched from the unzipped folder.
    ASSERT_TRUE(GetFileAttributesA(install.file(std::string("demo\\") + demo.program).c_str()) != INVALID_FILE_ATTRIBUTES);

    playAs(1);
    auto p1 = [&] {
        return std::make_pair(ReadGameValue<std::int16_t>(game, layout.address("vt2demo_p1_x")),
                              ReadGameValue<std::int16_t>(game, layout.address("vt2demo_p1_y")));
    };
    EXPECT_TRUE(WaitUntil([&] { return p1() == std::make_pair<std::int16_t, std::int16_t>(640, 480); }))
        << p1().first << "," << p1().second;
    endRun();

    playAs(2);
    const bool wide = std::string(demo.name) == "demo64";
    auto p2 = [&] {
        const std::uint64_t world = ReadGamePointer(game, layout.address("vt2demo_world"));
        const std::uint64_t player = ReadGamePointer(game, world + 8);
        if (wide) return std::make_pair(ReadGameValue<double>(game, player + 8), ReadGameValue<double>(game, player + 16));
        return std::make_pair<double, double>(ReadGameValue<float>(game, player), ReadGameValue<float>(game, player + 4));
    };
    EXPECT_TRUE(WaitUntil([&] { return p2() == std::make_pair(1.0, 1.0); })) << p2().first << "," << p2().second;
    endRun();
}

INSTANTIATE_TEST_SUITE_P(Each, PackageE2E, ::testing::ValuesIn(PackagedGames()), DemoGameName);
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(PackageE2E);

}  // namespace
}  // namespace vt2::test
