#pragma once

#include "engine/exit_codes.h"

namespace vt2 {

struct Engine;

// The orderly stop: "mamestop|" to the output server when a hooked run has outputs active, tray
// icon removed, main window minimised, 100 ms pause, devices released, then the process ends
// with exitCode. Every step runs whatever the one before it did.
[[noreturn]] void StopProgram(Engine& engine, ExitCode exitCode = ExitCode::Stopped);

// The early end of a run that never got going (no descriptor, no game program): the process
// ends at once, only the tray icon is removed first so that no dead icon stays behind.
[[noreturn]] void EndProgramAtOnce(Engine& engine, ExitCode exitCode);

}  // namespace vt2
