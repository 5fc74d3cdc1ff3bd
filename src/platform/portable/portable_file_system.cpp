#include "platform/portable/portable_file_system.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "common/text.h"
#include "platform/portable/native_path.h"

namespace vt2 {

bool PortableFileSystem::fileExists(const std::string& path) {
    std::error_code error;
    return std::filesystem::is_regular_file(NativePath(path), error);
}

bool PortableFileSystem::changeDirectory(const std::string& folder) {
    std::error_code error;
    std::filesystem::current_path(NativePath(folder), error);
    return !error;
}

std::vector<std::string> PortableFileSystem::listFiles(const std::string& folder, const std::string& extension) {
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(NativePath(folder), error)) {
        const std::string name = entry.path().filename().string();
        const bool endsRight = name.size() > extension.size() &&
                               EqualsIgnoreCase(std::string_view(name).substr(name.size() - extension.size()), extension);
        if (endsRight && entry.is_regular_file(error)) names.push_back(name);
    }
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) { return ToLowerAscii(a) < ToLowerAscii(b); });
    return names;
}

bool PortableFileSystem::deleteFile(const std::string& path) {
    std::error_code error;
    const auto target = NativePath(path);
    // Read-only files are refused, as Windows refuses them.
    const auto status = std::filesystem::status(target, error);
    if (!error && (status.permissions() & std::filesystem::perms::owner_write) == std::filesystem::perms::none) {
        errorText_ = "Access is denied.";
        return false;
    }
    if (std::filesystem::remove(target, error) && !error) return true;
    errorText_ = error ? error.message() : "The system cannot find the file specified.";
    return false;
}

}  // namespace vt2
