#pragma once
// The operating system's profile-string functions: the one way INI files are read and written.

#include <cstddef>
#include <string>

namespace vt2 {

class IniFiles {
public:
    virtual ~IniFiles() = default;
    // The value of section/key with an empty default, cut to at most bufferChars - 1 characters,
    // as the profile-string read fills a buffer of that size. Empty when the file, section or key
    // is missing. Section and key names are compared without regard to case.
    virtual std::string readString(const std::string& file, const std::string& section, const std::string& key,
                                   std::size_t bufferChars) = 0;
    // Sets one key, creating the file, section or key as needed; every other key keeps its value.
    // False when the file could not be written.
    virtual bool writeString(const std::string& file, const std::string& section, const std::string& key,
                             const std::string& value) = 0;
};

}  // namespace vt2
