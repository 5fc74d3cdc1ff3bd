// Bad input and faults, tried against the real programs as a careless or hostile user would: the
// game is never harmed, VT2 never hangs, and it reads nothing outside its own folders.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

#include "adapters/win32/main_window_ids.h"
#include "programs/demo_game/demo_variables.h"
#include "support/win32_harness.h"

namespace vt2::test {
namespace {

class BadInputE2E : public ::testing::Test {
protected:
    void SetUp() override { install.setIni("memcfg\\demo.ini", "Info", "LaunchGame", "0"); }
    template <typename T>
    T read(const char* variable) const {
        return ReadGameValue<T>(game, layout.address(variable));
    }
    std::vector<std::uint8_t> patchSite() const {
        const auto length = static_cast<std::size_t>(layout.address("vt2demo_patch_length"));
        std::vector<std::uint8_t> bytes(length);
        ReadProcessMemory(game.handle(), reinterpret_cast<LPCVOID>(static_cast<std::uintptr_t>(layout.address("vt2demo_patch_site"))),
                          bytes.data(), length, nullptr);
        return bytes;
    }
    // The game's loop goes on: its frame counter moves.
    bool gameRuns() const {
        const std::int32_t before = read<std::int32_t>("vt2demo_frame");
        return WaitUntil([&] { return read<std::int32_t>("vt2demo_frame") > before + 5; });
    }
    void startGame() {
        game = install.startDemoGame();
        ASSERT_TRUE(WaitUntil([&] { return (gameWindow = FindTopWindowOf(game.id(), "VT2DemoGame")) != nullptr; }));
    }
    void hook() {
        vt2 = install.startVt2("demo");
        ASSERT_TRUE(WaitForStatus(vt2, "Status:  Hooked VT2 Demo Game"));
    }
    std::string notes() const { return LabelText(FindMainWindowOf(vt2.id()), win32::kIdNotesLabel); }

    TempInstall install;
    DemoLayout layout;
    ChildProcess game;
    ChildProcess vt2;
    HWND gameWindow = nullptr;
};

TEST_F(BadInputE2E, AnAbsurdPatchCountWritesNothingAndNeitherFreezesTheGameNorVt2) {
    install.setIni("memcfg\\demo.ini", "NOP_VT2DemoGame.exe", "NumberNOPs", "2147483647");
    startGame();
    const auto unpatched = patchSite();
    hook();
    EXPECT_TRUE(WaitUntil([&] { return notes().find("NumberNOPs 2147483647 is more than 4096") != std::string::npos; }))
        << notes();
    EXPECT_TRUE(gameRuns());
    EXPECT_EQ(patchSite(), unpatched);
    PostMessageA(gameWindow, WM_CLOSE, 0, 0);
    EXPECT_EQ(vt2.waitForExit(), 0u);
}

TEST_F(BadInputE2E, AnAbsurdPatchLengthWritesNothingAndTheGameKeepsItsCodeAndData) {
    install.setIni("memcfg\\demo.ini", "NOP_VT2DemoGame.exe", "NOP1Len", "999999999");
    startGame();
    const auto unpatched = patchSite();
    const std::int32_t magic = ReadGameValue<std::int32_t>(game, read<std::uint32_t>("vt2demo_world"));
    ASSERT_EQ(magic, vt2demo::kWorldMagic);
    hook();
    EXPECT_TRUE(WaitUntil([&] { return notes().find("NOP1Len 999999999 is more than 4096 bytes") != std::string::npos; }))
        << notes();
    EXPECT_TRUE(gameRuns());
    EXPECT_EQ(patchSite(), unpatched);
    EXPECT_EQ(ReadGameValue<std::int32_t>(game, read<std::uint32_t>("vt2demo_world")), vt2demo::kWorldMagic);
    EXPECT_TRUE(game.running());
    PostMessageA(gameWindow, WM_CLOSE, 0, 0);
    EXPECT_EQ(vt2.waitForExit(), 0u);
}

TEST_F(BadInputE2E, AnAbsurdOutputCountTurnsTheOutputsOffAndTheRunGoesOn) {
    install.setIni("memcfg\\demo.ini", "Outputs", "NumberOutputs", "32767");
    const std::string log = install.file("outputs.log");
    ChildProcess server = StartOutputServer(log);
    startGame();
    const ULONGLONG started = GetTickCount64();
    hook();
    std::printf("hooked %llu ms after the start, with NumberOutputs=32767\n", GetTickCount64() - started);
    EXPECT_TRUE(WaitUntil([&] { return notes().find("NumberOutputs 32767 is more than 1024") != std::string::npos; }))
        << notes();
    EXPECT_TRUE(gameRuns());
    PostMessageA(gameWindow, WM_CLOSE, 0, 0);
    EXPECT_EQ(vt2.waitForExit(), 0u);
    EXPECT_TRUE(ReadLines(log).empty());  // no start, no change, no stop: the outputs were off
}

TEST_F(BadInputE2E, ADescriptorThatNamesNoWindowEndsAtOnceInsteadOfWaitingForEver) {
    install.writeFile("memcfg\\empty.ini", "");
    install.writeFile("memcfg\\noise.ini", std::string("\x7F\x01\xFE[\x80\x81]\r\n\0\0=\xFF\xFF\r\n[Info\r\nWinClass\r\n", 30));
    for (const char* name : {"empty", "noise"}) {
        ChildProcess run = install.startVt2(name);
        EXPECT_EQ(run.waitForExit(), 5u) << name;
    }
}

TEST_F(BadInputE2E, ANameThatIsNoPlainFileNameEndsAtOnceAndAPlantedFileOutsideIsNotRead) {
    // What the names would reach: a descriptor beside the folders, one that would end with code 4
    // (its game program is missing) if it were read.
    const std::string planted = "[Info]\r\nName=Planted\r\nWinClass=VT2DemoGame\r\nExePath=\\nowhere\\\r\n"
                                "ExeName=none.exe\r\nLaunchGame=1\r\n";
    install.writeFile("x.ini", planted);
    install.writeFile("..\\x.ini", planted);
    for (const char* name : {"..\\x", "../x", "..\\..\\x", "../../x", "CON", "NUL", "a:b"}) {
        ChildProcess run = install.startVt2(name);
        EXPECT_EQ(run.waitForExit(), 6u) << name;
    }
    DeleteFileA(install.file("..\\x.ini").c_str());
}

TEST_F(BadInputE2E, AQuotedNameWithBlanksHooksAsTheSameNameUnquoted) {
    CopyFileA(install.file("memcfg\\demo.ini").c_str(), install.file("memcfg\\my odd game.ini").c_str(), FALSE);
    startGame();
    vt2 = install.startVt2("\"my odd game\"");
    ASSERT_TRUE(WaitForStatus(vt2, "Status:  Hooked VT2 Demo Game"));
    PostMessageA(gameWindow, WM_CLOSE, 0, 0);
    EXPECT_EQ(vt2.waitForExit(), 0u);
}

TEST_F(BadInputE2E, ASecondVt2ForTheSameGameEndsAtOnceAndLeavesTheFirstAlone) {
    startGame();
    hook();
    ChildProcess second = install.startVt2("Demo");  // the same file names, in another case
    EXPECT_EQ(second.waitForExit(5000), 7u);  // at once, with no box waiting for an answer
    EXPECT_TRUE(vt2.running());
    EXPECT_EQ(LabelText(FindMainWindowOf(vt2.id()), win32::kIdStatusLabel), "Status:  Hooked VT2 Demo Game");
    PostMessageA(gameWindow, WM_CLOSE, 0, 0);
    EXPECT_EQ(vt2.waitForExit(), 0u);
}

TEST_F(BadInputE2E, AGameThatOpensANewWindowKeepsItsHookAndItsAim) {
    install.setIni("memcfg\\demo.ini", "Info", "NoBorder", "1");
    startGame();
    ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == gameWindow; }));
    ASSERT_TRUE(ParkPointerAwayFromWindows());
    hook();
    const HWND first = gameWindow;
    PostMessageA(first, vt2demo::kRecreateWindowMessage, 0, 0);
    HWND second = nullptr;
    ASSERT_TRUE(WaitUntil([&] {
        second = FindTopWindowOf(game.id(), "VT2DemoGame");
        return second != nullptr && second != first;
    }));
    // VT2 went on with the new window: it took its border off too.
    EXPECT_TRUE(WaitUntil([&] { return (GetWindowLongA(second, GWL_STYLE) & WS_CAPTION) == 0; }));
    EXPECT_TRUE(vt2.running());
    ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == second; }));
    ASSERT_TRUE(ParkPointerAwayFromWindows());
    ASSERT_TRUE(Inject("move 3000 3000 3 --gap 30"));
    EXPECT_TRUE(WaitUntil([&] { return read<std::int16_t>("vt2demo_p1_x") == 640; })) << read<std::int16_t>("vt2demo_p1_x");
    PostMessageA(second, WM_CLOSE, 0, 0);
    EXPECT_EQ(vt2.waitForExit(), 0u);
}

TEST_F(BadInputE2E, ExitFromTheTrayTellsTheOutputServerFirst) {
    const std::string log = install.file("outputs.log");
    ChildProcess server = StartOutputServer(log);
    startGame();
    hook();
    ASSERT_TRUE(WaitUntil([&] { return !ReadLines(log).empty(); }));
    PostMessageA(FindMainWindowOf(vt2.id()), WM_COMMAND, win32::kIdMenuExit, 0);
    EXPECT_EQ(vt2.waitForExit(), 0u);
    EXPECT_TRUE(WaitUntil([&] { return !ReadLines(log).empty() && ReadLines(log).back() == "mamestop|"; }));
    EXPECT_TRUE(game.running());  // the game itself is left to the player
}

}  // namespace
}  // namespace vt2::test
