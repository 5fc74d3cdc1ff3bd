#include "adapters/win32/win32_file_system.h"

#include <windows.h>

#include <algorithm>

#include "common/text.h"
#include "adapters/win32/system_error_text.h"
#include "adapters/win32/unique_handle.h"

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

namespace {
// A name of the file system in the ANSI code page, when it has one there: a name with characters
// outside it (CJK on a Western system) could be listed but never opened by the program's ANSI
// calls, so it is left out.
std::optional<std::string> AnsiName(const wchar_t* name) {
    BOOL lost = FALSE;
    const int size = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, name, -1, nullptr, 0, nullptr, &lost);
    if (size <= 0 || lost) return std::nullopt;
    std::string text(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, name, -1, text.data(), size, nullptr, &lost);
    text.resize(static_cast<std::size_t>(size - 1));
    if (lost) return std::nullopt;
    return text;
}

std::wstring WideName(const std::string& name) {
    const int size = MultiByteToWideChar(CP_ACP, 0, name.c_str(), -1, nullptr, 0);
    if (size <= 0) return {};
    std::wstring text(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(CP_ACP, 0, name.c_str(), -1, text.data(), size);
    text.resize(static_cast<std::size_t>(size - 1));
    return text;
}
}  // namespace

std::vector<std::string> Win32FileSystem::listFiles(const std::string& folder, const std::string& extension) {
    std::vector<std::string> names;
    WIN32_FIND_DATAW found{};
    const std::string pattern = folder + (folder.empty() || folder.back() == '\\' ? "" : "\\") + "*" + extension;
    HANDLE search = FindFirstFileW(WideName(pattern).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        const auto name = AnsiName(found.cFileName);
        if (!name) continue;
        // "*.ini" also matches "x.ini2" on some systems (short names): the extension must end the name.
        const bool endsRight = name->size() > extension.size() &&
                               EqualsIgnoreCase(std::string_view(*name).substr(name->size() - extension.size()), extension);
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 && endsRight) names.push_back(*name);
    } while (FindNextFileW(search, &found));
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

std::optional<std::string> Win32FileSystem::readFilePart(const std::string& path, std::uint64_t offset, std::size_t length) {
    const unique_file_handle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER at;
    at.QuadPart = static_cast<LONGLONG>(offset);
    if (!file || GetFileType(file.get()) != FILE_TYPE_DISK || !SetFilePointerEx(file.get(), at, nullptr, FILE_BEGIN)) {
        errorText_ = SystemErrorText(GetLastError());
        return std::nullopt;
    }
    std::string content(length, '\0');
    std::size_t filled = 0;
    DWORD got = 0;
    while (filled < length &&
           ReadFile(file.get(), content.data() + filled, static_cast<DWORD>(std::min<std::size_t>(length - filled, 1u << 20)), &got,
                    nullptr) != FALSE &&
           got > 0) {
        filled += got;
    }
    content.resize(filled);
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
