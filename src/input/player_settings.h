#pragma once
// The players' settings file, joycfg\<game>.ini, with joycfg\default.ini as the fallback.

#include <optional>
#include <string>

namespace vt2 {

struct Engine;

class FileSystem;

// The settings file that applies to name: its own file, else default.ini; none when neither exists.
std::optional<std::string> ChoosePlayerSettingsFile(FileSystem& files, const std::string& programFolder,
                                                    const std::string& name);

// Reads the settings for name. Without any settings file the program stops.
void LoadPlayerSettings(Engine& engine, const std::string& name, bool viewMode);

}  // namespace vt2
