// How soon a gun gets its bytes when VT2 drives it, beside the way players chain an output server
// today, in one run under Wine. Three guns are pseudo-terminals on the Linux side (COM15, COM16,
// COM17) that stamp each read with CLOCK_MONOTONIC_RAW, the clock Wine's performance counter
// counts in 100 ns, so that one clock times both sides:
//   outputs: a byte of the game's memory changed (WriteProcessMemory) to "<value>" on COM15,
//            written by VT2 from the feedback file;
//   chained: the same change through VT2's network outputs to a client on the Linux side that
//            writes it to COM17 (bench/chained_output_server.py), the baseline;
//   trigger: player 1's trigger pressed (SendInput) to "<1>" on COM16, VT2's recoil made from the
//            trigger.
//   vt2_gun_feedback_bench [CHANGES]   (default 300, each of the three)
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "support/test_paths.h"
#include "support/win32_harness.h"

namespace {

using namespace vt2::test;

std::int64_t NowNs() {
    LARGE_INTEGER counter, frequency;
    QueryPerformanceCounter(&counter);
    QueryPerformanceFrequency(&frequency);
    return static_cast<std::int64_t>(static_cast<double>(counter.QuadPart) * (1000000000.0 / static_cast<double>(frequency.QuadPart)));
}

// A stamped gun's stream: the bytes so far, and when the read that brought each byte came.
struct Stream {
    std::string bytes;
    std::vector<std::int64_t> at;
};

Stream Parse(const std::string& log) {
    Stream s;
    std::istringstream lines(log);
    std::string line;
    while (std::getline(lines, line)) {
        const std::size_t blank = line.find(' ');
        if (blank == std::string::npos) continue;
        const std::int64_t ns = std::strtoll(line.substr(0, blank).c_str(), nullptr, 10);
        for (std::size_t i = blank + 1; i + 1 < line.size(); i += 2) {
            s.bytes.push_back(static_cast<char>(std::strtol(line.substr(i, 2).c_str(), nullptr, 16)));
            s.at.push_back(ns);
        }
    }
    return s;
}

// When the text arrived whole, searched from `from` on (which then moves past it).
std::optional<std::int64_t> Arrival(const PtyGun& gun, const std::string& text, std::size_t& from) {
    const Stream s = Parse(gun.received());
    const std::size_t found = s.bytes.find(text, from);
    if (found == std::string::npos) return std::nullopt;
    from = found + text.size();
    return s.at[found + text.size() - 1];
}

struct Figures {
    std::vector<double> ms;
    int missed = 0;
};

void Print(const char* what, Figures f, const char* goal) {
    std::sort(f.ms.begin(), f.ms.end());
    auto at = [&](double q) { return f.ms.empty() ? 0.0 : f.ms[std::min(f.ms.size() - 1, static_cast<std::size_t>(q * static_cast<double>(f.ms.size())))]; };
    std::printf("%-9s %4zu changes  p50 %6.2f ms  p99 %6.2f ms  max %6.2f ms  missed %d   %s\n", what, f.ms.size(), at(0.5), at(0.99),
                f.ms.empty() ? 0.0 : f.ms.back(), f.missed, goal);
}

void Click(DWORD flags) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    SendInput(1, &input, sizeof input);
}

}  // namespace

int main(int argc, char** argv) {
    const int changes = argc > 1 ? std::max(1, std::atoi(argv[1])) : 300;
    TempInstall install;
    const DemoLayout layout;
    const std::uint64_t panel = layout.address("vt2demo_panel");
    const int networkPort = 18000 + static_cast<int>(GetCurrentProcessId() % 1000);
    install.setIni("memcfg\\demo.ini", "Info", "LaunchGame", "0");
    install.setIni("memcfg\\demo.ini", "Outputs", "NumberOutputs", "1");
    install.setIni("memcfg\\demo.ini", "Outputs", "Output1Addr", std::to_string(panel));
    install.setIni("memcfg\\demo.ini", "Outputs", "Output1Type", "byte");
    install.setIni("memcfg\\demo.ini", "Outputs", "Output1Name", "lamp");
    install.setIni("joycfg\\default.ini", "Feedback", "TriggerRecoil", "1");
    install.setIni("vt2.ini", "Outputs", "DDE", "0");
    install.setIni("vt2.ini", "Outputs", "Network", "1");
    install.setIni("vt2.ini", "Outputs", "NetworkPort", std::to_string(networkPort));
    install.writeFile("feedback\\demo.ini", "[General]\r\nMameStart=cmw 15 S,cmw 16 S\r\n[Output]\r\nlamp=cmw 15 <%s%>\r\n"
                                            "P1_CtmRecoil=cmw 16 <%s%>\r\n");
    PtyGun outputsGun(15, true), triggerGun(16, true), chainedGun(17, true);
    if (!outputsGun.ready() || !triggerGun.ready() || !chainedGun.ready()) {
        std::fprintf(stderr, "the guns' pseudo-terminals did not come\n");
        return 1;
    }
    ChildProcess chained = ChildProcess::Start("Z:\\bin\\sh", "-c \"exec python3 '" + std::string(kChainedOutputServerOnLinux) + "' " +
                                                                  std::to_string(networkPort) + " lamp \\\"$WINEPREFIX/dosdevices/com17\\\" 600\"");
    ChildProcess game = install.startDemoGame();
    HWND gameWindow = nullptr;
    if (!WaitUntil([&] { return (gameWindow = FindTopWindowOf(game.id(), "VT2DemoGame")) != nullptr; }) || !ParkPointerAwayFromWindows()) return 1;
    ChildProcess vt2 = install.startVt2("demo");
    if (!WaitForStatus(vt2, "Status:  Hooked VT2 Demo Game")) return 1;
    std::size_t outputsFrom = 0, triggerFrom = 0, chainedFrom = 0;
    if (!WaitUntil([&] { return Parse(outputsGun.received()).bytes.starts_with("S") && Parse(triggerGun.received()).bytes.starts_with("S"); })) {
        std::fprintf(stderr, "the guns got no start\n");
        return 1;
    }
    // The chained server connects when VT2 listens: a first change through it tells it is there.
    auto writeLamp = [&](std::uint8_t value) { return WriteGameValue<std::uint8_t>(game, panel, value); };
    writeLamp(250);
    if (!WaitUntil([&] { return Arrival(chainedGun, "<250>", chainedFrom).has_value(); })) {
        std::fprintf(stderr, "the chained output server got nothing\n");
        return 1;
    }
    Arrival(outputsGun, "<250>", outputsFrom);

    Figures direct, baseline, trigger;
    for (int i = 0; i < changes; ++i) {
        const std::string value = std::to_string(i % 200 + 1);
        Sleep(60);  // beyond a gun's pace (40 ms): each change is sent at once
        const std::int64_t t0 = NowNs();
        writeLamp(static_cast<std::uint8_t>(i % 200 + 1));
        std::optional<std::int64_t> a, b;
        WaitUntil([&] {
            if (!a) a = Arrival(outputsGun, "<" + value + ">", outputsFrom);
            if (!b) b = Arrival(chainedGun, "<" + value + ">", chainedFrom);
            return a && b;
        }, 3000);
        if (a) direct.ms.push_back(static_cast<double>(*a - t0) / 1e6); else ++direct.missed;
        if (b) baseline.ms.push_back(static_cast<double>(*b - t0) / 1e6); else ++baseline.missed;
    }
    for (int i = 0; i < changes; ++i) {
        Sleep(60);
        const std::int64_t t0 = NowNs();
        Click(MOUSEEVENTF_LEFTDOWN);
        std::optional<std::int64_t> pulled;
        WaitUntil([&] { return (pulled = Arrival(triggerGun, "<1>", triggerFrom)).has_value(); }, 3000);
        if (pulled) trigger.ms.push_back(static_cast<double>(*pulled - t0) / 1e6); else ++trigger.missed;
        Click(MOUSEEVENTF_LEFTUP);
        WaitUntil([&] { return Arrival(triggerGun, "<0>", triggerFrom).has_value(); }, 3000);
    }
    PostMessageA(gameWindow, WM_CLOSE, 0, 0);
    vt2.waitForExit(5000);
    ChildProcess::Start("Z:\\bin\\sh", "-c \"pkill -f chained_output_server.py\"").waitForExit();

    std::printf("From the change to the gun's bytes (CLOCK_MONOTONIC_RAW on both sides), paced loop:\n");
    Print("outputs", direct, "goal: p99 within the outputs' read period (4 ms) + 1 ms");
    Print("chained", baseline, "baseline: the network outputs to an output server on the Linux side, then the gun");
    Print("trigger", trigger, "goal: p99 within 2 ms of the trigger reaching VT2 (here from SendInput)");
    return 0;
}
