#pragma once
// The engine over the real Win32 adapters, wired as the program wires them, for tests that run
// the core's rules against real processes and windows.

#include <windows.h>

#include "engine/engine.h"
#include "engine/form1.h"
#include "outputs/output_sender.h"
#include "adapters/win32/form1_window.h"
#include "adapters/win32/win32_dde_client.h"
#include "adapters/win32/win32_direct_input.h"
#include "adapters/win32/win32_file_system.h"
#include "adapters/win32/win32_ini_files.h"
#include "adapters/win32/win32_loop_pacer.h"
#include "adapters/win32/win32_module_list.h"
#include "adapters/win32/win32_process_threads.h"
#include "adapters/win32/win32_process_memory.h"
#include "adapters/win32/win32_program_launcher.h"
#include "adapters/win32/win32_raw_input.h"
#include "adapters/win32/win32_small_services.h"
#include "adapters/win32/win32_synthetic_input.h"
#include "adapters/win32/win32_thread_services.h"
#include "adapters/win32/win32_window_system.h"

namespace vt2::test {

struct RealSystem {
    win32::Win32IniFiles ini;
    win32::Win32FileSystem files;
    win32::Win32WindowSystem windows;
    win32::Win32ProgramLauncher launcher;
    win32::Win32Clock clock;
    win32::Win32MessagePump messages;
    win32::Win32ProcessExit process;
    win32::Win32ProcessMemory memory;
    win32::Win32ModuleList modules;
    win32::Win32ProcessThreads threads;
    win32::Form1Window window{GetModuleHandleA(nullptr)};
    win32::Win32MessageBoxes messageBoxes;
    win32::Win32KeyboardState keyboard;
    win32::Win32RawInput rawInput{window.handle()};
    win32::Win32DirectInput joysticks{window.handle()};
    win32::Win32SyntheticInput input;
    win32::Win32DdeClient dde;
    BlockingOutputLink outputs{dde};
    win32::Win32UserLocale locale;
    win32::Win32RunLocks runLocks;
    NoNumericOutputs numericOutputs;
    win32::Win32LoopPacer pacer;
    NoFeedbackPorts feedbackPorts;
    Platform os{ini,    files,        windows,  launcher, clock,     messages, process, memory,  modules, threads,
                window, messageBoxes, keyboard, rawInput, joysticks, input,    locale,  outputs, runLocks, numericOutputs, pacer,
                feedbackPorts};
    Engine engine{os, {}};
    Form1 form{engine};
    RealSystem() { window.attach(form); }

    // Hooks the engine to a process, as the hook run does once it has found the game's window.
    void hook(DWORD processId) {
        engine.state.memory = std::make_unique<MemoryManager>(memory);
        engine.state.memory->PID(static_cast<std::int32_t>(processId));
    }
};

}  // namespace vt2::test
