// How long VT2.exe --find-aim takes on the demo game following the mouse, and how much memory
// VT2 holds at its peak, beside what the scan cannot do without: the waits for the game to follow
// each move and click, and the copies of the game's writable memory (one copy timed here, through
// the same adapter, times the scan's number of copies).
//   vt2_aim_finder_bench [runs] [--vt2 PATH]
// --vt2 runs another build's VT2.exe (copied into the temporary install), to compare two builds.

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "adapters/win32/unique_handle.h"
#include "adapters/win32/win32_process_memory.h"
#include "engine/aim_finder_run.h"
#include "host_process.h"
#include "memory/memory_snapshot.h"
#include "support/win32_harness.h"

namespace {

using namespace vt2::test;
using Clock = std::chrono::steady_clock;

constexpr int kCopies = 7 + 2 * 7;  // the scan's: seven places, seven steps of each button

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

// The most memory the host process has held resident so far (VmHWM), in MB.
double PeakResidentMb(long pid) {
    std::ifstream status(vt2::bench::HostProcessFile(pid, "status"));
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0) return std::atof(line.c_str() + 6) / 1024.0;
    }
    return 0;
}

struct Scan {
    double seconds = 0;
    double peakMb = 0;
    DWORD exitCode = 1;
};

// One VT2.exe --find-aim, timed from its start to its end, its peak memory read while it runs.
Scan RunFinder(const TempInstall& install) {
    Scan scan;
    std::string commandLine = "\"" + install.file("VT2.exe") + "\" --find-aim found";
    // Its report goes nowhere: the figures are this program's.
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    const vt2::win32::unique_file_handle nowhere(
        CreateFileA("NUL", GENERIC_WRITE, FILE_SHARE_WRITE, &inherit, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = nowhere.get();
    startup.hStdError = nowhere.get();
    PROCESS_INFORMATION started{};
    const auto start = Clock::now();
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, install.path().c_str(), &startup,
                        &started)) {
        return scan;
    }
    const vt2::win32::unique_kernel_handle process(started.hProcess);
    const vt2::win32::unique_kernel_handle thread(started.hThread);
    std::optional<long> host;
    while (WaitForSingleObject(process.get(), 50) == WAIT_TIMEOUT) {
        if (!host) host = vt2::bench::NewestHostProcess("VT2.exe");
        if (host) scan.peakMb = std::max(scan.peakMb, PeakResidentMb(*host));
        if (Seconds(Clock::now() - start) > 300) {
            TerminateProcess(process.get(), 1);
            break;
        }
    }
    scan.seconds = Seconds(Clock::now() - start);
    GetExitCodeProcess(process.get(), &scan.exitCode);
    return scan;
}

}  // namespace

int main(int argc, char** argv) {
    int runs = 3;
    std::string otherVt2;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--vt2" && i + 1 < argc) {
            otherVt2 = argv[++i];
        } else if (std::atoi(a.c_str()) > 0) {
            runs = std::atoi(a.c_str());
        } else {
            std::fprintf(stderr, "usage: vt2_aim_finder_bench [runs] [--vt2 PATH]\n");
            return 2;
        }
    }
    TempInstall install;
    if (!otherVt2.empty() && !CopyFileA(otherVt2.c_str(), install.file("VT2.exe").c_str(), FALSE)) {
        std::fprintf(stderr, "cannot copy %s\n", otherVt2.c_str());
        return 1;
    }
    install.writeFile("memcfg\\found.ini", "[Info]\r\nName=Found Demo\r\nWinCaption=VT2 Demo Game\r\nWinClass=VT2DemoGame\r\n"
                                           "ExeName=VT2DemoGame.exe\r\nLaunchGame=0\r\n");
    ChildProcess game = install.startDemoGame("--follow-mouse");
    if (!WaitUntil([&] { return FindTopWindowOf(game.id(), "VT2DemoGame") != nullptr; })) {
        std::fprintf(stderr, "the demo game's window did not come\n");
        return 1;
    }

    // The baseline: one copy of the game's writable memory, as the scan takes it.
    vt2::win32::Win32ProcessMemory processes;
    const auto opened = processes.openProcess(game.id());
    if (!opened) {
        std::fprintf(stderr, "cannot open the demo game\n");
        return 1;
    }
    const auto regions = vt2::RegionsWithinBudget(opened->writableRegions(), vt2::kAimFinderBudget);
    std::size_t bytes = 0;
    for (const auto& r : regions) bytes += r.size;
    const auto copyStart = Clock::now();
    constexpr int kTimedCopies = 5;
    for (int i = 0; i < kTimedCopies; ++i) vt2::TakeMemorySnapshot(*opened, regions);
    const double copySeconds = Seconds(Clock::now() - copyStart) / kTimedCopies;
    const double waits = kCopies * vt2::kAimFinderSettleMs / 1000.0;

    std::vector<Scan> scans;
    for (int i = 0; i < runs; ++i) scans.push_back(RunFinder(install));

    std::printf("VT2.exe --find-aim on the demo game (--follow-mouse), %d run%s%s\n", runs, runs == 1 ? "" : "s",
                otherVt2.empty() ? "" : (" of " + otherVt2).c_str());
    std::printf("  the game's writable memory: %zu regions, %.1f MB a copy\n", regions.size(), static_cast<double>(bytes) / 1048576.0);
    std::printf("  baseline: waits for the game  %6.2f s  (%d x %u ms)\n", waits, kCopies, vt2::kAimFinderSettleMs);
    std::printf("  baseline: copies of memory    %6.2f s  (%d x %.1f ms)\n", kCopies * copySeconds, kCopies, copySeconds * 1000);
    std::printf("  baseline: both                %6.2f s\n", waits + kCopies * copySeconds);
    for (std::size_t i = 0; i < scans.size(); ++i) {
        std::printf("  run %zu: %6.2f s, exit %lu, VT2's peak memory %.0f MB\n", i + 1, scans[i].seconds,
                    static_cast<unsigned long>(scans[i].exitCode), scans[i].peakMb);
    }
    std::vector<double> times;
    for (const Scan& s : scans) times.push_back(s.seconds);
    std::sort(times.begin(), times.end());
    const double median = times[times.size() / 2];
    std::printf("  median scan %.2f s (the goal: under 30 s); beyond the baseline %.2f s\n", median,
                median - waits - kCopies * copySeconds);
    const bool allFound = std::all_of(scans.begin(), scans.end(), [](const Scan& s) { return s.exitCode == 0; });
    return allFound ? 0 : 1;
}
