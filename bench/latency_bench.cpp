// The time from a mouse move (SendInput) to the new aim value in the game's memory, with VT2
// hooked to the demo game, for each main loop (paced, the default, and busy, [Loop] Busy=1); with
// each, VT2's CPU time (and the wineserver's beside it) per second of wall time while idle and
// while the mouse moves, and the main loop's passes per second. Then outputs: one that toggles on
// every frame of the game (about 60 times a second) sent by the blocking and the threaded DDE
// sender, over the network protocol and as window messages, and a panel of 16 outputs side by
// side. Then the floor: a bare program that takes the same raw input, waiting as a plain program
// does and as the paced loop does.
//   vt2_latency_bench [moves] [--samples FOLDER] [--cases SLUG,SLUG] [--rounds N] [--trace] [--vt2 PATH]
// With --samples, each case's latencies (ms, one a line) go to FOLDER\<case>.txt, for
// scripts/plot-latency. With --trace, VT2 records when its steps happened (VT2_PASS_TRACE) and
// each move's way through them is printed under its row. With --rounds N the cases take turns N
// times, and the medians over the rounds close the run. --vt2 runs another build's VT2.exe, to
// compare two builds. The demo game time-stamps each change of its aim variable (--watch-aim)
// with the same performance counter this program reads before it calls SendInput.

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "adapters/win32/main_window_ids.h"
#include "host_process.h"
#include "support/test_paths.h"
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

// CPU seconds a host process has used so far, from /proc (Wine's Z: drive): Wine does not answer
// GetProcessTimes for other processes. The process is found by its name as the host shows it
// (cut to 15 characters), the newest of that name; none outside Wine.
std::optional<double> HostCpuSeconds(const std::string& name) {
    const std::optional<long> pid = vt2::bench::NewestHostProcess(name);
    if (!pid) return std::nullopt;
    std::ifstream stat(vt2::bench::HostProcessFile(*pid, "stat"));
    std::string line;
    if (!std::getline(stat, line)) return std::nullopt;
    // Fields after the command's closing parenthesis: state is field 3, utime 14, stime 15.
    std::istringstream fields(line.substr(line.rfind(')') + 2));
    std::string field;
    double utime = 0, stime = 0;
    for (int i = 3; i <= 15 && fields >> field; ++i) {
        if (i == 14) utime = std::atof(field.c_str());
        if (i == 15) stime = std::atof(field.c_str());
    }
    return (utime + stime) / 100.0;  // clock ticks of 10 ms
}

// CPU use of a program and of the wineserver over a stretch of wall time, in percent of one core.
class CpuMeter {
public:
    explicit CpuMeter(std::string program) : program_(std::move(program)) { restart(); }
    void restart() {
        wall_ = GetTickCount64();
        program0_ = HostCpuSeconds(program_);
        server0_ = HostCpuSeconds("wineserver");
    }
    std::pair<std::optional<double>, std::optional<double>> percent() const {
        const double wall = static_cast<double>(GetTickCount64() - wall_) / 1000.0;
        auto share = [&](const std::optional<double>& before, const std::optional<double>& now) {
            return before && now ? std::optional<double>(100.0 * (*now - *before) / wall) : std::nullopt;
        };
        return {share(program0_, HostCpuSeconds(program_)), share(server0_, HostCpuSeconds("wineserver"))};
    }

private:
    std::string program_;
    ULONGLONG wall_ = 0;
    std::optional<double> program0_, server0_;
};

// An output server other than the DDE one: a client of the network outputs (one that reads, one
// that never does) or of the window messages.
enum class OtherServer { None, Network, NetworkNeverReading, WindowMessages };

struct Scenario {
    const char* name;
    const char* slug;  // the samples file's name
    bool busyLoop = false;
    bool blinkingOutput = false;  // the one output, toggling about 60 times a second
    bool panel = false;           // 16 outputs side by side instead
    bool blockingSender = false;
    bool server = true;           // our DDE output server
    OtherServer other = OtherServer::None;  // with one, the outputs go to it only
    const DemoGame* game = &kDemoGame;      // the demo game hooked
};

struct Result {
    std::vector<double> latencies;
    std::vector<std::pair<std::int64_t, std::int64_t>> sentAndSeen;  // counter values of each move
    int lost = 0;
    double passesPerSecond = 0;
    double writesPerPass = 0;
    std::optional<double> cpuIdle, cpuMoving, serverIdle, serverMoving;
    int outputChanges = 0;
    int messagesReceived = 0;
    std::vector<std::string> passTrace;  // VT2's own points, with --trace
};

std::string g_otherVt2;      // --vt2 PATH: this VT2.exe instead of the build's (to compare two builds)
bool g_tracePasses = false;  // --trace: VT2 records its steps, and each move is laid against them

void SetOutputs(const TempInstall& install, const Scenario& s) {
    const DemoLayout layout{*s.game};
    auto row = [&](int n, std::uint64_t address, const std::string& name) {
        const std::string key = "Output" + std::to_string(n);
        install.setIni(s.game->descriptor(), "Outputs", key + "Addr", std::to_string(address));
        install.setIni(s.game->descriptor(), "Outputs", key + "Type", "byte");
        install.setIni(s.game->descriptor(), "Outputs", key + "BitMask", "");
        install.setIni(s.game->descriptor(), "Outputs", key + "Name", name);
    };
    if (s.blinkingOutput) {
        install.setIni(s.game->descriptor(), "Outputs", "NumberOutputs", "1");
        row(1, layout.address("vt2demo_blink"), "blink");
    } else if (s.panel) {
        install.setIni(s.game->descriptor(), "Outputs", "NumberOutputs", "16");
        for (int i = 0; i < 16; ++i) row(i + 1, layout.address("vt2demo_panel") + static_cast<std::uint64_t>(i), "lamp" + std::to_string(i));
    } else {
        install.setIni("joycfg\\default.ini", "Options", "Outputs", "0");
    }
}

// Moves the mouse to and fro, waiting each time for changed() to say the move arrived, and
// takes the latency from sent to changedAt().
void MeasureMoves(int moves, const std::function<std::int32_t()>& changes, const std::function<std::int64_t()>& changedAt,
                  Result& result) {
    // Steps of 6 counts (about one pixel of the game) to and fro: every step changes the value.
    for (int i = 0; i < moves; ++i) {
        const std::int32_t before = changes();
        LARGE_INTEGER sent;
        QueryPerformanceCounter(&sent);
        Move(i % 2 == 0 ? -6 : 6);
        // The change is time-stamped where it happens, so the first look can wait: a read of the
        // game's memory is a request the Wine server serves by stopping the game's thread, and one
        // made at once would queue before the very requests whose time is measured.
        Sleep(10);
        if (WaitUntil([&] { return changes() != before; }, 500)) {
            const std::int64_t seen = changedAt();
            result.latencies.push_back(Milliseconds(seen - sent.QuadPart));
            result.sentAndSeen.emplace_back(sent.QuadPart, seen);
        } else {
            ++result.lost;
        }
        Sleep(static_cast<DWORD>(i % 7) * 2);
    }
}

std::optional<Result> Run(const Scenario& scenario, int moves) {
    TempInstall install;
    if (!g_otherVt2.empty() && !CopyFileA(g_otherVt2.c_str(), install.file("VT2.exe").c_str(), FALSE)) return std::nullopt;
    const DemoGame& demo = *scenario.game;
    install.installDemoGame(demo);
    install.setIni(demo.descriptor(), "Info", "LaunchGame", "0");
    SetOutputs(install, scenario);
    if (scenario.busyLoop) install.setIni("vt2.ini", "Loop", "Busy", "1");
    if (scenario.blockingSender) install.setIni("vt2.ini", "Outputs", "Blocking", "1");
    const std::string log = install.file("outputs.log");
    ChildProcess server;
    if (scenario.other == OtherServer::WindowMessages) {
        install.setIni("vt2.ini", "Outputs", "DDE", "0");
        install.setIni("vt2.ini", "Outputs", "Windows", "1");
        server = StartOutputServer(log, "--windows");
    } else if (scenario.other != OtherServer::None) {
        const std::string port = std::to_string(18000 + GetCurrentProcessId() % 2000);
        install.setIni("vt2.ini", "Outputs", "DDE", "0");
        install.setIni("vt2.ini", "Outputs", "Network", "1");
        install.setIni("vt2.ini", "Outputs", "NetworkPort", port);
        server = StartOutputServer(log, "--network 127.0.0.1:" + port +
                                            (scenario.other == OtherServer::NetworkNeverReading ? " --stall" : ""));
    } else if (scenario.server) {
        server = StartOutputServer(log);
    }

    const bool outputs = scenario.blinkingOutput || scenario.panel;
    ChildProcess game = install.startDemoGame(demo, outputs ? "--watch-aim --blink" : "--watch-aim");
    HWND gameWindow = nullptr;
    if (!WaitUntil([&] { return (gameWindow = FindTopWindowOf(game.id(), "VT2DemoGame")) != nullptr; }) ||
        !WaitUntil([&] { return GetForegroundWindow() == gameWindow; }) || !ParkPointerAwayFromWindows()) {
        return std::nullopt;
    }
    const std::string traceFile = install.file("pass-trace.txt");
    if (g_tracePasses) SetEnvironmentVariableA("VT2_PASS_TRACE", traceFile.c_str());
    ChildProcess vt2 = install.startVt2(demo.name);
    SetEnvironmentVariableA("VT2_PASS_TRACE", nullptr);
    if (!WaitForStatus(vt2, std::string("Status:  Hooked ") + demo.caption)) return std::nullopt;
    const HWND vt2Window = FindMainWindowOf(vt2.id());
    const DemoLayout layout{demo};
    auto read32 = [&](const char* v) { return ReadGameValue<std::int32_t>(game, layout.address(v)); };

    Result result;
    // The output's changes from the hook on, as the server's messages are counted (from the start).
    const int togglesBefore = read32("vt2demo_blink_toggles");
    // The loop's own figures over six seconds with no input: passes, writes, CPU. The system
    // counts CPU time in ticks of 10 ms: one second's share would be good to 1 % only.
    auto query = [&](unsigned message) { return static_cast<DWORD>(SendMessageA(vt2Window, message, 0, 0)); };
    Sleep(500);
    CpuMeter cpu("VT2.exe");
    const DWORD passes0 = query(vt2::win32::kQueryPassCount);
    const DWORD writes0 = query(vt2::win32::kQueryMemoryWriteCount);
    const ULONGLONG start = GetTickCount64();
    Sleep(6000);
    const DWORD passes1 = query(vt2::win32::kQueryPassCount);
    const DWORD writes1 = query(vt2::win32::kQueryMemoryWriteCount);
    std::tie(result.cpuIdle, result.serverIdle) = cpu.percent();
    const double passCount = static_cast<double>(passes1 - passes0);
    result.passesPerSecond = passCount * 1000.0 / static_cast<double>(GetTickCount64() - start);
    result.writesPerPass = passCount > 0 ? static_cast<double>(writes1 - writes0) / passCount : 0.0;

    // The aim to the right edge first, then the moves.
    Move(3000);
    Move(3000);
    Sleep(300);
    cpu.restart();
    MeasureMoves(moves, [&] { return read32("vt2demo_aim_changes"); },
                 [&] { return ReadGameValue<std::int64_t>(game, layout.address("vt2demo_aim_changed_at")); }, result);
    std::tie(result.cpuMoving, result.serverMoving) = cpu.percent();

    // The output's changes, and what arrived of the whole run.
    result.outputChanges = read32("vt2demo_blink_toggles") - togglesBefore;
    PostMessageA(gameWindow, WM_CLOSE, 0, 0);
    vt2.waitForExit(5000);
    if (g_tracePasses) result.passTrace = ReadLines(traceFile);
    int messages = 0;
    bool counting = false;
    for (const std::string& line : ReadLines(log)) {
        const bool change = line.rfind("statechange|1|blink|", 0) == 0 || line.rfind("net: blink = ", 0) == 0 ||
                            line.rfind("win: 1 = ", 0) == 0;
        if (change && counting) ++messages;
        if (line.rfind("mamestart|", 0) == 0 || line.rfind("net: mame_start", 0) == 0 || line == "win: start") counting = true;
    }
    result.messagesReceived = messages;
    return result;
}

std::string OwnFolder() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder = path;
    return folder.substr(0, folder.find_last_of('\\'));
}

// The same moves taken by the bare raw input program, with the demo game's window in front, its
// aim watcher spinning as in the other rows (the same load on the cores); paced, the program waits
// as VT2's paced loop does.
std::optional<Result> RunFloor(int moves, bool paced) {
    TempInstall install;
    ChildProcess game = install.startDemoGame("--watch-aim");
    HWND gameWindow = nullptr;
    if (!WaitUntil([&] { return (gameWindow = FindTopWindowOf(game.id(), "VT2DemoGame")) != nullptr; }) ||
        !WaitUntil([&] { return GetForegroundWindow() == gameWindow; }) || !ParkPointerAwayFromWindows()) {
        return std::nullopt;
    }
    const std::string addresses = install.file("floor.txt");
    ChildProcess floor = ChildProcess::Start(OwnFolder() + "\\vt2_raw_input_floor.exe",
                                             "\"" + addresses + "\"" + (paced ? " --paced" : ""));
    std::vector<std::string> lines;
    if (!WaitUntil([&] { return !(lines = ReadLines(addresses)).empty(); })) return std::nullopt;
    unsigned long long sum = 0, changes = 0, at = 0;
    if (std::sscanf(lines[0].c_str(), "%llx %llx %llx", &sum, &changes, &at) != 3) return std::nullopt;
    auto read = [&](unsigned long long address, auto value) {
        SIZE_T copied = 0;
        ReadProcessMemory(floor.handle(), reinterpret_cast<LPCVOID>(static_cast<std::uintptr_t>(address)), &value,
                          sizeof value, &copied);
        return value;
    };
    Result result;
    // The pointer to the screen's right edge, outside the game's window, as in VT2's rows: a move
    // over the game's window is also a message for the game's own thread.
    Move(3000);
    Move(3000);
    Sleep(300);
    CpuMeter cpu("vt2_raw_input_floor.exe");
    MeasureMoves(moves, [&] { return read(changes, std::int32_t{}); }, [&] { return read(at, std::int64_t{}); }, result);
    std::tie(result.cpuMoving, result.serverMoving) = cpu.percent();
    PostMessageA(gameWindow, WM_CLOSE, 0, 0);
    return result;
}

// The Linux bridge's path: a recorded mouse's 300 moves, 25 ms apart, played by the bridge into VT2
// (player 1 bound to it by its path) and on into the game. Each move's latency runs from when the
// bridge read it (its clock is the one Wine's QueryPerformanceCounter reads) to the game seeing
// the new value. The moves are the recording's, whatever the moves argument says.
std::optional<Result> RunBridge() {
    if (*kLinuxBridge == '\0') return std::nullopt;
    const std::string recording = std::string(kRecordingsFolderOnLinux) + "/bench_moves.evemu";
    const std::string times = "/tmp/vt2-bench-times-" + std::to_string(GetCurrentProcessId()) + ".txt";
    TempInstall install;
    const int port = 47900 + static_cast<int>(GetCurrentProcessId() % 90);
    install.setIni("vt2.ini", "Bridge", "Port", std::to_string(port));
    install.setIni("memcfg\\demo.ini", "Info", "LaunchGame", "0");
    install.setIni("joycfg\\default.ini", "Options", "Outputs", "0");
    install.setIni("joycfg\\default.ini", "Player1", "MouseDevice", recording);
    install.setIni("joycfg\\default.ini", "Player1", "MouseID", "7");
    ChildProcess game = install.startDemoGame("--watch-aim");
    HWND gameWindow = nullptr;
    if (!WaitUntil([&] { return (gameWindow = FindTopWindowOf(game.id(), "VT2DemoGame")) != nullptr; }) ||
        !ParkPointerAwayFromWindows()) {
        return std::nullopt;
    }
    RecordedBridge bridge(port, recording + " --times " + times);
    if (!bridge.listening()) return std::nullopt;
    ChildProcess vt2 = install.startVt2("demo");
    if (!WaitForStatus(vt2, "Status:  Hooked VT2 Demo Game")) return std::nullopt;
    const DemoLayout layout;
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    // Each change of the aim as the game time-stamped it, looked at often enough to see each one.
    std::map<std::int32_t, std::int64_t> seenNs;
    const std::int32_t changesBefore = ReadGameValue<std::int32_t>(game, layout.address("vt2demo_aim_changes"));
    std::int32_t last = changesBefore;
    const ULONGLONG until = GetTickCount64() + 14000;
    while (GetTickCount64() < until && last - changesBefore < 301) {
        const std::int32_t changes = ReadGameValue<std::int32_t>(game, layout.address("vt2demo_aim_changes"));
        if (changes == last + 1) {
            const auto at = ReadGameValue<std::int64_t>(game, layout.address("vt2demo_aim_changed_at"));
            seenNs[changes - changesBefore] = static_cast<std::int64_t>(static_cast<double>(at) * 1e9 / static_cast<double>(frequency.QuadPart));
        }
        last = changes;
        Sleep(1);
    }
    PostMessageA(gameWindow, WM_CLOSE, 0, 0);
    vt2.waitForExit(5000);
    // Report n is the n-th change of the aim: the first to the edge, then one per step.
    Result result;
    for (const std::string& line : ReadLines("Z:" + std::string(times))) {
        unsigned long long report = 0;
        long long readNs = 0;
        if (std::sscanf(line.c_str(), "%llu %lld", &report, &readNs) != 2 || report < 2) continue;
        const auto seen = seenNs.find(static_cast<std::int32_t>(report));
        if (seen == seenNs.end()) {
            ++result.lost;
        } else {
            result.latencies.push_back(static_cast<double>(seen->second - readNs) / 1e6);
        }
    }
    DeleteFileA(("Z:" + times).c_str());
    return result;
}

double Percentile(std::vector<double> l, double p) {
    std::sort(l.begin(), l.end());
    return l[std::min(l.size() - 1, static_cast<std::size_t>(p * static_cast<double>(l.size())))];
}

std::string Percent(const std::optional<double>& v) {
    char text[16];
    if (!v) return "  n/a";
    std::snprintf(text, sizeof text, "%5.1f", *v);
    return text;
}

// Each move's way through VT2, from its own trace: sent (by this program) to the wait's end and to
// the raw input message taken, to the write issued and returned, and to the game seeing the new
// value. Printed as the median and p90 of each stretch over the moves.
void PrintPassTrace(const Result& r) {
    enum { WaitBegan, WaitEnded, MessageLook, MessageTaken, WriteIssued, WriteReturned };
    struct Point {
        std::int64_t at;
        int kind;
        unsigned long detail;
    };
    std::vector<Point> points;
    for (const std::string& line : r.passTrace) {
        Point p{};
        long long at = 0;
        if (std::sscanf(line.c_str(), "%lld %d %lu", &at, &p.kind, &p.detail) == 3) {
            p.at = at;
            points.push_back(p);
        }
    }
    auto next = [&](std::size_t from, int kind, auto accept) {
        for (std::size_t i = from; i < points.size(); ++i) {
            if (points[i].kind == kind && accept(points[i])) return i;
        }
        return points.size();
    };
    const auto any = [](const Point&) { return true; };
    std::vector<double> peeking, toWake, toTaken, toIssued, writing, toSeen, afterReturn;
    int duringPass = 0, traced = 0, tickFirst = 0, extraWakes = 0;
    for (const auto& [sent, seen] : r.sentAndSeen) {
        const std::size_t taken = next(0, MessageTaken, [&](const Point& p) { return p.at > sent && p.detail == WM_INPUT; });
        const std::size_t issued = next(taken, WriteIssued, any);
        const std::size_t returned = next(issued, WriteReturned, any);
        if (returned >= points.size()) continue;
        const std::size_t firstWake = next(0, WaitEnded, [&](const Point& p) { return p.at > sent; });
        if (firstWake < taken && points[firstWake].detail == 1) ++tickFirst;
        for (std::size_t i = firstWake; i < taken; ++i) extraWakes += points[i].kind == WaitEnded && i != firstWake ? 1 : 0;
        std::size_t woke = taken;  // the last wait's end before the message: before the send, a pass was running
        while (woke > 0 && points[woke].kind != WaitEnded) --woke;
        ++traced;
        if (points[woke].kind != WaitEnded || points[woke].at < sent) {
            ++duringPass;
        } else {
            toWake.push_back(Milliseconds(points[woke].at - sent));
        }
        toTaken.push_back(Milliseconds(points[taken].at - sent));
        if (taken > 0 && points[taken - 1].kind == MessageLook) peeking.push_back(Milliseconds(points[taken].at - points[taken - 1].at));
        toIssued.push_back(Milliseconds(points[issued].at - points[taken].at));
        writing.push_back(Milliseconds(points[returned].at - points[issued].at));
        toSeen.push_back(Milliseconds(seen - points[issued].at));
        afterReturn.push_back(Milliseconds(seen - points[returned].at));
    }
    auto row = [](const char* what, std::vector<double> v) {
        if (v.empty()) return;
        std::sort(v.begin(), v.end());
        std::printf("    %-52s p50 %7.3f  p90 %7.3f  p99 %7.3f ms\n", what, v[v.size() / 2], v[v.size() * 9 / 10],
                    v[v.size() * 99 / 100]);
    };
    std::printf("    trace of %d moves; %d taken by the pass that ran when they were sent; the first wake after the "
                "send was the tick's for %d; %d more wakes before the message was taken\n",
                traced, duringPass, tickFirst, extraWakes);
    row("sent to the wait's end (moves that found VT2 waiting)", toWake);
    row("sent to the raw input message taken", toTaken);
    row("message taken to the write issued", toIssued);
    row("the look for it (PeekMessage)", peeking);
    row("write issued to returned (WriteProcessMemory)", writing);
    row("write issued to the game seeing the value", toSeen);
    row("write returned to the game seeing the value", afterReturn);
}

void Print(const Scenario& s, const Result& r, const std::string& samplesFolder) {
    const double max = *std::max_element(r.latencies.begin(), r.latencies.end());
    std::printf("%-46s %7.3f %7.3f %8.3f %5d %9.0f %7.3f  %s %s  %s %s", s.name, Percentile(r.latencies, 0.5),
                Percentile(r.latencies, 0.99), max, r.lost, r.passesPerSecond, r.writesPerPass,
                Percent(r.cpuIdle).c_str(), Percent(r.serverIdle).c_str(), Percent(r.cpuMoving).c_str(),
                Percent(r.serverMoving).c_str());
    if (s.blinkingOutput) std::printf("   %d changes, %d messages", r.outputChanges, r.messagesReceived);
    std::printf("\n");
    if (!r.passTrace.empty()) PrintPassTrace(r);
    std::fflush(stdout);
    if (!samplesFolder.empty()) {
        std::ofstream out(samplesFolder + "\\" + s.slug + ".txt");
        for (double l : r.latencies) out << l << "\n";
    }
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0.0 : v[v.size() / 2];
}

// Over the rounds, the median of each case's p50 and p99, of its idle CPU, and of its difference
// to the floor (the bare program) and, for the outputs' rows, to the paced loop without outputs,
// each difference taken within a round.
void PrintRoundsSummary(const std::vector<Scenario>& scenarios, const std::map<std::string, std::vector<Result>>& results) {
    auto at = [&](const std::string& slug, std::size_t round) -> const Result* {
        const auto found = results.find(slug);
        return found != results.end() && round < found->second.size() ? &found->second[round] : nullptr;
    };
    std::printf("\nmedian over the rounds                         p50 ms  p99 ms   idle vt2  p50-floor p99-floor  p99-paced\n");
    for (const Scenario& s : scenarios) {
        const auto found = results.find(s.slug);
        if (found == results.end()) continue;
        std::vector<double> p50, p99, idle, p50Floor, p99Floor, p99Paced;
        for (std::size_t round = 0; round < found->second.size(); ++round) {
            const Result& r = found->second[round];
            p50.push_back(Percentile(r.latencies, 0.5));
            p99.push_back(Percentile(r.latencies, 0.99));
            if (r.cpuIdle) idle.push_back(*r.cpuIdle);
            if (const Result* floor = at("floor", round)) {
                p50Floor.push_back(p50.back() - Percentile(floor->latencies, 0.5));
                p99Floor.push_back(p99.back() - Percentile(floor->latencies, 0.99));
            }
            if (const Result* paced = at("paced", round); paced && s.blinkingOutput) {
                p99Paced.push_back(p99.back() - Percentile(paced->latencies, 0.99));
            }
        }
        auto cell = [](const std::vector<double>& v, const char* format) {
            char text[24] = "";
            if (!v.empty()) std::snprintf(text, sizeof text, format, Median(v));
            return std::string(text);
        };
        std::printf("%-46s %7s %7s %9s  %9s %9s  %9s\n", s.name, cell(p50, "%.3f").c_str(), cell(p99, "%.3f").c_str(),
                    cell(idle, "%.1f %%").c_str(), cell(p50Floor, "%+.3f").c_str(), cell(p99Floor, "%+.3f").c_str(),
                    cell(p99Paced, "%+.3f").c_str());
    }
}

}  // namespace

int main(int argc, char** argv) {
    int moves = 300;
    int rounds = 1;
    std::string samples;
    std::string only;  // --cases SLUG,SLUG: only these rows
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--samples") == 0 && i + 1 < argc) {
            samples = argv[++i];
        } else if (std::strcmp(argv[i], "--vt2") == 0 && i + 1 < argc) {
            g_otherVt2 = argv[++i];
        } else if (std::strcmp(argv[i], "--rounds") == 0 && i + 1 < argc) {
            rounds = std::max(1, std::atoi(argv[++i]));
        } else if (std::strcmp(argv[i], "--trace") == 0) {
            g_tracePasses = true;
        } else if (std::strcmp(argv[i], "--cases") == 0 && i + 1 < argc) {
            only = "," + std::string(argv[++i]) + ",";
        } else {
            moves = std::atoi(argv[i]);
        }
    }
    std::vector<Scenario> scenarios;
    const auto chosen = [&](const char* slug) { return only.empty() || only.find("," + std::string(slug) + ",") != std::string::npos; };
    auto add = [&](Scenario s) {
        if (chosen(s.slug)) scenarios.push_back(s);
    };
    add({"paced loop, no outputs", "paced"});
    add({"busy loop, no outputs", "busy", true});
    // The same against each other demo game this build has: the 64-bit one above 4 GB, and the real
    // 32-bit one where this machine runs it.
    for (const DemoGame& game : DemoGames()) {
        if (std::string(game.label) == "demo64") {
            add({"paced loop, no outputs, 64-bit game", "paced-64bit", false, false, false, false, true, OtherServer::None, &kDemoGame64});
            add({"busy loop, no outputs, 64-bit game", "busy-64bit", true, false, false, false, true, OtherServer::None, &kDemoGame64});
        }
        if (std::string(game.label) == "demo32bit" && CanRun(game)) {
            add({"paced loop, no outputs, 32-bit game", "paced-32bit", false, false, false, false, true, OtherServer::None, &kDemoGame32});
            add({"busy loop, no outputs, 32-bit game", "busy-32bit", true, false, false, false, true, OtherServer::None, &kDemoGame32});
        }
    }
    add({"paced loop, 16 outputs side by side", "paced-16-outputs", false, false, true});
    add({"busy loop, 16 outputs side by side", "busy-16-outputs", true, false, true});
    add({"60 Hz output, server, blocking sender", "blocking", false, true, false, true});
    add({"60 Hz output, server, threaded sender", "threaded", false, true});
    add({"60 Hz output, no server, blocking sender", "blocking-no-server", false, true, false, true, false});
    add({"60 Hz output, no server, threaded sender", "threaded-no-server", false, true, false, false, false});
    add({"60 Hz output, network client", "network", false, true, false, false, false, OtherServer::Network});
    add({"60 Hz output, network client never reading", "network-stalled", false, true, false, false, false,
         OtherServer::NetworkNeverReading});
    add({"60 Hz output, window messages client", "window-messages", false, true, false, false, false,
         OtherServer::WindowMessages});

    // The Linux bridge's path beside Wine's own mouse path (the rows above).
    add({"paced loop, Linux bridge (recorded mouse)", "bridge"});
    const Scenario floors[] = {{"floor: bare raw input program", "floor"}, {"floor, waiting as the paced loop does", "floor-paced"}};
    for (const Scenario& s : floors) {
        if (chosen(s.slug)) scenarios.push_back(s);
    }

    std::printf("mouse move (SendInput) to new aim value in the game's memory, %d moves per row; CPU in %% of one core\n",
                moves);
    std::printf("%-46s %7s %7s %8s %5s %9s %7s  %-12s  %-12s\n", "", "p50 ms", "p99 ms", "max ms", "lost", "passes/s",
                "wr/pass", "idle vt2 wsv", "moving vt2 wsv");
    // Rounds take turns through the cases, so that what the machine does meanwhile falls on all.
    std::map<std::string, std::vector<Result>> results;
    for (int round = 1; round <= rounds; ++round) {
        if (rounds > 1) std::printf("round %d\n", round);
        for (const Scenario& s : scenarios) {
            const std::string slug = s.slug;
            const bool floor = slug == "floor" || slug == "floor-paced";
            const std::optional<Result> r = slug == "bridge" ? RunBridge()
                                            : floor          ? RunFloor(moves, slug == "floor-paced")
                                                             : Run(s, moves);
            if (!r || r->latencies.empty()) {
                std::printf("%-46s did not run\n", s.name);
                continue;
            }
            Print(s, *r, samples);
            results[slug].push_back(*r);
        }
    }
    if (rounds > 1) PrintRoundsSummary(scenarios, results);
    return 0;
}
