#include "engine/launch.h"

#include "common/numbers.h"
#include "common/text.h"
#include "engine/engine.h"
#include "engine/stop_program.h"

namespace vt2 {

bool ShouldLaunchGame(const GameDescriptor& descriptor) {
    const auto value = ParseNumber(descriptor.LaunchGame);
    return value && *value > 0;
}

std::string ResolveFolder(const std::string& programFolder, const std::string& folder) {
    return StartsWith(folder, "\\") ? programFolder + folder : folder;
}

WindowShowState ShowStateForCode(int showCode) {
    switch (showCode) {
        case 0: return WindowShowState::Hidden;
        case 1: return WindowShowState::MaximisedActive;
        case 2: return WindowShowState::MinimisedActive;
        case 3: return WindowShowState::MinimisedInactive;
        case 4: return WindowShowState::NormalActive;
        case 5: return WindowShowState::NormalInactive;
        default: return WindowShowState::NormalActive;
    }
}

void LaunchGameIfAsked(Engine& engine) {
    const GameDescriptor& d = engine.state.descriptor;
    if (!ShouldLaunchGame(d)) return;
    // The existence test looks where the program will really be started from.
    const std::string folder = ResolveFolder(engine.state.programFolder, d.ExePath);
    if (!engine.os.files.fileExists(folder + d.ExeName)) EndProgramAtOnce(engine, ExitCode::MissingGameProgram);
    engine.os.files.changeDirectory(folder);
    StartProgram(engine, d.ExePath, d.ExeName, 0);
    engine.os.mainWindow.setLabelText(MainWindowLabel::Status, "Status:  Launching" + d.ExeName);
}

void StartProgram(Engine& engine, const std::string& folder, const std::string& program, int showCode) {
    const std::string resolved = ResolveFolder(engine.state.programFolder, folder);
    engine.os.files.changeDirectory(resolved);
    engine.os.launcher.startProgram(resolved, program, "", ShowStateForCode(showCode));
    engine.os.clock.sleepMs(200);
}

int OpenDocument(Engine& engine, const std::string& file) { return engine.os.launcher.openDocument(file); }

}  // namespace vt2
