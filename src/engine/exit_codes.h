#pragma once

namespace vt2 {

// Exit codes of the program, one for each way a game-mode run can end early.
enum class ExitCode : int {
    Stopped = 0,             // orderly stop: the game ended, or the user chose Exit
    MissingDescriptor = 2,   // no memcfg\<game>.ini
    MissingSettings = 3,     // neither joycfg\<game>.ini nor joycfg\default.ini
    MissingGameProgram = 4,  // LaunchGame set but ExePath + ExeName does not exist
    NoGameWindow = 5,        // the descriptor names neither WinClass nor WinCaption: no window could match
    BadGameName = 6,         // the game name is not a plain file name
    AlreadyHooked = 7,       // another VT2 already runs for this game
    GameNotOpened = 8,       // the game's process cannot be opened to read and write its memory
    GameOutOfReach = 9,      // a 64-bit game and a 32-bit VT2, which cannot reach all of its memory
    BadCommandLine = 10,     // an option VT2 does not know, or one without what it needs
    GameNotRunning = 11,     // --find-aim: the descriptor's game window is not there
    ProgramModuleNotFound = 12,  // --find-aim: the game's program module is not in its module list
};

}  // namespace vt2
