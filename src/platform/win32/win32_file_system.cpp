#include "platform/win32/win32_file_system.h"

#include <windows.h>

#include "platform/win32/unique_handle.h"

namespace vt2::win32 {

bool Win32FileSystem::fileExists(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return false;
    // A device name (CON, NUL, COM1...) passes the test above wherever it is asked for: only a
    // file on a disk is a file.
    const unique_file_handle file(CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return file && GetFileType(file.get()) == FILE_TYPE_DISK;
}

bool Win32FileSystem::changeDirectory(const std::string& folder) {
    // A path with a drive letter changes the current drive as well.
    return SetCurrentDirectoryA(folder.c_str()) != FALSE;
}

}  // namespace vt2::win32
