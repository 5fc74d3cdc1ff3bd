#pragma once
// The two operations through which every INI file of the program is read and written.

#include <cstddef>
#include <string>

#include "platform/ini_files.h"

namespace vt2 {

inline constexpr std::size_t kIniReadBufferChars = 255;

// The value of section/key. When nothing is found the result is "0" for a numeric read and the
// empty text otherwise.
std::string ReadIniValue(IniFiles& ini, const std::string& file, const std::string& section,
                         const std::string& key, bool numeric);

// Sets one key, creating the file, section or key as needed and leaving the rest as it was.
void WriteIniValue(IniFiles& ini, const std::string& file, const std::string& section, const std::string& key,
                   const std::string& value);

}  // namespace vt2
