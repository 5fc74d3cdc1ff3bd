// The time from a mouse move (SendInput) to the new aim value in the game's memory, with VT2
// hooked to the demo game; the main loop's passes per second and memory writes per pass while
// nothing changes; and the same with an output that toggles on every frame of the game (about
// 60 times a second), sent to our output server by the blocking sender and by the threaded one,
// and over the network protocol to a client that reads and to one that never reads.
//   vt2_latency_bench [moves]
// The demo game time-stamps each change of its aim variable (--watch-aim), with the same
// performance counter this program reads before it calls SendInput.

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <optional>
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

enum class NetworkClient { None, Reading, NeverReading };

struct Scenario {
    const char* name;
    bool blinkingOutput;
    bool blockingSender;
    bool server;  // our DDE output server
    NetworkClient network = NetworkClient::None;  // with one, the outputs go over the network only
};

struct Result {
    std::vector<double> latencies;
    int lost = 0;
    double passesPerSecond = 0;
    double writesPerPass = 0;
    int outputChanges = 0;
    int messagesReceived = 0;
};

std::optional<Result> Run(const Scenario& scenario, int moves) {
    TempInstall install;
    install.setIni("memcfg\\demo.ini", "Info", "LaunchGame", "0");
    if (scenario.blinkingOutput) {
        char address[32];
        std::snprintf(address, sizeof address, "%u", DemoLayout().address("vt2demo_blink"));
        install.setIni("memcfg\\demo.ini", "Outputs", "NumberOutputs", "1");
        install.setIni("memcfg\\demo.ini", "Outputs", "Output1Addr", address);
        install.setIni("memcfg\\demo.ini", "Outputs", "Output1Type", "byte");
        install.setIni("memcfg\\demo.ini", "Outputs", "Output1Name", "blink");
    } else {
        install.setIni("joycfg\\default.ini", "Options", "Outputs", "0");
    }
    if (scenario.blockingSender) install.setIni("vt2.ini", "Outputs", "Blocking", "1");
    const std::string log = install.file("outputs.log");
    ChildProcess server;
    if (scenario.server) server = StartOutputServer(log);
    if (scenario.network != NetworkClient::None) {
        const std::string port = std::to_string(18000 + GetCurrentProcessId() % 2000);
        install.setIni("vt2.ini", "Outputs", "DDE", "0");
        install.setIni("vt2.ini", "Outputs", "Network", "1");
        install.setIni("vt2.ini", "Outputs", "NetworkPort", port);
        server = StartOutputServer(log, "--network 127.0.0.1:" + port +
                                            (scenario.network == NetworkClient::NeverReading ? " --stall" : ""));
    }

    ChildProcess game = install.startDemoGame(scenario.blinkingOutput ? "--watch-aim --blink" : "--watch-aim");
    HWND gameWindow = nullptr;
    if (!WaitUntil([&] { return (gameWindow = FindTopWindowOf(game.id(), "VT2DemoGame")) != nullptr; }) ||
        !WaitUntil([&] { return GetForegroundWindow() == gameWindow; }) || !ParkPointerAwayFromWindows()) {
        return std::nullopt;
    }
    ChildProcess vt2 = install.startVt2("demo");
    if (!WaitForStatus(vt2, "Status:  Hooked VT2 Demo Game")) return std::nullopt;
    const HWND vt2Window = FindMainWindowOf(vt2.id());
    const DemoLayout layout;
    auto read32 = [&](const char* v) { return ReadGameValue<std::int32_t>(game, layout.address(v)); };

    Result result;
    const int togglesBefore = read32("vt2demo_blink_toggles");
    // The aim to the right edge first, then steps of 6 counts (about one pixel of the game) to and
    // fro: every step changes the game's value.
    Move(3000);
    Move(3000);
    Sleep(300);
    for (int i = 0; i < moves; ++i) {
        const std::int32_t before = read32("vt2demo_aim_changes");
        LARGE_INTEGER sent;
        QueryPerformanceCounter(&sent);
        Move(i % 2 == 0 ? -6 : 6);
        if (WaitUntil([&] { return read32("vt2demo_aim_changes") != before; }, 500)) {
            result.latencies.push_back(
                Milliseconds(ReadGameValue<std::int64_t>(game, layout.address("vt2demo_aim_changed_at")) - sent.QuadPart));
        } else {
            ++result.lost;
        }
        Sleep(5 + static_cast<DWORD>(i % 7) * 2);
    }
    // The loop's own figures, over one second with no input.
    auto query = [&](unsigned message) { return static_cast<DWORD>(SendMessageA(vt2Window, message, 0, 0)); };
    const DWORD passes0 = query(vt2::win32::kQueryPassCount);
    const DWORD writes0 = query(vt2::win32::kQueryMemoryWriteCount);
    const ULONGLONG start = GetTickCount64();
    Sleep(1000);
    const DWORD passes1 = query(vt2::win32::kQueryPassCount);
    const DWORD writes1 = query(vt2::win32::kQueryMemoryWriteCount);
    const double passCount = static_cast<double>(passes1 - passes0);
    result.passesPerSecond = passCount * 1000.0 / static_cast<double>(GetTickCount64() - start);
    result.writesPerPass = passCount > 0 ? static_cast<double>(writes1 - writes0) / passCount : 0.0;

    // The output's changes from the start of the moves, and what arrived of the whole run.
    result.outputChanges = read32("vt2demo_blink_toggles") - togglesBefore;
    PostMessageA(gameWindow, WM_CLOSE, 0, 0);
    vt2.waitForExit(5000);
    int messages = 0;
    bool counting = false;
    for (const std::string& line : ReadLines(log)) {
        if ((line.rfind("statechange|1|blink|", 0) == 0 || line.rfind("net: blink = ", 0) == 0) && counting) ++messages;
        if (line.rfind("mamestart|", 0) == 0 || line.rfind("net: mame_start", 0) == 0) counting = true;
    }
    result.messagesReceived = messages;
    return result;
}

void Print(const Scenario& s, const Result& r) {
    std::vector<double> l = r.latencies;
    std::sort(l.begin(), l.end());
    auto percentile = [&](double p) { return l[std::min(l.size() - 1, static_cast<std::size_t>(p * static_cast<double>(l.size())))]; };
    std::printf("%-44s %7.3f %7.3f %8.3f %5d %9.0f %7.3f", s.name, percentile(0.5), percentile(0.99), l.back(), r.lost,
                r.passesPerSecond, r.writesPerPass);
    if (s.blinkingOutput) {
        std::printf("   %d changes, %d messages", r.outputChanges, r.messagesReceived);
    }
    std::printf("\n");
}

}  // namespace

int main(int argc, char** argv) {
    const int moves = argc > 1 ? std::atoi(argv[1]) : 300;
    const Scenario scenarios[] = {
        {"no outputs", false, false, true},
        {"60 Hz output, server, blocking sender", true, true, true},
        {"60 Hz output, server, threaded sender", true, false, true},
        {"60 Hz output, no server, blocking sender", true, true, false},
        {"60 Hz output, no server, threaded sender", true, false, false},
        {"60 Hz output, network client", true, false, false, NetworkClient::Reading},
        {"60 Hz output, network client never reading", true, false, false, NetworkClient::NeverReading},
    };
    std::printf("mouse move (SendInput) to new aim value in the game's memory, %d moves per row\n", moves);
    std::printf("%-44s %7s %7s %8s %5s %9s %7s\n", "", "p50 ms", "p99 ms", "max ms", "lost", "passes/s", "wr/pass");
    for (const Scenario& s : scenarios) {
        const std::optional<Result> r = Run(s, moves);
        if (!r || r->latencies.empty()) {
            std::printf("%-44s did not run\n", s.name);
            continue;
        }
        Print(s, *r);
    }
    return 0;
}
