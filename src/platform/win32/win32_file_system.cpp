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

bool Win32FileSystem::folderExists(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool Win32FileSystem::createFolder(const std::string& path) {
    if (CreateDirectoryA(path.c_str(), nullptr) != FALSE) return true;
    errorText_ = SystemErrorText(GetLastError());
    return false;
}

bool Win32FileSystem::copyFile(const std::string& from, const std::string& to) {
    if (CopyFileA(from.c_str(), to.c_str(), FALSE) != FALSE) return true;
    errorText_ = SystemErrorText(GetLastError());
    return false;
}

std::optional<std::string> Win32FileSystem::readFile(const std::string& path) {
    const unique_file_handle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file || GetFileType(file.get()) != FILE_TYPE_DISK) {
        errorText_ = SystemErrorText(GetLastError());
        return std::nullopt;
    }
    std::string content;
    char buffer[16384];
    DWORD got = 0;
    while (ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr) != FALSE && got > 0) content.append(buffer, got);
    return content;
}

bool Win32FileSystem::writeFileWhole(const std::string& path, const std::string& content) {
    const std::string temporary = path + ".vt2new";
    bool written = false;
    {
        const unique_file_handle file(
            CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) {
            errorText_ = SystemErrorText(GetLastError());
            return false;
        }
        DWORD put = 0;
        written = WriteFile(file.get(), content.data(), static_cast<DWORD>(content.size()), &put, nullptr) != FALSE &&
                  put == content.size() && FlushFileBuffers(file.get()) != FALSE;
        if (!written) errorText_ = SystemErrorText(GetLastError());
    }
    if (written && MoveFileExA(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE)
        return true;
    if (written) errorText_ = SystemErrorText(GetLastError());
    DeleteFileA(temporary.c_str());
    return false;
}

}  // namespace vt2::win32
