#include "engine/game_check.h"

#include "common/config_file.h"
#include "common/file_schema.h"
#include "common/game_name.h"
#include "engine/file_check.h"
#include "engine/exit_codes.h"
#include "engine/game_descriptor.h"
#include "engine/running_game_check.h"
#include "platform/file_system.h"

namespace vt2 {

GameCheck CheckGameFiles(const RunningGameServices& os, const std::string& programFolder, const std::string& gameName) {
    FileSystem& files = os.files;
    if (!IsUsableGameName(gameName)) {
        return {static_cast<int>(ExitCode::BadGameName), "\"" + gameName + "\" is no plain file name: it names no game\r\n"};
    }
    const std::string shown = DescriptorFileName(gameName);
    const auto text = files.readFile(MemoryDescriptorPath(programFolder, gameName));
    if (!text) {
        return {static_cast<int>(ExitCode::MissingDescriptor), shown + " cannot be read: there is no descriptor of that game\r\n"};
    }
    GameCheck check;
    std::size_t found = 0;
    auto say = [&](const std::string& file, const std::vector<IniProblem>& problems) {
        for (const IniProblem& p : problems) check.report += IniProblemLine(file, p) + "\r\n";
        found += problems.size();
    };
    say(shown, CheckDescriptorText(*text));
    const auto settingsFile = ChooseOwnOrDefaultFile(files, programFolder, kSettingsFolder, gameName);
    const auto settings = settingsFile ? files.readFile(*settingsFile) : std::nullopt;
    const std::string settingsShown = settingsFile ? std::string(kSettingsFolder) + "\\" + settingsFile->substr(settingsFile->find_last_of('\\') + 1)
                                                 : SettingsFileName(gameName);
    if (settings) say(settingsShown, CheckSettingsText(*settings));
    const RunningGameCheck running = CheckAgainstRunningGame(os, *text);
    check.report += running.said + "\r\n";
    say(shown, running.problems);
    if (!settings) {
        check.report += SettingsFileName(gameName) + ": neither it nor " + SettingsFileName("default") + " can be read: a run has no players' settings\r\n";
        check.exitCode = static_cast<int>(ExitCode::MissingSettings);
    } else {
        check.exitCode = found == 0 ? 0 : 1;
    }
    const std::string checked = shown + (settings ? " and " + settingsShown : std::string());
    check.report += found == 0 ? "No problem found in " + checked + ".\r\n"
                               : std::to_string(found) + (found == 1 ? " problem" : " problems") + " found in " + checked + ".\r\n";
    return check;
}

}  // namespace vt2
