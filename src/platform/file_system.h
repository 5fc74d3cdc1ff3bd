#pragma once

#include <string>
#include <vector>

namespace vt2 {

class FileSystem {
public:
    virtual ~FileSystem() = default;
    // True when a file (not a folder) of that path exists.
    virtual bool fileExists(const std::string& path) = 0;
    // Makes folder the current drive and folder; false when it cannot.
    virtual bool changeDirectory(const std::string& folder) = 0;
    // The names (without the folder) of the files in folder whose name ends in extension (".ini"),
    // in alphabetical order, case aside; none when the folder cannot be read.
    virtual std::vector<std::string> listFiles(const std::string& folder, const std::string& extension) = 0;
    // Deletes a file; false when it could not be deleted (errorText then says why).
    virtual bool deleteFile(const std::string& path) = 0;
    // Why the last call that failed failed, in the system's words.
    virtual std::string errorText() = 0;
};

}  // namespace vt2
