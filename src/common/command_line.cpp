#include "common/command_line.h"

namespace vt2 {

std::string CommandLineArguments(std::string_view commandLine) {
    std::size_t i = 0;
    const std::size_t n = commandLine.size();
    while (i < n && (commandLine[i] == ' ' || commandLine[i] == '\t')) ++i;
    if (i < n && commandLine[i] == '"') {
        ++i;
        while (i < n && commandLine[i] != '"') ++i;
        if (i < n) ++i;  // the closing quote
    }
    while (i < n && commandLine[i] != ' ' && commandLine[i] != '\t') ++i;
    while (i < n && (commandLine[i] == ' ' || commandLine[i] == '\t')) ++i;
    return std::string(commandLine.substr(i));
}

}  // namespace vt2
