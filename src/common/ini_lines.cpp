#include "common/ini_lines.h"

#include "common/ini.h"
#include "common/ini_document.h"
#include "common/text.h"

namespace vt2 {

namespace {

// A line's names as they stand (a name cut at a NUL keeps the blanks before it), a lookup's without
// the blanks around them: the run compares them so.
std::string LookupKey(std::string_view section, std::string_view key) {
    return ToLowerAscii(section) + '\0' + ToLowerAscii(key);
}

}  // namespace

std::vector<IniLine> ReadIniLines(std::string_view bytes) {
    const IniDocument document = ParseIniDocument(bytes);
    std::vector<IniLine> lines;
    std::string section;
    for (std::size_t i = 0; i < document.lines.size(); ++i) {
        const std::string_view raw = document.lines[i];
        IniLine line;
        line.number = static_cast<int>(i + 1);
        line.text = std::string(TrimIniBlanks(raw));
        if (line.text.empty() || line.text.front() == ';') continue;
        if (const auto header = IniHeaderName(raw)) {
            line.kind = IniLine::Kind::Section;
            section = std::string(*header);
            line.section = section;
        } else {
            const IniKeyLine entry = ParseIniKeyLine(raw);
            line.section = section;
            line.key = std::string(entry.key);
            if (entry.value) {
                line.kind = IniLine::Kind::Entry;
                const std::string_view value = IniValueAsRead(*entry.value);
                line.valueLength = value.size();
                line.value = std::string(value.substr(0, kIniReadBufferChars - 1));
            }
        }
        lines.push_back(std::move(line));
    }
    return lines;
}

IniEntries::IniEntries(std::string_view bytes) : lines_(ReadIniLines(bytes)) {
    // Only the first section of a name is read; a header named "" opens no section a lookup finds
    // (the nameless section is what stands before the first header).
    std::map<std::string, bool> sectionsSeen;
    bool reading = true;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        const IniLine& line = lines_[i];
        if (line.kind == IniLine::Kind::Section) {
            reading = !line.section.empty() && sectionsSeen.emplace(ToLowerAscii(line.section), true).second;
            continue;
        }
        if (reading) first_.emplace(LookupKey(line.section, line.key), i);
    }
}

const IniLine* IniEntries::find(std::string_view section, std::string_view key) const {
    const auto it = first_.find(LookupKey(TrimIniBlanks(section), TrimIniBlanks(key)));
    if (it == first_.end() || lines_[it->second].kind != IniLine::Kind::Entry) return nullptr;
    return &lines_[it->second];
}

std::string IniEntries::value(std::string_view section, std::string_view key) const {
    const IniLine* line = find(section, key);
    return line ? line->value : std::string();
}

}  // namespace vt2
