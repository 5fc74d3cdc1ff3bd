#include "engine/game_descriptor.h"

#include "common/ini.h"
#include "engine/engine.h"
#include "engine/stop_program.h"

namespace vt2 {

std::string MemoryDescriptorPath(const std::string& programFolder, const std::string& name) {
    return programFolder + "\\memcfg\\" + name + ".ini";
}

void LoadGameDescriptor(Engine& engine, const std::string& gameName, bool quiet) {
    const std::string path = MemoryDescriptorPath(engine.state.programFolder, gameName);
    if (!engine.os.files.fileExists(path)) EndProgramAtOnce(engine, ExitCode::MissingDescriptor);

    auto read = [&](const char* key) { return ReadIniValue(engine.os.ini, path, "Info", key, false); };
    GameDescriptor& d = engine.state.descriptor;
    d.Name = read("Name");
    d.WinCaption = read("WinCaption");
    d.WinClass = read("WinClass");
    d.ExeName = read("ExeName");
    d.ExePath = read("ExePath");
    d.LaunchGame = read("LaunchGame");
    d.GameType = read("GameType");

    if (!quiet) engine.os.mainWindow.setLabelText(MainWindowLabel::Status, "Status:  Waiting for " + d.Name);
}

}  // namespace vt2
