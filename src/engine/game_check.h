#pragma once
// VT2.exe --check <game>: the game's descriptor and settings read as a run reads them, and every
// problem found in them said for the console.

#include <string>

namespace vt2 {

struct RunningGameServices;

struct GameCheck {
    int exitCode = 0;  // 0 nothing found, 1 problems found, else the run's code (no descriptor: 2...)
    std::string report;
};

// The descriptor's text, the players' settings, and when the game runs, its memory.
GameCheck CheckGameFiles(const RunningGameServices& os, const std::string& programFolder, const std::string& gameName);

}  // namespace vt2
