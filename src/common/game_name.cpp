#include "common/game_name.h"

#include <array>

#include "common/text.h"

namespace vt2 {

namespace {

bool IsForbiddenCharacter(char c) {
    const auto u = static_cast<unsigned char>(c);
    if (u < 32) return true;
    switch (c) {
        case '\\': case '/': case ':': case '*': case '?': case '"': case '<': case '>': case '|':
            return true;
        default:
            return false;
    }
}

// Windows opens a device for these names whatever follows a dot ("CON.ini") and whatever folder
// they are asked for in.
bool IsDeviceName(std::string_view name) {
    std::string_view stem = name.substr(0, name.find('.'));
    while (!stem.empty() && stem.back() == ' ') stem.remove_suffix(1);
    const std::string lower = ToLowerAscii(stem);
    static constexpr std::array<std::string_view, 7> kDevices{"con", "prn", "aux", "nul", "conin$", "conout$", "clock$"};
    for (std::string_view device : kDevices) {
        if (lower == device) return true;
    }
    const bool numbered = lower.size() == 4 && (StartsWith(lower, "com") || StartsWith(lower, "lpt"));
    return numbered && lower[3] >= '1' && lower[3] <= '9';
}

}  // namespace

std::string GameNameFromArguments(std::string_view arguments) {
    if (arguments.size() >= 2 && arguments.front() == '"' && arguments.back() == '"') {
        arguments = arguments.substr(1, arguments.size() - 2);
    }
    return std::string(arguments);
}

bool IsUsableGameName(std::string_view name) {
    if (name.empty() || name.size() > kMaxGameNameLength || name.find("..") != std::string_view::npos) return false;
    for (char c : name) {
        if (IsForbiddenCharacter(c)) return false;
    }
    return !IsDeviceName(name);
}

}  // namespace vt2
