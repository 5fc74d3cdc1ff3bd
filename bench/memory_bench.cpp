// The cost of one typed write and one typed read of the game's memory through the Win32 adapter,
// against a real process (the demo game, started here).
//   vt2_memory_bench PATH\VT2DemoGame.exe [calls]

#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "memory/memory_manager.h"
#include "memory/typed_values.h"
#include "adapters/win32/win32_process_memory.h"

namespace {

template <typename F>
double CallsPerSecond(int calls, F&& call) {
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < calls; ++i) call(i);
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    return calls / elapsed.count();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: vt2_memory_bench PATH\\VT2DemoGame.exe [calls]\n");
        return 2;
    }
    const int calls = argc > 2 ? std::atoi(argv[2]) : 200000;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION game{};
    std::string commandLine = "VT2DemoGame.exe";
    if (!CreateProcessA(argv[1], commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &game)) {
        std::fprintf(stderr, "cannot start %s\n", argv[1]);
        return 1;
    }
    WaitForInputIdle(game.hProcess, 10000);
    const auto scratch = static_cast<vt2::GameAddress>(reinterpret_cast<std::uintptr_t>(
        VirtualAllocEx(game.hProcess, nullptr, 4096, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE)));

    vt2::win32::Win32ProcessMemory processes;
    vt2::MemoryManager memory(processes);
    memory.PID(static_cast<std::int32_t>(game.dwProcessId));

    const double writeInteger = CallsPerSecond(calls, [&](int i) {
        vt2::WriteMemValue(memory, scratch, "integer", i % 640, 0);
    });
    const double writeMasked = CallsPerSecond(calls, [&](int i) {
        vt2::WriteMemValue(memory, scratch + 8, "byte", i & 1, 4);  // a read and a write
    });
    const double readInteger = CallsPerSecond(calls, [&](int) {
        volatile double v = vt2::ReadMemValue(memory, scratch, "integer", "").number;
        (void)v;
    });
    const double readBit = CallsPerSecond(calls, [&](int) {
        volatile double v = vt2::ReadMemValue(memory, scratch + 8, "byte", "4").number;
        (void)v;
    });

    std::printf("typed memory access through the Win32 adapter, %d calls each\n", calls);
    std::printf("  write \"integer\"         %10.0f calls/s  (%.2f us each)\n", writeInteger, 1e6 / writeInteger);
    std::printf("  write \"byte\" with mask  %10.0f calls/s  (%.2f us each)\n", writeMasked, 1e6 / writeMasked);
    std::printf("  read \"integer\"          %10.0f calls/s  (%.2f us each)\n", readInteger, 1e6 / readInteger);
    std::printf("  read \"byte\" bit test    %10.0f calls/s  (%.2f us each)\n", readBit, 1e6 / readBit);

    TerminateProcess(game.hProcess, 0);
    CloseHandle(game.hThread);
    CloseHandle(game.hProcess);
    return 0;
}
