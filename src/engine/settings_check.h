#pragma once
// What is wrong with a players' settings file (joycfg\<game>.ini), line by line: sections and
// keys a run does not read, and values it cannot take.

#include <string_view>
#include <vector>

#include "engine/ini_problems.h"

namespace vt2 {

std::vector<IniProblem> CheckSettingsText(std::string_view text);

}  // namespace vt2
