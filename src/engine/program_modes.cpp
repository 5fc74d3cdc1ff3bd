#include "engine/program_modes.h"

#include "common/game_name.h"
#include "common/text.h"

namespace vt2 {

ProgramModeChoice ChooseProgramMode(std::string_view arguments) {
    const std::string text = TrimBlanks(arguments);
    if (text.empty()) return {};
    if (text == "--help" || text == "-h" || text == "/?") return {ProgramMode::Help, {}, {}};
    if (text.rfind("--", 0) != 0) return {ProgramMode::Run, GameNameFromArguments(text), {}};
    const std::size_t blank = text.find_first_of(" \t");
    const std::string option = text.substr(0, blank);
    const std::string rest = blank == std::string::npos ? std::string() : TrimBlanks(text.substr(blank));
    if (option == "--version" && rest.empty()) return {ProgramMode::Version, {}, {}};
    if (option == "--list-devices" && rest.empty()) return {ProgramMode::ListDevices, {}, {}};
    if (option == "--check" && !rest.empty()) return {ProgramMode::Check, GameNameFromArguments(rest), {}};
    if (option == "--find-aim" && !rest.empty()) return {ProgramMode::FindAim, GameNameFromArguments(rest), {}};
    return {ProgramMode::UnknownOption, {}, text};
}

std::string ProgramHelpText() {
    return "VT2: two mice, light guns, trackballs or joysticks in PC arcade games and emulators.\r\n"
           "\r\n"
           "VT2.exe                  the configuration tool\r\n"
           "VT2.exe <game>           plays the game of memcfg\\<game>.ini and joycfg\\<game>.ini\r\n"
           "                         (or joycfg\\default.ini); quotes may go round a name with blanks\r\n"
           "VT2.exe --check <game>   lists what is wrong in the game's descriptor and settings, with\r\n"
           "                         section, key and line; exit code 0 when nothing is, 1 when\r\n"
           "                         something is\r\n"
           "VT2.exe --find-aim <game>\r\n"
           "                         for a game that follows the mouse and runs: moves the cursor over\r\n"
           "                         its window and clicks, finds where it keeps player 1's aim and\r\n"
           "                         buttons, and writes them into memcfg\\<game>.ini (kept as .bak)\r\n"
           "VT2.exe --list-devices   lists the mice, light guns and joysticks, with their paths\r\n"
           "VT2.exe --version        prints the version\r\n"
           "VT2.exe --help           prints this\r\n"
           "\r\n"
           "Exit codes of a game's run are in the README.\r\n";
}

}  // namespace vt2
