#pragma once
// Starting the game's program, and opening documents.

#include <string>

#include "platform/program_launcher.h"

namespace vt2 {

struct Engine;
struct GameDescriptor;

// The numeric value of LaunchGame is greater than 0; a text that is no number counts as 0.
bool ShouldLaunchGame(const GameDescriptor& descriptor);

// A folder that begins with "\" lies inside the program's own folder.
std::string ResolveFolder(const std::string& programFolder, const std::string& folder);

WindowShowState ShowStateForCode(int showCode);

// Starts the game when LaunchGame asks for it; ends the program when its program file is missing.
void LaunchGameIfAsked(Engine& engine);

// Changes to folder and starts program there with the window state of showCode, then waits 200 ms.
// Failures are ignored.
void StartProgram(Engine& engine, const std::string& folder, const std::string& program, int showCode);

// Opens a file with the shell's "open" verb; the shell's result.
int OpenDocument(Engine& engine, const std::string& file);

}  // namespace vt2
