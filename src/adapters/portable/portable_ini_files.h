#pragma once
// Profile-string reading and writing in plain C++, with the rules of the Windows functions
// (ini_text.h): over files, and over texts held in memory (for tests and fuzzing).

#include <map>
#include <optional>
#include <set>
#include <string>

#include "platform/ini_files.h"
#include "common/ini_document.h"

namespace vt2 {

class PortableIniFiles final : public IniFiles {
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

// Files as texts in memory: a path not in files does not exist.
class MemoryIniFiles final : public IniFiles {
public:
    std::string readString(const std::string& file, const std::string& section, const std::string& key,
                           std::size_t bufferChars) override;
    std::vector<std::string> readSection(const std::string& file, const std::string& section) override;
    bool writeString(const std::string& file, const std::string& section, const std::string& key,
                     const std::string& value) override;
    std::string errorText() override { return "Access is denied."; }
    std::map<std::string, std::string> files;
    std::set<std::string> readOnly;  // files a write is refused for

private:
    const IniDocument& parsed(const std::string& text);
    // The text last read, parsed once: a loader reads many keys of one file.
    std::string parsedText_;
    IniDocument parsedDocument_;
    bool parsedAny_ = false;
};

}  // namespace vt2
