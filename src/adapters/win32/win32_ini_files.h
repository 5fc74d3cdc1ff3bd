#pragma once

#include <string>

#include "platform/ini_files.h"

namespace vt2::win32 {

// The profile-string functions in their ANSI form. Paths must be absolute: a bare file name
// would be looked for in the Windows folder.
class Win32IniFiles final : public IniFiles {
public:
    std::string readString(const std::string& file, const std::string& section, const std::string& key,
                           std::size_t bufferChars) override;
    std::vector<std::string> readSection(const std::string& file, const std::string& section) override;
    bool writeString(const std::string& file, const std::string& section, const std::string& key,
                     const std::string& value) override;
    std::string errorText() override { return errorText_; }

private:
    std::string errorText_;
};

}  // namespace vt2::win32
