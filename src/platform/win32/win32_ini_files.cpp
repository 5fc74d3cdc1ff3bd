#include "platform/win32/win32_ini_files.h"

#include <windows.h>

#include <vector>

namespace vt2::win32 {

std::string Win32IniFiles::readString(const std::string& file, const std::string& section,
                                      const std::string& key, std::size_t bufferChars) {
    if (bufferChars == 0) return {};
    std::vector<char> buffer(bufferChars, '\0');
    const DWORD length = GetPrivateProfileStringA(section.c_str(), key.c_str(), "", buffer.data(),
                                                  static_cast<DWORD>(bufferChars), file.c_str());
    return std::string(buffer.data(), length);
}

bool Win32IniFiles::writeString(const std::string& file, const std::string& section, const std::string& key,
                                const std::string& value) {
    return WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), file.c_str()) != FALSE;
}

}  // namespace vt2::win32
