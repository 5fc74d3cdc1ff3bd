#pragma once
// The operating system's profile-string functions: the one way INI files are read and written.

#include <cstddef>
#include <string>
#include <vector>

namespace vt2 {

class IniFiles {
public:
    virtual ~IniFiles() = default;
    // The value of section/key with an empty default, cut to at most bufferChars - 1 characters,
    // as the profile-string read fills a buffer of that size. Empty when the file, section or key
    // is missing. Section and key names are compared without regard to case.
    virtual std::string readString(const std::string& file, const std::string& section, const std::string& key,
                                   std::size_t bufferChars) = 0;
    // Every entry of the section, first to last, as "key=value" (names and values without the
    // blanks around them, quotes kept; a key without "=" alone); empty when the file or section
    // is missing. One call for a whole section: reading many keys one by one costs a pass over
    // the file each.
    virtual std::vector<std::string> readSection(const std::string& file, const std::string& section) = 0;
    // Sets one key, creating the file, section or key as needed; every other key keeps its value.
    // False when the file could not be written (a read-only file among them); errorText then says why.
    virtual bool writeString(const std::string& file, const std::string& section, const std::string& key,
                             const std::string& value) = 0;
    // Why the last write that failed failed, in the system's words.
    virtual std::string errorText() = 0;
};

}  // namespace vt2
