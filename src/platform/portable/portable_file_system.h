#pragma once

#include "platform/file_system.h"

namespace vt2 {

class PortableFileSystem final : public FileSystem {
public:
    bool fileExists(const std::string& path) override;
    bool changeDirectory(const std::string& folder) override;
};

}  // namespace vt2
