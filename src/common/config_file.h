#pragma once

#include <optional>
#include <string>

namespace vt2 {

class FileSystem;

// programFolder\<subfolder>\<name>.ini when it exists, else programFolder\<subfolder>\default.ini
// when that exists; none otherwise.
std::optional<std::string> ChooseOwnOrDefaultFile(FileSystem& files, const std::string& programFolder,
                                                  const std::string& subfolder, const std::string& name);

}  // namespace vt2
