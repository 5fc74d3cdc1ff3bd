#pragma once
// The input part of the game's memory descriptor, read once after hooking.

#include <optional>
#include <string>

namespace vt2 {

struct Engine;
class FileSystem;

// The game's own descriptor, else memcfg\default.ini; none when neither exists.
std::optional<std::string> ChooseMemoryDescriptorFile(FileSystem& files, const std::string& programFolder,
                                                      const std::string& gameName);

void LoadInputMap(Engine& engine, const std::string& gameName);

}  // namespace vt2
