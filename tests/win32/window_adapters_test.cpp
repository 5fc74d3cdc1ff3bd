// The window adapters against real windows of this process.
#include <gtest/gtest.h>

#include <windows.h>

#include "adapters/win32/win32_file_system.h"
#include "adapters/win32/win32_process_memory.h"
#include "adapters/win32/win32_thread_services.h"
#include "adapters/win32/win32_window_system.h"
#include "support/win32_harness.h"

namespace vt2::test {
namespace {

// A plain top-level window of a class no other test uses.
class TestWindow {
public:
    TestWindow(const char* windowClass, const char* caption, DWORD style = WS_OVERLAPPEDWINDOW | WS_VISIBLE) {
        WNDCLASSA c{};
        c.lpfnWndProc = DefWindowProcA;
        c.hInstance = GetModuleHandleA(nullptr);
        c.lpszClassName = windowClass;
        RegisterClassA(&c);
        window_.reset(CreateWindowExA(0, windowClass, caption, style, 100, 80, 300, 200, nullptr, nullptr,
                                      GetModuleHandleA(nullptr), nullptr));
    }
    HWND get() const { return window_.get(); }
    WindowHandle handle() const { return reinterpret_cast<WindowHandle>(window_.get()); }

private:
    win32::unique_window window_;
};

TEST(Win32WindowSystem, FindsByClassAndCaptionOrByClassAlone) {
    TestWindow other("VT2TestFindClass", "Other caption");
    TestWindow game("VT2TestFindClass", "Game caption");
    win32::Win32WindowSystem windows;
    EXPECT_EQ(windows.findWindow("VT2TestFindClass", std::string("Game caption")), game.handle());
    EXPECT_EQ(windows.findWindow("VT2TestFindClass", std::string("Missing")), 0u);
    const WindowHandle any = windows.findWindow("VT2TestFindClass", std::nullopt);
    EXPECT_TRUE(any == game.handle() || any == other.handle());
    EXPECT_EQ(windows.findWindow("VT2NoSuchClass", std::nullopt), 0u);
}

TEST(Win32WindowSystem, CaptionProcessAndAGoneWindow) {
    const std::string longCaption(150, 'c');
    TestWindow w("VT2TestCaptionClass", longCaption.c_str());
    win32::Win32WindowSystem windows;
    EXPECT_EQ(windows.windowText(w.handle(), 100), std::string(99, 'c'));
    EXPECT_EQ(windows.windowProcessId(w.handle()), GetCurrentProcessId());
    const WindowHandle stale = w.handle();
    DestroyWindow(w.get());
    EXPECT_EQ(windows.windowText(stale, 100), "");
    EXPECT_EQ(windows.windowProcessId(stale), 0u);
}

TEST(Win32WindowSystem, TheClientAreaOnTheDesktopEmptyWhileMinimisedNoneOnceGone) {
    TestWindow w("VT2TestClientClass", "Client");
    win32::Win32WindowSystem windows;
    RECT client{};
    GetClientRect(w.get(), &client);
    POINT corner{0, 0};
    ClientToScreen(w.get(), &corner);
    ASSERT_GT(corner.x, 100);  // inside the frame, whose corner is at (100, 80)
    EXPECT_EQ(windows.clientAreaOnDesktop(w.handle()),
              (PixelRect{corner.x, corner.y, corner.x + client.right, corner.y + client.bottom}));
    const PixelRect monitor = windows.monitorOf(w.handle());
    EXPECT_TRUE(monitor.left <= corner.x && corner.x < monitor.right) << monitor.left << ".." << monitor.right;
    EXPECT_EQ(windows.virtualDesktop(), (PixelRect{0, 0, GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN)}));
    ShowWindow(w.get(), SW_MINIMIZE);
    ASSERT_TRUE(WaitUntil([&] { return IsIconic(w.get()) != FALSE; }));
    EXPECT_EQ(windows.clientAreaOnDesktop(w.handle()), PixelRect{});
    const WindowHandle stale = w.handle();
    DestroyWindow(w.get());
    EXPECT_EQ(windows.clientAreaOnDesktop(stale), std::nullopt);
}

// The run ends when the game's caption reads empty, so a window of another process that is gone
// must read empty every time, however its process ended.
TEST(Win32WindowSystem, TheCaptionOfAnotherProcesssWindowIsEmptyOnceItIsGone) {
    win32::Win32WindowSystem windows;
    for (int round = 0; round < 3; ++round) {
        TempInstall install;
        ChildProcess game = install.startDemoGame("");
        WindowHandle window = 0;
        ASSERT_TRUE(WaitUntil([&] {
            window = windows.findWindow("VT2DemoGame", std::string("VT2 Demo Game"));
            return window != 0 && windows.windowProcessId(window) == game.id();
        }));
        EXPECT_EQ(windows.windowText(window, 100), "VT2 Demo Game");
        if (round == 0) PostMessageA(reinterpret_cast<HWND>(window), WM_CLOSE, 0, 0);
        else game.terminate();
        // Read it while it goes, without pause as the passes do, then many times after.
        const DWORD deadline = GetTickCount() + 10000;
        while (!windows.windowText(window, 100).empty()) ASSERT_LT(GetTickCount(), deadline);
        ASSERT_TRUE(game.waitForExit().has_value());
        for (int read = 0; read < 2000; ++read) ASSERT_EQ(windows.windowText(window, 100), "") << read;
    }
}

TEST(Win32WindowSystem, BorderlessStyleAndMoveKeepTheOuterSize) {
    TestWindow w("VT2TestStyleClass", "Styled");
    RECT before{};
    GetWindowRect(w.get(), &before);
    win32::Win32WindowSystem windows;
    windows.setWindowStyle(w.handle(), windows.windowStyle(w.handle()) & 0x10000000);
    windows.moveToTopLeftWithNewFrame(w.handle());
    const DWORD style = static_cast<DWORD>(GetWindowLongA(w.get(), GWL_STYLE));
    EXPECT_EQ(style & (WS_CAPTION | WS_THICKFRAME | WS_SYSMENU | WS_BORDER), 0u);
    EXPECT_NE(style & WS_VISIBLE, 0u);
    RECT after{};
    GetWindowRect(w.get(), &after);
    EXPECT_EQ(after.left, 0);
    EXPECT_EQ(after.top, 0);
    EXPECT_EQ(after.right - after.left, before.right - before.left);
    EXPECT_EQ(after.bottom - after.top, before.bottom - before.top);
}

TEST(Win32FileSystem, AFolderIsNotAFile) {
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    const std::string folder = std::string(temp) + "vt2-fs-test";
    CreateDirectoryA(folder.c_str(), nullptr);
    const std::string file = folder + "\\game.exe";
    CloseHandle(CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    win32::Win32FileSystem files;
    EXPECT_TRUE(files.fileExists(file));
    EXPECT_FALSE(files.fileExists(folder));
    EXPECT_FALSE(files.fileExists(folder + "\\missing.exe"));
    char before[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, before);
    EXPECT_TRUE(files.changeDirectory(folder + "\\"));
    char now[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, now);
    EXPECT_TRUE(lstrcmpiA(now, folder.c_str()) == 0) << now;
    EXPECT_FALSE(files.changeDirectory(folder + "\\missing\\"));
    SetCurrentDirectoryA(before);
    DeleteFileA(file.c_str());
    RemoveDirectoryA(folder.c_str());
}

TEST(Win32FileSystem, AListingLeavesOutNamesTheAnsiCallsCouldNotOpen) {
    TempInstall folder(TempContents::Nothing);
    folder.writeFile("a game.ini", "[Info]\r\n");
    const std::wstring cjk = L"\x30B2\x30FC\x30E0.ini";  // "game" in katakana
    const std::wstring path = std::wstring(folder.path().begin(), folder.path().end()) + L"\\" + cjk;
    CloseHandle(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    ASSERT_NE(GetFileAttributesW(path.c_str()), INVALID_FILE_ATTRIBUTES);
    win32::Win32FileSystem files;
    EXPECT_EQ(files.listFiles(folder.path(), ".ini"), std::vector<std::string>{"a game.ini"});
    DeleteFileW(path.c_str());
}

TEST(Win32FileSystem, ADeviceNameIsNoFileWhereverItIsAskedFor) {
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    win32::Win32FileSystem files;
    for (const char* name : {"CON.ini", "NUL.ini", "nul", "COM1.ini", "AUX.ini", "PRN.ini"}) {
        EXPECT_FALSE(files.fileExists(std::string(temp) + "memcfg\\" + name)) << name;
        EXPECT_FALSE(files.fileExists(std::string(temp) + name)) << name;
    }
}

TEST(Win32WindowSystem, AWindowOfAProcessByClassAndCaptionAndWhetherItStillExists) {
    TestWindow first("VT2TestProcessClass", "Game");
    TestWindow second("VT2TestProcessClass", "Game - full screen");
    win32::Win32WindowSystem windows;
    const DWORD self = GetCurrentProcessId();
    EXPECT_EQ(windows.findWindowOfProcess(self, "VT2TestProcessClass", std::string("Game - full screen")), second.handle());
    const WindowHandle any = windows.findWindowOfProcess(self, "VT2TestProcessClass", std::nullopt);
    EXPECT_TRUE(any == first.handle() || any == second.handle());
    EXPECT_EQ(windows.findWindowOfProcess(self, "VT2TestProcessClass", std::string("Other")), 0u);
    EXPECT_EQ(windows.findWindowOfProcess(self + 4, "VT2TestProcessClass", std::nullopt), 0u);  // another process has none
    EXPECT_EQ(windows.findWindowOfProcess(0, "VT2TestProcessClass", std::nullopt), 0u);
    EXPECT_TRUE(windows.windowExists(first.handle()));
    const WindowHandle gone = first.handle();
    DestroyWindow(first.get());
    EXPECT_FALSE(windows.windowExists(gone));
    EXPECT_FALSE(windows.windowExists(0));
}

TEST(Win32RunLocks, OneHolderPerNameWhateverItsCaseUntilItLetsGo) {
    win32::Win32RunLocks locks;
    auto first = locks.lock("Demo Game");
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(locks.lock("demo game"), nullptr);
    EXPECT_NE(locks.lock("other game"), nullptr);
    first.reset();
    EXPECT_NE(locks.lock("DEMO GAME"), nullptr);
    // Names longer than a lock's name may be: each still its own lock.
    const std::string longName(300, 'x');
    auto held = locks.lock(longName);
    ASSERT_NE(held, nullptr);
    EXPECT_EQ(locks.lock(longName), nullptr);
    EXPECT_NE(locks.lock(longName + "y"), nullptr);
}

TEST(Win32ProcessMemory, AProcessThatEndsIsSeenToHaveEnded) {
    TempInstall install;
    ChildProcess game = install.startDemoGame();
    win32::Win32ProcessMemory memory;
    const auto process = memory.openProcess(game.id());
    ASSERT_NE(process, nullptr);
    EXPECT_FALSE(process->hasEnded());
    game.terminate();
    EXPECT_TRUE(WaitUntil([&] { return process->hasEnded(); }));
}

}  // namespace
}  // namespace vt2::test
