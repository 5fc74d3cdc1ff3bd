#include "platform/win32/win32_file_system.h"

#include <windows.h>

#include <algorithm>

#include "common/text.h"
#include "platform/win32/system_error_text.h"
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

std::vector<std::string> Win32FileSystem::listFiles(const std::string& folder, const std::string& extension) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found{};
    const std::string pattern = folder + (folder.empty() || folder.back() == '\\' ? "" : "\\") + "*" + extension;
    HANDLE search = FindFirstFileA(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        const std::string name = found.cFileName;
        // "*.ini" also matches "x.ini2" on some systems (short names): the extension must end the name.
        const bool endsRight = name.size() > extension.size() &&
                               EqualsIgnoreCase(std::string_view(name).substr(name.size() - extension.size()), extension);
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 && endsRight) names.push_back(name);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) { return ToLowerAscii(a) < ToLowerAscii(b); });
    return names;
}

bool Win32FileSystem::deleteFile(const std::string& path) {
    if (DeleteFileA(path.c_str()) != FALSE) return true;
    errorText_ = SystemErrorText(GetLastError());
    return false;
}

}  // namespace vt2::win32
