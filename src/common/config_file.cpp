#include "common/config_file.h"

#include "platform/file_system.h"

namespace vt2 {

std::optional<std::string> ChooseOwnOrDefaultFile(FileSystem& files, const std::string& programFolder,
                                                  const std::string& subfolder, const std::string& name) {
    const std::string folder = programFolder + "\\" + subfolder + "\\";
    if (files.fileExists(folder + name + ".ini")) return folder + name + ".ini";
    if (files.fileExists(folder + "default.ini")) return folder + "default.ini";
    return std::nullopt;
}

}  // namespace vt2
