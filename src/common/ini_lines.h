#pragma once
// An INI file's lines with their numbers, read by the very rules a run reads the file with (the
// profile functions' rules, held in ini_document): for a checker that says where a problem is and
// must see each value as the run will.

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace vt2 {

struct IniLine {
    enum class Kind { Section, Entry, Other };
    int number = 0;  // from 1, counting every line end the run counts (a lone CR among them)
    Kind kind = Kind::Other;
    std::string section;  // a Section's name; the section an Entry or Other line stands in
    std::string key;      // an Entry's key as the run compares it
    std::string value;    // an Entry's value as the run reads it: quotes off, cut to the run's buffer
    std::size_t valueLength = 0;  // the value's length in the file, before the cut
    std::string text;     // the line, blanks around it taken off
};

// Every line that is not blank and no comment (";" first). Entries before the first section have
// an empty section. Any bytes: a byte order mark makes the file Unicode, as it does for the run.
std::vector<IniLine> ReadIniLines(std::string_view bytes);

// The lines, and the line each section/key lookup of the run finds: the first section of the name,
// the first line of the key in it (a key without "=" among them: the run then reads nothing).
class IniEntries {
public:
    explicit IniEntries(std::string_view bytes);
    const std::vector<IniLine>& lines() const { return lines_; }
    // The Entry the run reads, else none (no such key, or its first line has no "=").
    const IniLine* find(std::string_view section, std::string_view key) const;
    // The value the run reads; empty when find gives none.
    std::string value(std::string_view section, std::string_view key) const;

private:
    std::vector<IniLine> lines_;
    std::map<std::string, std::size_t> first_;  // section '\0' key in small letters: index into lines_
};

}  // namespace vt2
