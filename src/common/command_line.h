#pragma once

#include <string>
#include <string_view>

namespace vt2 {

// The arguments of a whole Windows command line as one text: everything after the program's own
// name (quoted or not) and the blanks that follow it. Blanks inside the arguments are kept.
std::string CommandLineArguments(std::string_view commandLine);

}  // namespace vt2
