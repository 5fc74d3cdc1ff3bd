#pragma once

namespace vt2 {

// Exit codes of the program, one for each way a game-mode run can end early.
enum class ExitCode : int {
    Stopped = 0,             // orderly stop: the game ended, or the user chose Exit
    MissingDescriptor = 2,   // no memcfg\<game>.ini
    MissingSettings = 3,     // neither joycfg\<game>.ini nor joycfg\default.ini
    MissingGameProgram = 4,  // LaunchGame set but ExePath + ExeName does not exist
};

}  // namespace vt2
