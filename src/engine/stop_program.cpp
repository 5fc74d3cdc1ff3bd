#include "engine/stop_program.h"

#include "engine/engine.h"
#include "engine/input_devices.h"
#include "engine/tray_icon.h"

namespace vt2 {

void StopProgram(Engine& engine, ExitCode exitCode) {
    killIcon(engine.os.mainWindow);
    engine.os.mainWindow.setMinimised();
    engine.os.clock.sleepMs(100);
    StopInputDevices(engine);
    EndProcess(engine.os.process, static_cast<int>(exitCode));
}

void EndProgramAtOnce(Engine& engine, ExitCode exitCode) {
    engine.os.mainWindow.removeTrayIcon();
    EndProcess(engine.os.process, static_cast<int>(exitCode));
}

}  // namespace vt2
