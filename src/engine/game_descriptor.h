#pragma once
// The [Info] section of a game's memory descriptor: how to find and start the game.

#include <string>

namespace vt2 {

struct Engine;

struct GameDescriptor {
    std::string Name;
    std::string WinCaption;
    std::string WinClass;
    std::string ExeName;
    std::string ExePath;
    std::string LaunchGame;
    std::string GameType;
};

// programFolder + "\memcfg\" + name + ".ini"
std::string MemoryDescriptorPath(const std::string& programFolder, const std::string& name);

// Reads [Info] of the game's descriptor. A missing descriptor ends the program at once.
void LoadGameDescriptor(Engine& engine, const std::string& gameName, bool quiet);

}  // namespace vt2
