#include "common/ini.h"

namespace vt2 {

std::string ReadIniValue(IniFiles& ini, const std::string& file, const std::string& section,
                         const std::string& key, bool numeric) {
    std::string value = ini.readString(file, section, key, kIniReadBufferChars);
    if (value.empty()) return numeric ? "0" : "";
    return value;
}

void WriteIniValue(IniFiles& ini, const std::string& file, const std::string& section, const std::string& key,
                   const std::string& value) {
    ini.writeString(file, section, key, value);
}

}  // namespace vt2
