#pragma once

#include "platform/file_system.h"

namespace vt2::win32 {

class Win32FileSystem final : public FileSystem {
public:
    bool fileExists(const std::string& path) override;
    bool changeDirectory(const std::string& folder) override;
};

}  // namespace vt2::win32
