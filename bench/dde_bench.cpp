// The cost of one DdeExecute (one whole conversation per command) with our output server running
// and with no server, and how long one pass of the main loop that sends a change takes against
// one that sends nothing.
//   vt2_dde_bench [commands]

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "engine/hook_run.h"
#include "outputs/dde_execute.h"
#include "support/real_system.h"
#include "support/win32_harness.h"

namespace {

using namespace vt2;
using namespace vt2::test;
using Clock = std::chrono::steady_clock;

struct Figures {
    double median, mean, max;
};

Figures Summarise(std::vector<double> ms) {
    std::sort(ms.begin(), ms.end());
    double sum = 0;
    for (double m : ms) sum += m;
    return {ms[ms.size() / 2], sum / static_cast<double>(ms.size()), ms.back()};
}

template <typename F>
double TimeMs(F&& f) {
    const auto start = Clock::now();
    f();
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

Figures TimeCommands(int count, DdeResult& lastResult) {
    win32::Win32DdeClient dde;
    std::vector<double> ms;
    for (int i = 0; i < count; ++i) {
        ms.push_back(TimeMs([&] { lastResult = DdeExecute(dde, kOutputService, kOutputTopic, "statechange|1|lamp|1", 1); }));
    }
    return Summarise(ms);
}

void Print(const char* what, const Figures& f) {
    std::printf("  %-44s median %8.3f ms   mean %8.3f ms   max %8.3f ms\n", what, f.median, f.mean, f.max);
}

}  // namespace

int main(int argc, char** argv) {
    const int count = argc > 1 ? std::atoi(argv[1]) : 100;
    TempInstall install;
    ChildProcess server = StartOutputServer(install.file("bench.log"));
    DdeResult result = DdeResult::Delivered;
    std::printf("DdeExecute, one whole conversation per command, %d commands each\n", count);
    const Figures withServer = TimeCommands(count, result);
    Print(result == DdeResult::Delivered ? "server running (delivered):" : "server running (NOT delivered):", withServer);

    // One pass of the real main loop, hooked to the demo game, with one output that changes on
    // every pass, against a pass in which it does not change.
    ChildProcess game = install.startDemoGame();
    HWND gameWindow = nullptr;
    WaitUntil([&] { return (gameWindow = FindTopWindowOf(game.id(), "VT2DemoGame")) != nullptr; });
    RealSystem real;
    real.hook(game.id());
    real.engine.state.gameWindow = reinterpret_cast<WindowHandle>(gameWindow);
    const auto scratch = static_cast<GameAddress>(reinterpret_cast<std::uintptr_t>(
        VirtualAllocEx(game.handle(), nullptr, 4096, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE)));
    OutputRow lamp;
    lamp.address = scratch;
    lamp.type = ValueType::Byte;
    lamp.number = 1;
    lamp.name = "lamp";
    real.engine.state.outputs.rows = {lamp};
    real.engine.state.OutputsActive = 1;
    std::vector<double> quiet, changing;
    for (int i = 0; i < count; ++i) {
        quiet.push_back(TimeMs([&] { RunPass(real.engine); }));
        real.engine.state.memory->writeByte(scratch, static_cast<std::uint8_t>(i % 2 == 0 ? 1 : 0));
        changing.push_back(TimeMs([&] { RunPass(real.engine); }));
    }
    std::printf("one pass of the main loop, %d passes each\n", count);
    Print("with no change to send:", Summarise(quiet));
    Print("sending one change:", Summarise(changing));

    server.terminate();
    WaitUntil([&] { return !server.running(); });
    const Figures noServer = TimeCommands(count, result);
    std::printf("DdeExecute with no server running\n");
    Print(result == DdeResult::ConnectFailed ? "no server (connect failed):" : "no server:", noServer);
    std::vector<double> noServerPasses;
    for (int i = 0; i < count; ++i) {
        real.engine.state.memory->writeByte(scratch, static_cast<std::uint8_t>(i % 2 == 0 ? 1 : 0));
        noServerPasses.push_back(TimeMs([&] { RunPass(real.engine); }));
    }
    Print("one pass sending one change, no server:", Summarise(noServerPasses));
    return 0;
}
