#pragma once

#include <filesystem>
#include <string>

namespace vt2 {

// The program builds its paths with backslashes, as on Windows; elsewhere they become slashes.
inline std::filesystem::path NativePath(const std::string& path) {
#ifdef _WIN32
    return std::filesystem::path(path);
#else
    std::string converted = path;
    for (char& c : converted) {
        if (c == '\\') c = '/';
    }
    return std::filesystem::path(converted);
#endif
}

}  // namespace vt2
