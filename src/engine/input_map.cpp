#include "engine/input_map.h"

#include "common/ini.h"
#include "common/numbers.h"
#include "engine/engine.h"
#include "engine/game_descriptor.h"
#include "engine/window_style.h"

namespace vt2 {

std::optional<std::string> ChooseMemoryDescriptorFile(FileSystem& files, const std::string& programFolder,
                                                      const std::string& gameName) {
    const std::string own = MemoryDescriptorPath(programFolder, gameName);
    if (files.fileExists(own)) return own;
    const std::string fallback = MemoryDescriptorPath(programFolder, "default");
    if (files.fileExists(fallback)) return fallback;
    return std::nullopt;
}

void LoadInputMap(Engine& engine, const std::string& gameName) {
    const auto file = ChooseMemoryDescriptorFile(engine.os.files, engine.state.programFolder, gameName);
    if (!file) return;
    if (engine.state.descriptor.GameType == "VON") return;

    const auto noBorder = ParseWholeNumber(ReadIniValue(engine.os.ini, *file, "Info", "NoBorder", true));
    if (noBorder && *noBorder != 0) RemoveWindowBorder(engine);
}

}  // namespace vt2
