#include "setup/model2_files.h"

#include "common/game_name.h"
#include "common/text.h"

namespace vt2 {

std::string StubConfigText(const std::string& programFolder) { return programFolder + "\\\r\nVT2.exe\r\n"; }

std::string RomScriptText(const std::string& rom) { return "ROM = \"" + rom + "\"\r\nrequire(\"VT2\");\r\n"; }

std::vector<std::string> RomSetNames(std::string_view listText) {
    std::vector<std::string> names;
    for (const std::string& line : SplitLines(listText)) {
        const std::size_t bar = line.find('|');
        const std::string rom = TrimBlanks(bar == std::string::npos ? line : line.substr(0, bar));
        if (IsUsableGameName(rom)) names.push_back(rom);
    }
    return names;
}

}  // namespace vt2
