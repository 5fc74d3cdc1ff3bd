#pragma once

#include <string>

#include "platform/file_system.h"

namespace vt2 {

class PortableFileSystem final : public FileSystem {
public:
    bool fileExists(const std::string& path) override;
    bool changeDirectory(const std::string& folder) override;
    std::vector<std::string> listFiles(const std::string& folder, const std::string& extension) override;
    bool deleteFile(const std::string& path) override;
    bool folderExists(const std::string& path) override;
    bool createFolder(const std::string& path) override;
    bool copyFile(const std::string& from, const std::string& to) override;
    std::optional<std::string> readFile(const std::string& path) override;
    std::optional<std::string> readFilePart(const std::string& path, std::uint64_t offset, std::size_t length) override;
    bool writeFileWhole(const std::string& path, const std::string& content) override;
    std::string errorText() override { return errorText_; }

private:
    std::string errorText_;
};

}  // namespace vt2
