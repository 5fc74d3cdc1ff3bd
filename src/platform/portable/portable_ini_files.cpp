#include "platform/portable/portable_ini_files.h"

#include <fstream>
#include <optional>
#include <sstream>
#include <vector>

#include "common/text.h"
#include "platform/portable/native_path.h"

namespace vt2 {

namespace {

struct IniLine {
    std::string text;  // without its line ending
};

std::vector<IniLine> ReadLines(const std::string& file, bool& exists) {
    std::ifstream in(NativePath(file), std::ios::binary);
    exists = static_cast<bool>(in);
    std::vector<IniLine> lines;
    if (!in) return lines;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back({line});
    }
    return lines;
}

// "[name]" gives name; anything else is not a section header.
std::optional<std::string> SectionName(const std::string& line) {
    const std::string t = TrimBlanks(line);
    if (t.empty() || t.front() != '[') return std::nullopt;
    const std::size_t close = t.find(']');
    return TrimBlanks(t.substr(1, close == std::string::npos ? std::string::npos : close - 1));
}

struct KeyValue {
    std::string key;
    std::string value;
};

KeyValue SplitKeyLine(const std::string& line) {
    const std::size_t eq = line.find('=');
    if (eq == std::string::npos) return {TrimBlanks(line), ""};
    return {TrimBlanks(line.substr(0, eq)), TrimBlanks(line.substr(eq + 1))};
}

std::string Unquote(const std::string& value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
        return value.substr(1, value.size() - 2);
    }
    return value;
}

// Index range [begin, end) of the lines of the first section of that name, header excluded.
struct SectionSpan {
    std::size_t header;
    std::size_t begin;
    std::size_t end;
};

std::optional<SectionSpan> FindSection(const std::vector<IniLine>& lines, const std::string& section) {
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const auto name = SectionName(lines[i].text);
        if (!name || !EqualsIgnoreCase(*name, section)) continue;
        std::size_t end = i + 1;
        while (end < lines.size() && !SectionName(lines[end].text)) ++end;
        return SectionSpan{i, i + 1, end};
    }
    return std::nullopt;
}

std::optional<std::size_t> FindKey(const std::vector<IniLine>& lines, const SectionSpan& span,
                                   const std::string& key) {
    for (std::size_t i = span.begin; i < span.end; ++i) {
        if (TrimBlanks(lines[i].text).empty()) continue;
        if (EqualsIgnoreCase(SplitKeyLine(lines[i].text).key, key)) return i;
    }
    return std::nullopt;
}

bool WriteLines(const std::string& file, const std::vector<IniLine>& lines) {
    std::ostringstream out;
    for (const auto& line : lines) out << line.text << "\r\n";
    std::ofstream f(NativePath(file), std::ios::binary | std::ios::trunc);
    if (!f) return false;
    f << out.str();
    return static_cast<bool>(f);
}

}  // namespace

std::string PortableIniFiles::readString(const std::string& file, const std::string& section,
                                         const std::string& key, std::size_t bufferChars) {
    bool exists = false;
    const auto lines = ReadLines(file, exists);
    const auto span = FindSection(lines, section);
    if (!span || bufferChars == 0) return {};
    const auto at = FindKey(lines, *span, key);
    if (!at) return {};
    std::string value = Unquote(SplitKeyLine(lines[*at].text).value);
    if (value.size() > bufferChars - 1) value.resize(bufferChars - 1);
    return value;
}

bool PortableIniFiles::writeString(const std::string& file, const std::string& section, const std::string& key,
                                   const std::string& value) {
    bool exists = false;
    auto lines = ReadLines(file, exists);
    const IniLine keyLine{key + "=" + value};
    const auto span = FindSection(lines, section);
    if (!span) {
        lines.push_back({"[" + section + "]"});
        lines.push_back(keyLine);
        return WriteLines(file, lines);
    }
    if (const auto at = FindKey(lines, *span, key)) {
        // Keep the key's own spelling; only the value changes.
        lines[*at] = {SplitKeyLine(lines[*at].text).key + "=" + value};
        return WriteLines(file, lines);
    }
    // A new key goes after the section's last non-blank line, so blank lines between sections stay.
    std::size_t insertAt = span->end;
    while (insertAt > span->begin && TrimBlanks(lines[insertAt - 1].text).empty()) --insertAt;
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(insertAt), keyLine);
    return WriteLines(file, lines);
}

}  // namespace vt2
