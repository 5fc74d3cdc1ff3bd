#pragma once
// VT2.exe --find-aim <game>: for a game that follows the system mouse, the cursor is put over the
// game's window at known places and the buttons pressed and let go, the game's writable memory
// copied at each, and what follows them written into memcfg\<game>.ini (the file as it was kept
// as <game>.ini.bak). It only reads the game's memory, never writes it.

#include <cstddef>
#include <functional>
#include <optional>
#include <string>

namespace vt2 {

class FileSystem;
class IniFiles;
class ModuleList;
class ProcessMemory;
class Clock;
class SyntheticInput;
class WindowSystem;

struct AimFinderServices {
    WindowSystem& windows;
    ProcessMemory& memory;
    ModuleList& modules;
    SyntheticInput& input;
    Clock& clock;
    FileSystem& files;
    IniFiles& ini;
};

// How far the scan is (0..100) and what it does now; false asks it to stop there (nothing is
// written then).
using AimFinderProgress = std::function<bool(int percent, const std::string& step)>;

struct AimFinderOutcome {
    int exitCode = 0;  // 0 both axes found and written, 1 not both or stopped, else as a run (2 no descriptor...)
    std::string report;
};

// How long the game is given to follow each move or click before its memory is copied.
inline constexpr unsigned kAimFinderSettleMs = 150;
// The most of the game's writable memory copied at each step (at most ten copies' room is held at
// once: about 500 MB).
inline constexpr std::size_t kAimFinderBudget = std::size_t{48} << 20;

// The most bits kept as following a button, before the other button and the aim's place sort
// them: room for all of them in a game (its picture in its memory follows a button too, where a
// lamp or a text is drawn while it is pressed: thousands of bits, perhaps before the button's own).
inline constexpr std::size_t kAimFinderButtonBits = std::size_t{1} << 20;

// Each scan keeps the file as it was before it: the first as "<file>.bak", later ones as ".bak2",
// ".bak3"..., so that the player's own file is never written over. Nothing when all are taken.
inline constexpr int kMaxBackups = 99;
std::optional<std::string> FreeBackupName(FileSystem& files, const std::string& file);

// The descriptor's text with the runner-up comments of an earlier scan taken out (they describe
// another start, perhaps another build) and these put at its end.
std::string WithRunnersUp(const std::string& descriptorText, const std::string& comments);

AimFinderOutcome FindAimAddresses(const AimFinderServices& os, const std::string& programFolder, const std::string& gameName,
                                  const AimFinderProgress& progress);

}  // namespace vt2
