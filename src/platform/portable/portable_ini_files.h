#pragma once
// Profile-string reading and writing in plain C++, with the rules of the Windows functions:
// names compared without case, blanks around names and values ignored, a value in matching
// quotes read without them, the first of repeated sections or keys counts, and a write changes
// only the one line it concerns.

#include "platform/ini_files.h"

namespace vt2 {

class PortableIniFiles final : public IniFiles {
public:
    std::string readString(const std::string& file, const std::string& section, const std::string& key,
                           std::size_t bufferChars) override;
    bool writeString(const std::string& file, const std::string& section, const std::string& key,
                     const std::string& value) override;
};

}  // namespace vt2
