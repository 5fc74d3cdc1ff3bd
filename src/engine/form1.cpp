#include "engine/form1.h"

#include "common/game_name.h"
#include "engine/engine.h"
#include "engine/hook_run.h"
#include "engine/input_devices.h"
#include "engine/launch.h"
#include "engine/run_files.h"
#include "engine/stop_program.h"
#include "engine/tray_icon.h"

namespace vt2 {

void Form1::Form_Load(const std::string& commandLineArguments) {
    MainWindowView& window = engine_.os.mainWindow;
    if (commandLineArguments.empty()) {
        window.hide();
        window.showConfigurationWindow();
        return;
    }
    HookState& s = engine_.state;
    s.gameName = GameNameFromArguments(commandLineArguments);
    // The name names files of the program's own folders and nothing else: a path, a drive or a
    // device is refused before any file is read.
    if (!IsUsableGameName(s.gameName)) EndProgramAtOnce(engine_, ExitCode::BadGameName);
    // One run per game: two would press every key twice and send every output twice. The second
    // ends at once and shows nothing: started by an emulator's script over a full-screen game, a
    // box of its own would take the focus from the game.
    s.runLock = engine_.os.runLocks.lock(s.gameName);
    if (!s.runLock) EndProgramAtOnce(engine_, ExitCode::AlreadyHooked);
    CreateIcon(window);
    window.stripSystemMenu();
    LoadRunDescriptor(engine_);
    LoadRunSettings(engine_);
    LaunchGameIfAsked(engine_);
    window.armStartTimer(kGameStartDelayMs);
}

void Form1::timGameStart_Timer() {
    engine_.os.mainWindow.disarmStartTimer();
    StartInputDevices(engine_);
    RunGameHook(engine_);
}

void Form1::Form_MouseMove(int x) {
    MainWindowView& window = engine_.os.mainWindow;
    switch (TrayActionForMouseMessage(x)) {
        case TrayAction::BringToForeground:
            window.bringToForeground();
            break;
        case TrayAction::ShowWindow:
            window.setNormal();
            window.bringToForeground();
            window.show();
            break;
        case TrayAction::OpenMenu:
            window.bringToForeground();
            window.openPopupMenu();
            break;
        case TrayAction::None:
            break;
    }
}

void Form1::Form_Resize() {
    if (engine_.os.mainWindow.isMinimised()) engine_.os.mainWindow.hide();
}

void Form1::mnuPopDebug_Click() {
    engine_.os.mainWindow.setNormal();
    engine_.os.mainWindow.show();
}

void Form1::mnuPopExit_Click() { StopProgram(engine_); }

std::uint64_t Form1::passCount() const { return engine_.state.passes; }

std::uint64_t Form1::memoryWriteCount() const {
    return engine_.state.memory ? engine_.state.memory->writeCount() : 0;
}

}  // namespace vt2
