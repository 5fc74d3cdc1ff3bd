#include "adapters/win32/win32_ini_files.h"

#include <windows.h>

#include <vector>

#include "adapters/win32/system_error_text.h"

namespace vt2::win32 {

namespace {
constexpr std::size_t kMaxSectionBytes = 16 * 1024 * 1024;  // far beyond any real section
}  // namespace

std::string Win32IniFiles::readString(const std::string& file, const std::string& section,
                                      const std::string& key, std::size_t bufferChars) {
    if (bufferChars == 0) return {};
    std::vector<char> buffer(bufferChars, '\0');
    const DWORD length = GetPrivateProfileStringA(section.c_str(), key.c_str(), "", buffer.data(),
                                                  static_cast<DWORD>(bufferChars), file.c_str());
    return std::string(buffer.data(), length);
}

std::vector<std::string> Win32IniFiles::readSection(const std::string& file, const std::string& section) {
    // The call cuts what does not fit, giving size - 2: read again with room to spare until it fits.
    std::vector<char> buffer(32 * 1024);
    DWORD length = 0;
    for (;;) {
        length = GetPrivateProfileSectionA(section.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()), file.c_str());
        if (length + 2 < buffer.size() || buffer.size() >= kMaxSectionBytes) break;
        buffer.resize(buffer.size() * 2);
    }
    std::vector<std::string> entries;
    std::size_t start = 0;
    for (std::size_t i = 0; i < length; ++i) {
        if (buffer[i] != '\0') continue;
        if (i > start) entries.emplace_back(buffer.data() + start, i - start);
        start = i + 1;
    }
    return entries;
}

bool Win32IniFiles::writeString(const std::string& file, const std::string& section, const std::string& key,
                                const std::string& value) {
    // A read-only file is refused as Windows refuses it, also where the system would write it all
    // the same (an administrator's process, or Wine run as root).
    const DWORD attributes = GetFileAttributesA(file.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
        errorText_ = SystemErrorText(ERROR_ACCESS_DENIED);
        return false;
    }
    if (WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), file.c_str()) != FALSE) return true;
    errorText_ = SystemErrorText(GetLastError());
    return false;
}

}  // namespace vt2::win32
