#include "engine/game_check.h"

#include "common/config_file.h"
#include "common/game_name.h"
#include "engine/descriptor_check.h"
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
    const std::string shown = "memcfg\\" + gameName + ".ini";
    const auto text = files.readFile(MemoryDescriptorPath(programFolder, gameName));
    if (!text) {
        return {static_cast<int>(ExitCode::MissingDescriptor), shown + " cannot be read: there is no descriptor of that game\r\n"};
    }
    GameCheck check;
    std::vector<DescriptorProblem> problems = CheckDescriptorText(*text);
    for (const DescriptorProblem& p : problems) check.report += DescriptorProblemLine(shown, p) + "\r\n";
    const RunningGameCheck running = CheckAgainstRunningGame(os, *text);
    check.report += running.said + "\r\n";
    for (const DescriptorProblem& p : running.problems) check.report += DescriptorProblemLine(shown, p) + "\r\n";
    problems.insert(problems.end(), running.problems.begin(), running.problems.end());
    if (!ChooseOwnOrDefaultFile(files, programFolder, "joycfg", gameName)) {
        check.report += "joycfg\\" + gameName + ".ini: neither it nor joycfg\\default.ini is there: a run has no players' settings\r\n";
        check.exitCode = static_cast<int>(ExitCode::MissingSettings);
    } else {
        check.exitCode = problems.empty() ? 0 : 1;
    }
    check.report += problems.empty() ? "No problem found in " + shown + ".\r\n"
                                     : std::to_string(problems.size()) + (problems.size() == 1 ? " problem" : " problems") +
                                           " found in " + shown + ".\r\n";
    return check;
}

}  // namespace vt2
