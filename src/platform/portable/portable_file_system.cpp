#include "platform/portable/portable_file_system.h"

#include <filesystem>
#include <system_error>

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

}  // namespace vt2
