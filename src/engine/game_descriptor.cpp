#include "engine/game_descriptor.h"

#include "common/file_schema.h"
#include "common/ini.h"
#include "platform/file_system.h"

namespace vt2 {

std::string MemoryDescriptorPath(const std::string& programFolder, const std::string& name) {
    return programFolder + "\\" + DescriptorFileName(name);
}

GameDescriptor ReadGameDescriptor(IniFiles& ini, const std::string& file) {
    auto read = [&](const char* key) { return ReadIniValue(ini, file, "Info", key, false); };
    GameDescriptor d;
    d.Name = read("Name");
    d.WinCaption = read("WinCaption");
    d.WinClass = read("WinClass");
    d.ExeName = read("ExeName");
    d.ExePath = read("ExePath");
    d.LaunchGame = read("LaunchGame");
    d.GameType = read("GameType");
    d.ExeSize = read("ExeSize");
    d.ExeSha256 = read("ExeSha256");
    return d;
}

std::optional<GameDescriptor> LoadGameDescriptor(FileSystem& files, IniFiles& ini, const std::string& programFolder,
                                                 const std::string& gameName) {
    const std::string path = MemoryDescriptorPath(programFolder, gameName);
    if (!files.fileExists(path)) return std::nullopt;
    return ReadGameDescriptor(ini, path);
}

}  // namespace vt2
