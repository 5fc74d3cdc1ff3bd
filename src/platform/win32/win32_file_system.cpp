#include "platform/win32/win32_file_system.h"

#include <windows.h>

namespace vt2::win32 {

bool Win32FileSystem::fileExists(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool Win32FileSystem::changeDirectory(const std::string& folder) {
    // A path with a drive letter changes the current drive as well.
    return SetCurrentDirectoryA(folder.c_str()) != FALSE;
}

}  // namespace vt2::win32
