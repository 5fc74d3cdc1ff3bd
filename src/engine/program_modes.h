#pragma once
// What VT2 is asked to do by its command line: the configuration tool without one, a run for a
// game, or one of the modes that print to the console and end.

#include <string>
#include <string_view>

namespace vt2 {

enum class ProgramMode { Configuration, Run, Help, Version, ListDevices, Check, FindAim, UnknownOption };

struct ProgramModeChoice {
    ProgramMode mode = ProgramMode::Configuration;
    std::string game;    // Run, Check and FindAim: the game's name, quotes taken off
    std::string option;  // UnknownOption: the option as given
};

// An argument that starts with "--" (or is "-h", "/?") is an option; any other text is a game's
// name, as before there were options.
ProgramModeChoice ChooseProgramMode(std::string_view arguments);

// What --help prints: the modes and every option, one line each.
std::string ProgramHelpText();

}  // namespace vt2
