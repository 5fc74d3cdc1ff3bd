#include "input/player_settings.h"

#include "engine/engine.h"
#include "engine/stop_program.h"

namespace vt2 {

std::optional<std::string> ChoosePlayerSettingsFile(FileSystem& files, const std::string& programFolder,
                                                    const std::string& name) {
    const std::string own = programFolder + "\\joycfg\\" + name + ".ini";
    if (files.fileExists(own)) return own;
    const std::string fallback = programFolder + "\\joycfg\\default.ini";
    if (files.fileExists(fallback)) return fallback;
    return std::nullopt;
}

void LoadPlayerSettings(Engine& engine, const std::string& name, bool /*viewMode*/) {
    const auto file = ChoosePlayerSettingsFile(engine.os.files, engine.state.programFolder, name);
    if (!file) StopProgram(engine, ExitCode::MissingSettings);
}

}  // namespace vt2
