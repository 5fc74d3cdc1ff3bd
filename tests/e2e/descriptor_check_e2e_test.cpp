// VT2.exe --check: the shipped descriptors are clean; a broken one is reported line by line, its
// addresses followed in the running demo game. And the command line's own help.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>

#include "support/win32_harness.h"

namespace vt2::test {
namespace {

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
    const std::size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

const std::string kNotRunning = "The game is not running: its addresses were not checked (start it, then check again).";

TEST(DescriptorCheckE2E, TheShippedDescriptorsHaveNoProblemRunningOrNot) {
    TempInstall install;
    EXPECT_EQ(OutputOfVt2(install, "--check demo"), "exit 0|" + kNotRunning + "|No problem found in memcfg\\demo.ini and joycfg\\default.ini.");
    for (const DemoGame& game : DemoGames()) {
        if (!CanRun(game)) continue;
        install.installDemoGame(game);
        ChildProcess running = install.startDemoGame(game);
        ASSERT_TRUE(WaitUntil([&] { return FindTopWindowOf(running.id(), "VT2DemoGame") != nullptr; }));
        const std::string report = OutputOfVt2(install, std::string("--check ") + game.name);
        EXPECT_EQ(report.rfind("exit 0|Checked against the running game (process ", 0), 0u) << report;
        EXPECT_NE(report.find(std::string("|No problem found in ") + game.descriptor() + " and joycfg\\default.ini."), std::string::npos) << report;
    }
}

TEST(DescriptorCheckE2E, ABrokenDescriptorIsReportedLineByLineAgainstTheRunningGame) {
    TempInstall install;
    std::string broken = Replaced(FileBytes(install.file("memcfg\\demo.ini")), "P1TrigerBitMask=", "P1TriggerBitMask=");  // spelled as it sounds
    broken = Replaced(broken, "P1XMulti=640", "P1XMulti=640x");
    broken = Replaced(broken, "P1YAddr=", "P1YAddr=&H10\r\nOldP1YAddr=");  // nothing lives at 16
    const auto size = std::filesystem::file_size(install.file("demo\\VT2DemoGame.exe"));
    broken = Replaced(broken, "[Info]", "[Info]\r\nExeSize=" + std::to_string(size + 1));
    install.writeFile("memcfg\\broken.ini", broken);

    ChildProcess game = install.startDemoGame();
    ASSERT_TRUE(WaitUntil([&] { return FindTopWindowOf(game.id(), "VT2DemoGame") != nullptr; }));
    const std::string report = OutputOfVt2(install, "--check broken");
    EXPECT_EQ(report.rfind("exit 1|", 0), 0u) << report;
    for (const char* said : {"[Inputs] P1TriggerBitMask is no key of [Inputs] (did you mean P1TrigerBitMask?)",
                             "[Inputs] P1XMulti \"640x\" is no whole number",
                             "[Inputs] OldP1YAddr is no key of [Inputs]",
                             "[Inputs] P1YAddr leads to &H10, which is not mapped in the running game",
                             "line 2: [Info] ExeSize does not match: the game's program is another build",
                             "|5 problems found in memcfg\\broken.ini and joycfg\\default.ini."}) {
        EXPECT_NE(report.find(said), std::string::npos) << said << "\n" << report;
    }
}

TEST(DescriptorCheckE2E, HelpListsTheModesAndAnUnknownOptionIsNamed) {
    TempInstall install;
    const std::string help = OutputOfVt2(install, "--help");
    for (const char* line : {"exit 0|", "VT2.exe --check <game>", "VT2.exe --find-aim <game>", "VT2.exe --list-devices", "VT2.exe --version"}) {
        EXPECT_NE(help.find(line), std::string::npos) << line << "\n" << help;
    }
    EXPECT_EQ(OutputOfVt2(install, "--chek demo"), "exit 10|VT2: unknown option or missing game: --chek demo (VT2.exe --help lists them)");
}

}  // namespace
}  // namespace vt2::test
