#pragma once
// What is wrong with a file players write, line by line, said with the section, the key and the
// line: what a run would silently skip (a misspelt key, a value that does not parse, a type it does
// not know). The file's schema says what is known; the file is read as the run reads it.

#include <string_view>
#include <vector>

#include "common/file_schema.h"
#include "engine/ini_problems.h"

namespace vt2 {

// Every problem of the file's text against its schema, in the order of its lines.
std::vector<IniProblem> CheckFileText(std::string_view text, const FileSchema& schema);

// A game's memory descriptor (memcfg\<game>.ini).
inline std::vector<IniProblem> CheckDescriptorText(std::string_view text) { return CheckFileText(text, DescriptorSchema()); }
// A players' settings file (joycfg\<game>.ini).
inline std::vector<IniProblem> CheckSettingsText(std::string_view text) { return CheckFileText(text, SettingsSchema()); }

}  // namespace vt2
