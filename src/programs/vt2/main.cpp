// VT2: without a command line the configuration tool; with one, the hook engine for that game.

#include <windows.h>

#include <memory>
#include <string>

#include "common/command_line.h"
#include "common/ini.h"
#include "engine/engine.h"
#include "engine/form1.h"
#include "outputs/output_sender.h"
#include "platform/win32/form1_window.h"
#include "platform/win32/threaded_output_link.h"
#include "platform/win32/win32_dde_client.h"
#include "platform/win32/win32_direct_input.h"
#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_ini_files.h"
#include "platform/win32/win32_module_list.h"
#include "platform/win32/win32_process_threads.h"
#include "platform/win32/win32_process_memory.h"
#include "platform/win32/win32_program_launcher.h"
#include "platform/win32/win32_raw_input.h"
#include "platform/win32/win32_small_services.h"
#include "platform/win32/win32_synthetic_input.h"
#include "platform/win32/win32_thread_services.h"
#include "platform/win32/win32_window_system.h"

namespace {

std::string ProgramFolder() {
    char path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path, length);
    const std::size_t slash = folder.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : folder.substr(0, slash);
}

// The outputs go over a conversation of their own thread; vt2.ini [Outputs] Blocking=1 sends each
// command as one whole conversation on the main loop's thread instead.
std::unique_ptr<vt2::OutputLink> MakeOutputLink(vt2::IniFiles& ini, vt2::DdeClient& dde, const std::string& folder) {
    if (vt2::ReadIniValue(ini, folder + "\\vt2.ini", "Outputs", "Blocking", true) == "1") {
        return std::make_unique<vt2::BlockingOutputLink>(dde);
    }
    return std::make_unique<vt2::win32::ThreadedOutputLink>();
}

int RunMessageLoop() {
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return static_cast<int>(message.wParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    using namespace vt2;
    using namespace vt2::win32;

    Win32IniFiles ini;
    Win32FileSystem files;
    Win32WindowSystem windows;
    Win32ProgramLauncher launcher;
    Win32Clock clock;
    Win32MessagePump messages;
    Win32ProcessExit process;
    Win32ProcessMemory memory;
    Win32ModuleList modules;
    Win32ProcessThreads threads;
    Form1Window mainWindow(instance);
    Win32MessageBoxes messageBoxes;
    Win32KeyboardState keyboard;
    Win32RawInput rawInput(mainWindow.handle());
    Win32DirectInput joysticks(mainWindow.handle());
    Win32SyntheticInput input;
    Win32DdeClient dde;
    Win32UserLocale locale;

    const std::string folder = ProgramFolder();
    const std::unique_ptr<OutputLink> outputs = MakeOutputLink(ini, dde, folder);
    Platform os{ini,        files,        windows,  launcher, clock,     messages, process, memory, modules, threads,
                mainWindow, messageBoxes, keyboard, rawInput, joysticks, input,    locale,  *outputs};
    Engine engine{os, {}};
    engine.state.programFolder = folder;

    Form1 form(engine);
    mainWindow.attach(form);
    form.Form_Load(CommandLineArguments(GetCommandLineA()));
    return RunMessageLoop();
}
