// The time from a mouse move (SendInput) to the new aim value in the game's memory, with VT2
// hooked to the demo game; and the main loop's passes per second and memory writes per pass
// while nothing changes.
//   vt2_latency_bench [moves]
// The demo game time-stamps each change of its aim variable (--watch-aim), with the same
// performance counter this program reads before it calls SendInput.

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "platform/win32/main_window_ids.h"
#include "support/win32_harness.h"

namespace {

using namespace vt2::test;

double Milliseconds(LONGLONG ticks) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(ticks) / static_cast<double>(frequency.QuadPart);
}

void Move(int dx) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = dx;
    input.mi.dwFlags = MOUSEEVENTF_MOVE;
    SendInput(1, &input, sizeof input);
}

struct LoopFigures {
    double passesPerSecond;
    double writesPerPass;
};

// Over one second with no input.
LoopFigures MeasureIdleLoop(HWND vt2Window) {
    auto passes = [&] { return static_cast<DWORD>(SendMessageA(vt2Window, vt2::win32::kQueryPassCount, 0, 0)); };
    auto writes = [&] { return static_cast<DWORD>(SendMessageA(vt2Window, vt2::win32::kQueryMemoryWriteCount, 0, 0)); };
    const DWORD passes0 = passes();
    const DWORD writes0 = writes();
    const ULONGLONG start = GetTickCount64();
    Sleep(1000);
    const DWORD passes1 = passes();
    const DWORD writes1 = writes();
    const double seconds = static_cast<double>(GetTickCount64() - start) / 1000.0;
    const double passCount = static_cast<double>(passes1 - passes0);
    return {passCount / seconds, passCount > 0 ? static_cast<double>(writes1 - writes0) / passCount : 0.0};
}

}  // namespace

int main(int argc, char** argv) {
    const int moves = argc > 1 ? std::atoi(argv[1]) : 300;
    TempInstall install;
    install.setIni("memcfg\\demo.ini", "Info", "LaunchGame", "0");
    ChildProcess game = install.startDemoGame("--watch-aim");
    HWND gameWindow = nullptr;
    if (!WaitUntil([&] { return (gameWindow = FindTopWindowOf(game.id(), "VT2DemoGame")) != nullptr; }) ||
        !WaitUntil([&] { return GetForegroundWindow() == gameWindow; }) || !ParkPointerAwayFromWindows()) {
        std::fprintf(stderr, "the demo game did not come up\n");
        return 1;
    }
    ChildProcess vt2 = install.startVt2("demo");
    if (!WaitForStatus(vt2, "Status:  Hooked VT2 Demo Game")) {
        std::fprintf(stderr, "VT2 did not hook the demo game\n");
        return 1;
    }
    const HWND vt2Window = FindMainWindowOf(vt2.id());
    const DemoLayout layout;
    auto changes = [&] { return ReadGameValue<std::int32_t>(game, layout.address("vt2demo_aim_changes")); };
    auto changedAt = [&] { return ReadGameValue<std::int64_t>(game, layout.address("vt2demo_aim_changed_at")); };

    // The aim to the right edge first, then steps of 6 counts (about one pixel of the game) to
    // and fro: every step changes the game's value.
    Move(3000);
    Move(3000);
    Sleep(300);
    std::vector<double> latencies;
    int lost = 0;
    for (int i = 0; i < moves; ++i) {
        const std::int32_t before = changes();
        LARGE_INTEGER sent;
        QueryPerformanceCounter(&sent);
        Move(i % 2 == 0 ? -6 : 6);
        if (WaitUntil([&] { return changes() != before; }, 500)) {
            latencies.push_back(Milliseconds(changedAt() - sent.QuadPart));
        } else {
            ++lost;
        }
        Sleep(5 + static_cast<DWORD>(i % 7) * 2);
    }
    const LoopFigures idle = MeasureIdleLoop(vt2Window);
    PostMessageA(gameWindow, WM_CLOSE, 0, 0);
    vt2.waitForExit(5000);

    if (latencies.empty()) {
        std::fprintf(stderr, "no move reached the game\n");
        return 1;
    }
    std::sort(latencies.begin(), latencies.end());
    auto percentile = [&](double p) {
        return latencies[std::min(latencies.size() - 1, static_cast<std::size_t>(p * static_cast<double>(latencies.size())))];
    };
    std::printf("mouse move (SendInput) to new aim value in the game's memory, %zu moves (%d lost)\n",
                latencies.size(), lost);
    std::printf("  median %.3f ms   p99 %.3f ms   max %.3f ms\n", percentile(0.5), percentile(0.99), latencies.back());
    std::printf("main loop while nothing changes: %.0f passes/s, %.3f memory writes per pass\n", idle.passesPerSecond,
                idle.writesPerPass);
    return 0;
}
