#include "common/ini_text.h"

#include "common/text.h"

namespace vt2 {

std::vector<IniTextLine> ReadIniText(std::string_view text) {
    std::vector<IniTextLine> lines;
    std::string section;
    int number = 0;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        std::string_view raw = text.substr(start, end - start);
        start = end + 1;
        ++number;
        if (!raw.empty() && raw.back() == '\r') raw.remove_suffix(1);
        IniTextLine line;
        line.number = number;
        line.text = TrimBlanks(raw);
        if (line.text.empty() || line.text.front() == ';') continue;
        if (line.text.front() == '[') {
            const std::size_t close = line.text.find(']');
            line.kind = IniTextLine::Kind::Section;
            section = TrimBlanks(line.text.substr(1, close == std::string::npos ? std::string::npos : close - 1));
            line.section = section;
        } else if (const std::size_t equals = line.text.find('='); equals != std::string::npos) {
            line.kind = IniTextLine::Kind::Entry;
            line.section = section;
            line.key = TrimBlanks(std::string_view(line.text).substr(0, equals));
            line.value = TrimBlanks(std::string_view(line.text).substr(equals + 1));
            if (line.value.size() >= 2 && line.value.front() == '"' && line.value.back() == '"') {
                line.value = line.value.substr(1, line.value.size() - 2);
            }
        } else {
            line.section = section;
        }
        lines.push_back(std::move(line));
        if (end == text.size()) break;
    }
    return lines;
}

IniEntries::IniEntries(std::string_view text) : lines_(ReadIniText(text)) {
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        if (lines_[i].kind == IniTextLine::Kind::Entry) first_.emplace(ToLowerAscii(lines_[i].section + "/" + lines_[i].key), i);
    }
}

const IniTextLine* IniEntries::find(const std::string& section, const std::string& key) const {
    const auto it = first_.find(ToLowerAscii(section + "/" + key));
    return it == first_.end() ? nullptr : &lines_[it->second];
}

std::string IniEntries::value(const std::string& section, const std::string& key) const {
    const IniTextLine* line = find(section, key);
    return line ? line->value : std::string();
}

}  // namespace vt2
