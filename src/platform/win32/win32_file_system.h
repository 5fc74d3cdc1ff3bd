#pragma once

#include <string>

#include "platform/file_system.h"

namespace vt2::win32 {

class Win32FileSystem final : public FileSystem {
public:
    bool fileExists(const std::string& path) override;
    bool changeDirectory(const std::string& folder) override;
    std::vector<std::string> listFiles(const std::string& folder, const std::string& extension) override;
    bool deleteFile(const std::string& path) override;
    std::string errorText() override { return errorText_; }

private:
    std::string errorText_;
};

}  // namespace vt2::win32
