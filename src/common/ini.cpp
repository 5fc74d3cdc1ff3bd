#include "common/ini.h"

#include "common/text.h"

namespace vt2 {

std::string ReadIniValue(IniFiles& ini, const std::string& file, const std::string& section,
                         const std::string& key, bool numeric) {
    std::string value = ini.readString(file, section, key, kIniReadBufferChars);
    if (value.empty()) return numeric ? "0" : "";
    return value;
}

IniSection IniSection::Read(IniFiles& ini, const std::string& file, const std::string& section) {
    IniSection read;
    // The entries come as the profile functions hold them: names and values already trimmed and
    // cut, so they are taken as they are (a value "byte " cut at a NUL keeps its blank).
    for (const std::string& entry : ini.readSection(file, section)) {
        const std::size_t eq = entry.find('=');
        std::string text = eq == std::string::npos ? std::string() : entry.substr(eq + 1);
        if (text.size() >= 2 && (text.front() == '"' || text.front() == '\'') && text.back() == text.front()) {
            text = text.substr(1, text.size() - 2);
        }
        if (text.size() > kIniReadBufferChars - 1) text.resize(kIniReadBufferChars - 1);
        // The first entry of a key counts, as it does for a key read alone.
        read.values_.emplace(ToLowerAscii(std::string_view(entry).substr(0, eq)), std::move(text));
    }
    return read;
}

std::string IniSection::value(std::string_view key, bool numeric) const {
    const auto it = values_.find(ToLowerAscii(TrimBlanks(key)));
    if (it == values_.end() || it->second.empty()) return numeric ? "0" : "";
    return it->second;
}

bool WriteIniValue(IniFiles& ini, const std::string& file, const std::string& section, const std::string& key,
                   const std::string& value) {
    return ini.writeString(file, section, key, value);
}

}  // namespace vt2
