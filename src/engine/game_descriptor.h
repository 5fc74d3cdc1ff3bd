#pragma once
// The [Info] section of a game's memory descriptor: how to find and start the game.

#include <optional>
#include <string>

namespace vt2 {

class FileSystem;
class IniFiles;

struct GameDescriptor {
    std::string Name;
    std::string WinCaption;
    std::string WinClass;
    std::string ExeName;
    std::string ExePath;
    std::string LaunchGame;
    std::string GameType;
    std::string ExeSize;    // the build it was written for: its program file's size in bytes,
    std::string ExeSha256;  // and that file's SHA-256; both optional
};

// programFolder + "\memcfg\" + name + ".ini"
std::string MemoryDescriptorPath(const std::string& programFolder, const std::string& name);

// [Info] of the descriptor file; missing keys are empty texts.
GameDescriptor ReadGameDescriptor(IniFiles& ini, const std::string& file);

// The game's own descriptor (a game without one cannot be hooked: there is no default for [Info]);
// none when the file does not exist.
std::optional<GameDescriptor> LoadGameDescriptor(FileSystem& files, IniFiles& ini, const std::string& programFolder,
                                                 const std::string& gameName);

}  // namespace vt2
