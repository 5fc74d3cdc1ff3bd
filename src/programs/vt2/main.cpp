// VT2: without a command line the configuration tool; with one, the hook engine for that game.

#include <windows.h>

#include <memory>
#include <string>

#include "common/command_line.h"
#include "common/ini.h"
#include "engine/debug_text.h"
#include "engine/engine.h"
#include "engine/aim_finder_run.h"
#include "engine/exit_codes.h"
#include "engine/form1.h"
#include "engine/game_check.h"
#include "engine/gun_feedback_step.h"
#include "engine/program_modes.h"
#include "engine/running_game_check.h"
#include "input/bridge_raw_input.h"
#include "input/device_listing.h"
#include "outputs/numeric_output_values.h"
#include "outputs/output_protocols.h"
#include "outputs/output_sender.h"
#include "outputs/threaded_output_link.h"
#include "ui/config_tool.h"
#include "ui/input_box_model.h"
#include "ui/model2_setup_model.h"
#include "adapters/win32/dde_output_delivery.h"
#include "adapters/win32/form1_window.h"
#include "adapters/win32/network_outputs.h"
#include "adapters/win32/pass_trace.h"
#include "adapters/win32/win32_bridge_link.h"
#include "adapters/win32/win32_dde_client.h"
#include "adapters/win32/win32_direct_input.h"
#include "adapters/win32/win32_feedback_ports.h"
#include "adapters/win32/win32_file_system.h"
#include "adapters/win32/win32_forms.h"
#include "adapters/win32/win32_ini_files.h"
#include "adapters/win32/win32_loop_pacer.h"
#include "adapters/win32/win32_module_list.h"
#include "adapters/win32/win32_process_threads.h"
#include "adapters/win32/win32_process_memory.h"
#include "adapters/win32/win32_program_launcher.h"
#include "adapters/win32/win32_raw_input.h"
#include "adapters/win32/win32_small_services.h"
#include "adapters/win32/win32_synthetic_input.h"
#include "adapters/win32/win32_target_screen.h"
#include "adapters/win32/win32_thread_services.h"
#include "adapters/win32/win32_window_system.h"
#include "adapters/win32/window_outputs.h"
#include "programs/vt2/console_text.h"

namespace {

std::string ProgramFolder() {
    char path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path, length);
    const std::size_t slash = folder.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : folder.substr(0, slash);
}

int RunMessageLoop(vt2::win32::Win32Forms& forms) {
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (forms.preTranslate(message)) continue;  // Tab, Enter, Esc and shortcuts of the tool's windows
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return static_cast<int>(message.wParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    using namespace vt2;
    using namespace vt2::win32;

    const std::string arguments = CommandLineArguments(GetCommandLineA());
    const ProgramModeChoice mode = ChooseProgramMode(arguments);
    if (mode.mode == ProgramMode::Help) {
        WriteToConsole(ProgramHelpText());
        return 0;
    }
    if (mode.mode == ProgramMode::UnknownOption) {
        WriteToConsole("VT2: unknown option or missing game: " + mode.option + " (VT2.exe --help lists them)\r\n");
        return static_cast<int>(ExitCode::BadCommandLine);
    }
    if (mode.mode == ProgramMode::Version) {
        WriteToConsole(std::string("VT2 ") + VT2_VERSION_TEXT + "\r\n");
        return 0;
    }
    if (mode.mode == ProgramMode::Check) {
        Win32FileSystem files;
        Win32WindowSystem windows;
        Win32ProcessMemory memory;
        Win32ModuleList modules;
        const GameCheck check = CheckGameFiles({windows, memory, modules, files}, ProgramFolder(), mode.game);
        WriteToConsole(check.report);
        return check.exitCode;
    }
    if (mode.mode == ProgramMode::FindAim) {
        Win32FileSystem files;
        Win32IniFiles ini;
        Win32WindowSystem windows;
        Win32ProcessMemory memory;
        Win32ModuleList modules;
        Win32SyntheticInput input;
        Win32Clock clock;
        const AimFinderOutcome found = FindAimAddresses(
            {windows, memory, modules, input, clock, files, ini}, ProgramFolder(), mode.game,
            [](int percent, const std::string& step) {
                WriteToConsole(std::to_string(percent) + " %  " + step + "\r\n");
                return true;  // the console's scan runs to its end
            });
        WriteToConsole(found.report);
        return found.exitCode;
    }
    if (mode.mode == ProgramMode::ListDevices) {
        Win32RawInput systemMice(nullptr);  // listing needs no window
        Win32IniFiles ini;
        Win32BridgeLink bridge(ProgramFolder());
        BridgedRawInput mice(systemMice, nullptr);
        mice.useBridge(bridge, ReadBridgePort(ini, ProgramFolder()), kBridgeListWaitMs);
        Win32DirectInput joysticks(nullptr);
        const auto devices = mice.deviceList();
        WriteToConsole(DeviceListing(ListMice(devices.value_or(std::vector<RawInputDevice>{})),
                                     joysticks.describeControllers()));
        return 0;
    }

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
    Win32Forms forms(instance);
    Win32MessageBoxes messageBoxes([&forms] { return forms.actingWindow(); });
    Win32KeyboardState keyboard;
    Win32RawInput systemMice(mainWindow.handle());
    Win32DirectInput joysticks(mainWindow.handle());
    Win32SyntheticInput input;
    Win32DdeClient dde;
    Win32UserLocale locale;

    Win32RunLocks runLocks;
    pass_trace::StartFromEnvironment();

    const std::string folder = ProgramFolder();
    const bool gameMode = !arguments.empty();

    // The outputs' servers, as vt2.ini [Outputs] chooses them. DDE goes over a conversation of its
    // own thread; Blocking=1 sends each command as one whole conversation on the main loop's thread
    // instead, which is also what the threaded link falls back to when its thread cannot start.
    // Each problem is told in the debug window.
    const OutputProtocols protocols = ReadOutputProtocols(ini, folder);
    Engine* run = nullptr;  // the run whose debug window takes the notes, once there is one
    const auto note = [&run](const std::string& text) {
        if (run) AddDebugNote(*run, text);
    };
    // The mice of the Linux input bridge beside raw input's, when there is one (under Wine).
    Win32BridgeLink bridge(folder);
    BridgedRawInput rawInput(systemMice, note);
    rawInput.useBridge(bridge, ReadBridgePort(ini, folder), kBridgeListWaitMs);
    BlockingOutputLink blocking(dde);
    NoOutputLink noDde;
    std::unique_ptr<ThreadedOutputLink> threaded;
    if (protocols.dde && !protocols.blocking) threaded = std::make_unique<ThreadedOutputLink>(&MakeDdeOutputDelivery, blocking, note);
    OutputLink& outputs = !protocols.dde ? static_cast<OutputLink&>(noDde)
                          : threaded     ? static_cast<OutputLink&>(*threaded)
                                         : blocking;
    Win32NetworkOutputs network(protocols.networkBind, protocols.networkPort, note);
    Win32WindowOutputs windowMessages(note);
    NumericOutputsFan numeric;
    Win32LoopPacer pacer;
    std::vector<std::string> gunPortNotes;
    std::map<int, GunPortName> gunPortNames = ReadGunPortNames(ini, folder, gunPortNotes);
    Win32FeedbackPorts feedbackPorts(ReadRecoilServers(ini, folder), std::move(gunPortNames), std::move(gunPortNotes),
                                     ReadBridgePort(ini, folder));

    Platform os{ini,        files,        windows,  launcher, clock,     messages, process, memory,  modules, threads,
                mainWindow, messageBoxes, keyboard, rawInput, joysticks, input,    locale,  outputs, runLocks, numeric, pacer,
                feedbackPorts};
    Engine engine{os, {}};
    engine.state.programFolder = folder;
    run = &engine;
    // Listening from the start of a run, so that a client may connect before the game is hooked.
    if (gameMode && protocols.network && network.open()) numeric.add(network);
    if (gameMode && protocols.windows && windowMessages.open()) numeric.add(windowMessages);

    // Without a command line, the configuration tool.
    ModalInputBoxes inputBoxes(forms);
    Win32TargetScreen targetScreen(instance);
    const AimFinderServices finder{windows, memory, modules, input, clock, files, ini};
    const AimScan findAim = [&finder, folder](const std::string& game, const AimFinderProgress& progress) {
        return FindAimAddresses(finder, folder, game, progress);
    };
    const ConfigServices tools{ini,    files,     messageBoxes, inputBoxes, launcher,      forms,
                               folder, &rawInput, &joysticks,   &windows,   &targetScreen, findAim,
                               &feedbackPorts};
    Model2SetupServices model2Tools{files, ini, messageBoxes, launcher, rawInput, forms, folder};
    std::unique_ptr<Model2SetupModel> model2Setup;
    std::unique_ptr<ConfigTool> configuration;
    mainWindow.onShowConfiguration([&] {
        model2Setup = std::make_unique<Model2SetupModel>(model2Tools);
        configuration = std::make_unique<ConfigTool>(tools, keyboard, model2Setup.get());
        configuration->open();
    });

    Form1 form(engine);
    mainWindow.attach(form);
    form.Form_Load(arguments);
    return RunMessageLoop(forms);
}
