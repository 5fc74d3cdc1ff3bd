#pragma once
// What the Model 2 setup helper writes into the emulator's folder, as texts.

#include <string>
#include <string_view>
#include <vector>

namespace vt2 {

// vt2.cfg, read by the launch stub: the program's folder (given without its trailing backslash)
// with a backslash, then the program to start; each line ended by CR LF.
std::string StubConfigText(const std::string& programFolder);

// scripts\<rom>.lua: names the ROM set and loads the VT2 module, which starts the hook run.
std::string RomScriptText(const std::string& rom);

// The ROM set names of m2roms.lst ("romset|title" per line, or the ROM set alone), in file order.
// Blank lines are skipped, and so are names that could not name a file of the scripts folder
// alone (a path, a device, a quote), which no ROM set has.
std::vector<std::string> RomSetNames(std::string_view listText);

}  // namespace vt2
