#include "engine/run_files.h"

#include "engine/engine.h"
#include "engine/stop_program.h"

namespace vt2 {

void LoadRunDescriptor(Engine& engine) {
    HookState& s = engine.state;
    auto descriptor = LoadGameDescriptor(engine.os.files, engine.os.ini, s.programFolder, s.gameName);
    if (!descriptor) EndProgramAtOnce(engine, ExitCode::MissingDescriptor);
    // Without a class and a caption no window can be the game's: the run would wait for ever.
    if (descriptor->WinClass.empty() && descriptor->WinCaption.empty()) EndProgramAtOnce(engine, ExitCode::NoGameWindow);
    s.descriptor = std::move(*descriptor);
    engine.os.mainWindow.setLabelText(MainWindowLabel::Status, "Status:  Waiting for " + s.descriptor.Name);
}

void LoadRunSettings(Engine& engine) {
    HookState& s = engine.state;
    auto settings = LoadPlayerSettings(engine.os.files, engine.os.ini, s.programFolder, s.gameName, s.descriptor.GameType);
    if (!settings) StopProgram(engine, ExitCode::MissingSettings);
    if (s.descriptor.GameType == "VON") ApplyTwinStickRules(*settings);
    NormaliseForTheRun(*settings);
    s.settings = std::move(*settings);
    s.OutputsActive = s.settings.Outputs;
}

}  // namespace vt2
