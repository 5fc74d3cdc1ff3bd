#pragma once
// The problems of an INI file that every checker of the program's files finds alike: lines that
// are neither a section nor a key, keys before any section, sections and keys that appear again
// (only the first is read), and names that are a slip of the keyboard away from a known one.

#include <functional>
#include <string>
#include <vector>

#include "common/ini_lines.h"

namespace vt2 {

struct IniProblem {
    int line = 0;  // 0: the file as a whole
    std::string section;
    std::string key;
    std::string text;
    bool operator==(const IniProblem&) const = default;
};

// Walks the lines: says the problems above, and hands each first appearance of a section to
// onSection and each first entry of a key in it to onEntry.
void WalkIniLines(const std::vector<IniLine>& lines, const std::function<void(const IniLine&)>& onSection,
                  const std::function<void(const IniLine&)>& onEntry, std::vector<IniProblem>& problems);

// A section or key the program does not know, with the known name nearest to it when there is one.
IniProblem UnknownName(const IniLine& line, const std::vector<std::string>& known, const std::string& what);

// The known name nearest to name (case aside) when one is a slip of the keyboard away from it
// (a letter or two missing, extra, changed or swapped); else empty.
std::string NearestName(const std::string& name, const std::vector<std::string>& known);

// The report's line: "file, line N: [Section] Key problem".
std::string IniProblemLine(const std::string& file, const IniProblem& problem);

}  // namespace vt2
