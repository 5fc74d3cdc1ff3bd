#pragma once
// An INI file's text read line by line, as Windows' profile functions read it, keeping each
// line's number: for a checker that says where a problem is.

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace vt2 {

struct IniTextLine {
    enum class Kind { Section, Entry, Other };
    int number = 0;  // from 1
    Kind kind = Kind::Other;
    std::string section;  // a Section's name; the section an Entry or Other line stands in
    std::string key;      // an Entry's key, blanks around it taken off
    std::string value;    // an Entry's value, blanks and one pair of enclosing quotes taken off
    std::string text;     // the line, blanks around it taken off
};

// Every line that is not blank and no comment (";" first). Entries before the first section
// have an empty section.
std::vector<IniTextLine> ReadIniText(std::string_view text);

// The lines of a text, and the first entry of each section/key among them (case aside), as
// Windows' profile functions read it.
class IniEntries {
public:
    explicit IniEntries(std::string_view text);
    const std::vector<IniTextLine>& lines() const { return lines_; }
    const IniTextLine* find(const std::string& section, const std::string& key) const;
    // Its value; empty when there is no such entry.
    std::string value(const std::string& section, const std::string& key) const;

private:
    std::vector<IniTextLine> lines_;
    std::map<std::string, std::size_t> first_;  // "section/key" in small letters: index into lines_
};

}  // namespace vt2
