#pragma once
// What is wrong with a game's memory descriptor, line by line: what a run would silently skip
// (a misspelt key, a value that does not parse, a type it does not know) said with the section,
// the key and the line, for the descriptor's writer.

#include <string>
#include <string_view>
#include <vector>

#include "engine/ini_problems.h"

namespace vt2 {

// Every problem of the descriptor's text, in the order of its lines.
std::vector<IniProblem> CheckDescriptorText(std::string_view text);

}  // namespace vt2
