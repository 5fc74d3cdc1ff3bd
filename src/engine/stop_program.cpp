#include "engine/stop_program.h"

#include <cstdlib>

#include "engine/engine.h"
#include "engine/gun_feedback_step.h"
#include "engine/hook_run.h"
#include "engine/input_devices.h"
#include "engine/outputs_step.h"
#include "engine/tray_icon.h"

namespace vt2 {

namespace {
// The cursor kept in the game's picture is let go on every way out.
void FreeCursor(Engine& engine) {
    if (!engine.state.cursorConfinement) return;
    engine.os.input.confineCursor(std::nullopt);
    engine.state.cursorConfinement.reset();
}

// Ends the process through the seam; should an implementation ever return, the process aborts.
[[noreturn]] void EndProcess(ProcessExit& exit, int exitCode) {
    exit.endProcess(exitCode);
    std::abort();
}
}  // namespace

void StopProgram(Engine& engine, ExitCode exitCode) {
    // Whatever ends a hooked run (the game, the tray menu), the output server hears of it, so that
    // no lamp or recoil stays on.
    if (engine.state.hooked) SendStopMessageIfActive(engine);
    StopGunFeedback(engine);
    killIcon(engine.os.mainWindow);
    engine.os.mainWindow.setMinimised();
    engine.os.clock.sleepMs(100);
    StopInputDevices(engine);
    FreeCursor(engine);
    StopPacing(engine);
    EndProcess(engine.os.process, static_cast<int>(exitCode));
}

void EndProgramAtOnce(Engine& engine, ExitCode exitCode) {
    StopGunFeedback(engine);
    engine.os.mainWindow.removeTrayIcon();
    FreeCursor(engine);
    StopPacing(engine);
    EndProcess(engine.os.process, static_cast<int>(exitCode));
}

}  // namespace vt2
