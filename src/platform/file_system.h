#pragma once

#include <string>

namespace vt2 {

class FileSystem {
public:
    virtual ~FileSystem() = default;
    // True when a file (not a folder) of that path exists.
    virtual bool fileExists(const std::string& path) = 0;
    // Makes folder the current drive and folder; false when it cannot.
    virtual bool changeDirectory(const std::string& folder) = 0;
};

}  // namespace vt2
