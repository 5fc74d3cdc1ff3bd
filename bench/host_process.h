#pragma once
// The host's (Linux's) view of a process under Wine, read from /proc through Wine's Z: drive:
// Wine does not answer GetProcessTimes or the memory counters for other processes.

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>

namespace vt2::bench {

// The newest host process of that name as the host shows it (cut to 15 characters); none outside
// Wine or when there is none.
inline std::optional<long> NewestHostProcess(const std::string& name) {
    WIN32_FIND_DATAA found{};
    HANDLE search = FindFirstFileA("Z:\\proc\\*", &found);
    if (search == INVALID_HANDLE_VALUE) return std::nullopt;
    long newest = -1;
    do {
        if (found.cFileName[0] < '0' || found.cFileName[0] > '9') continue;
        std::ifstream comm(std::string("Z:\\proc\\") + found.cFileName + "\\comm");
        std::string command;
        if (std::getline(comm, command) && command.rfind(name.substr(0, 15), 0) == 0) {
            newest = std::max(newest, std::atol(found.cFileName));
        }
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return newest < 0 ? std::nullopt : std::optional<long>(newest);
}

// A host process's file in /proc (stat, status...).
inline std::string HostProcessFile(long pid, const char* name) {
    return "Z:\\proc\\" + std::to_string(pid) + "\\" + name;
}

}  // namespace vt2::bench
