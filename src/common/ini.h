#pragma once
// The two operations through which every INI file of the program is read and written.

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>

#include "platform/ini_files.h"

namespace vt2 {

inline constexpr std::size_t kIniReadBufferChars = 255;

// The value of section/key. When nothing is found the result is "0" for a numeric read and the
// empty text otherwise.
std::string ReadIniValue(IniFiles& ini, const std::string& file, const std::string& section,
                         const std::string& key, bool numeric);

// A whole section read at once, answering for each key what ReadIniValue would: for the loaders
// that read many keys of one section (rows of outputs, patch entries).
class IniSection {
public:
    static IniSection Read(IniFiles& ini, const std::string& file, const std::string& section);
    std::string value(std::string_view key, bool numeric) const;

private:
    std::unordered_map<std::string, std::string> values_;  // by key in lower case; the first entry of a key counts
};

// Sets one key, creating the file, section or key as needed and leaving the rest as it was.
// False when the file could not be written.
bool WriteIniValue(IniFiles& ini, const std::string& file, const std::string& section, const std::string& key,
                   const std::string& value);

}  // namespace vt2
