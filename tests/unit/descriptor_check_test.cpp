#include <gtest/gtest.h>

#include "engine/file_check.h"
#include "engine/game_check.h"
#include "engine/program_modes.h"
#include "engine/running_game_check.h"
#include "support/shipped_files.h"
#include "support/fake_platform.h"

namespace vt2::test {
namespace {

// Every section and kind of key, as a writer who knows them would write it.
const char* const kClean = R"ini(; a game
[Info]
Name=Some Game
WinCaption=Some Game
ExeName=game.exe
LaunchGame=1
ExitMode=2
NoBorder=0

[Inputs]
Persistent=0
P1XAddr=&H42B020
P1XType=integer
P1XMulti=640
p1xoffset=-3
P2XPTR=&H3F088|8|
P2XType=single
P1TriggerAddr=&H42B01C
P1TriggerType=byte
P1TrigerBitMask=-4
Bank1Addr=&H140023064

[Keys]
Enable=1
P1StartKey=49

[Outputs]
Enable=1
NumberOutputs=2
Output1Addr=&H43F07E
Output1Type=byte
Output1BitMask=swd|1|2|3|4
Output2PTR=||16
Output2Type=double
Output2Name=heat

[NOP_game.exe]
NumberNOPs=1
NOP1Addr=&H4015C8
NOP1Len=4
NOP1Replace=144|&H90
)ini";

TEST(DescriptorCheck, AFileWrittenByTheRulesHasNoProblem) {
    EXPECT_EQ(CheckDescriptorText(kClean), std::vector<IniProblem>{});
    EXPECT_EQ(CheckDescriptorText(""), std::vector<IniProblem>{});
}

struct Case {
    const char* what;
    const char* text;  // the lines after [Info] ExeName=game.exe and its blank line 3
    int line;
    const char* key;
    const char* says;  // a part of the problem's text
};

class EachProblem : public ::testing::TestWithParam<Case> {};

TEST_P(EachProblem, IsSaidWithItsLineKeyAndWhy) {
    const Case& c = GetParam();
    const std::string text = std::string("[Info]\nExeName=game.exe\n\n") + c.text;
    const std::vector<IniProblem> problems = CheckDescriptorText(text);
    std::string said;
    for (const IniProblem& p : problems) said += IniProblemLine("game.ini", p) + "\n";
    ASSERT_EQ(problems.size(), 1u) << c.what << ":\n" << said;
    EXPECT_EQ(problems[0].line, c.line) << c.what;
    EXPECT_EQ(problems[0].key, c.key) << c.what;
    EXPECT_NE(problems[0].text.find(c.says), std::string::npos) << c.what << ": " << problems[0].text;
}

INSTANTIATE_TEST_SUITE_P(
    Descriptors, EachProblem,
    ::testing::Values(
        Case{"the trigger mask spelled as it sounds", "[Inputs]\nP1TriggerBitMask=1\n", 5, "P1TriggerBitMask",
             "did you mean P1TrigerBitMask?"},
        Case{"a key far from any", "[Keys]\nJump=1\n", 5, "Jump", "is no key of [Keys]: it is not read"},
        Case{"a section misspelt", "[Input]\nP1XAddr=1\n", 4, "", "did you mean [Inputs]?"},
        Case{"the patches under another program's name", "[NOP_other.exe]\nNumberNOPs=1\n", 4, "", "[NOP_game.exe]"},
        Case{"a key twice", "[Inputs]\nP1XMulti=640\nP1XMULTI=320\n", 6, "P1XMULTI", "first at line 5"},
        Case{"a section twice", "[Keys]\nEnable=1\n[Keys]\nP1StartKey=49\n", 6, "", "only the first is read"},
        Case{"a line of neither kind", "[Keys]\nEnable 1\n", 5, "", "neither [Section] nor Key=Value"},
        Case{"a multiplier beyond 16 bits", "[Inputs]\nP1XMulti=40000\n", 5, "P1XMulti", "from -32768 to 32767"},
        Case{"a mode that is no number", "[Inputs]\nPersistent=yes\n", 5, "Persistent", "is no whole number"},
        Case{"a key code beyond 255", "[Keys]\nP1CoinKey=300\n", 5, "P1CoinKey", "is no key code"},
        Case{"an address of 17 hexadecimal digits", "[Inputs]\nP1XAddr=&H10000000000000000\nP1XType=integer\n", 5, "P1XAddr",
             "is no address"},
        Case{"a chain with a field that is no number", "[Inputs]\nP2XPTR=&H3F088|eight|0\nP2XType=single\n", 5, "P2XPTR",
             "field 2 \"eight\""},
        Case{"a type in capitals", "[Inputs]\nP1XAddr=&H10\nP1XType=Integer\n", 6, "P1XType", "did you mean integer?"},
        Case{"a type of no kind", "[Inputs]\nP1XAddr=&H10\nP1XType=word\n", 6, "P1XType", "is no type name;"},
        Case{"an output of a type only written", "[Outputs]\nNumberOutputs=1\nOutput1Addr=&H10\nOutput1Type=2byte\n", 7,
             "Output1Type", "only written"},
        Case{"a mask on a float", "[Inputs]\nP1TriggerAddr=&H10\nP1TriggerType=single\nP1TrigerBitMask=1\n", 7,
             "P1TrigerBitMask", "only type byte is written"},
        Case{"a mask wider than the byte", "[Inputs]\nP1ReloadAddr=&H10\nP1ReloadType=byte\nP1ReloadBitMask=256\n", 7,
             "P1ReloadBitMask", "beyond the byte"},
        Case{"a range form of four fields", "[Outputs]\nNumberOutputs=1\nOutput1Addr=&H10\nOutput1Type=byte\nOutput1BitMask=swd|1|2|3\n",
             8, "Output1BitMask", "malformed range form"},
        Case{"a range form of another name", "[Outputs]\nNumberOutputs=1\nOutput1Addr=&H10\nOutput1Type=byte\nOutput1BitMask=sw|1|2|3|4\n",
             8, "Output1BitMask", "neither swd nor swp"},
        Case{"an address without a type", "[Inputs]\nP1YAddr=&H10\n", 5, "P1YAddr", "P1YType is missing: nothing is written"},
        Case{"an output row beyond the count", "[Outputs]\nNumberOutputs=1\nOutput1Addr=&H10\nOutput1Type=byte\nOutput2Addr=&H11\n",
             8, "Output2Addr", "NumberOutputs is 1"},
        Case{"too many outputs", "[Outputs]\nNumberOutputs=1025\n", 5, "NumberOutputs", "more than 1024"},
        Case{"a patch too long", "[NOP_game.exe]\nNumberNOPs=1\nNOP1Addr=&H10\nNOP1Len=4097\n", 7, "NOP1Len", "more than 4096"},
        Case{"a patch of no length", "[NOP_game.exe]\nNumberNOPs=1\nNOP1Addr=&H10\nNOP1Len=0\n", 7, "NOP1Len", "at least 1"},
        Case{"a replacement byte beyond 255", "[NOP_game.exe]\nNumberNOPs=1\nNOP1Addr=&H10\nNOP1Len=2\nNOP1Replace=144|256\n", 8,
             "NOP1Replace", "as byte 2"},
        // A row's key is found from its own spelling (the run builds "Output<n>Addr"), at the rows' ends.
        Case{"an output row of number 0", "[Outputs]\nNumberOutputs=1\nOutput1Addr=&H10\nOutput1Type=byte\nOutput0Addr=&H11\n",
             8, "Output0Addr", "NumberOutputs is 1"},
        Case{"an output row written with a leading zero", "[Outputs]\nNumberOutputs=2\nOutput1Addr=&H10\nOutput1Type=byte\n"
             "Output2Addr=&H10\nOutput2Type=byte\nOutput02Name=x\n", 10, "Output02Name", "is no key of [Outputs]"},
        Case{"a row's key misspelt names its own row", "[NOP_game.exe]\nNumberNOPs=3\nNOP3Addr=&H10\nNOP3Lne=2\n", 7, "NOP3Lne",
             "did you mean NOP3Len?"}),
    [](const ::testing::TestParamInfo<Case>& param) { return "Case" + std::to_string(param.index); });

TEST(DescriptorCheck, AKeyBeforeAnySectionAndAValueTooLongForTheRun) {
    const std::string text = "Name=x\n[Info]\nWinCaption=" + std::string(255, 'c') + "\nWinClass=" + std::string(254, 'c') + "\n";
    const std::vector<IniProblem> problems = CheckDescriptorText(text);
    ASSERT_EQ(problems.size(), 2u);
    EXPECT_EQ(problems[0], (IniProblem{1, "", "Name", "stands before any section: it is not read"}));
    EXPECT_EQ(problems[1].line, 3);
    EXPECT_NE(problems[1].text.find("reads only the first 254"), std::string::npos);
}

TEST(DescriptorCheck, TheNearestNameIsOneOrTwoSlipsAwayNeverAGuess) {
    const std::vector<std::string> known{"P1XAddr", "P1XType", "P1YAddr", "Enable"};
    EXPECT_EQ(NearestName("p1xadr", known), "P1XAddr");     // a letter missing, case aside
    EXPECT_EQ(NearestName("P1XTpye", known), "P1XType");    // two letters swapped: one slip
    EXPECT_EQ(NearestName("P1XAddrss", known), "P1XAddr");  // two extra
    EXPECT_EQ(NearestName("P1XAddrsss", known), "");        // three
    EXPECT_EQ(NearestName("Enabl", known), "Enable");
    EXPECT_EQ(NearestName("Enab", known), "");  // short names: one slip at most
    EXPECT_EQ(NearestName("Speed", known), "");
}

TEST(GameCheck, TheExitCodeSaysWhatWasFound) {
    FakeSystem sys;
    const RunningGameServices os{sys.windows, sys.memory, sys.modules, sys.files};
    const std::string folder = sys.folder.path();
    EXPECT_EQ(CheckGameFiles(os, folder, "game").exitCode, 2);  // no descriptor
    EXPECT_EQ(CheckGameFiles(os, folder, "..\\game").exitCode, 6);
    sys.folder.writeFile("memcfg\\game.ini", kClean);
    EXPECT_EQ(CheckGameFiles(os, folder, "game").exitCode, 3);  // no players' settings
    sys.folder.writeFile("joycfg\\default.ini", "[Player1]\n");
    GameCheck check = CheckGameFiles(os, folder, "game");
    EXPECT_EQ(check.exitCode, 0);
    EXPECT_EQ(check.report, "The game is not running: its addresses were not checked (start it, then check again).\r\n"
                            "No problem found in memcfg\\game.ini and joycfg\\default.ini.\r\n");
    sys.folder.writeFile("memcfg\\game.ini", std::string(kClean) + "Len=1\n");
    sys.folder.writeFile("joycfg\\game.ini", "[Player1]\nMouseAcel=18\n");  // the game's own, before default.ini
    check = CheckGameFiles(os, folder, "game");
    EXPECT_EQ(check.exitCode, 1);
    EXPECT_EQ(check.report, "memcfg\\game.ini, line 42: [NOP_game.exe] Len is no key of [NOP_game.exe]: it is not read\r\n"
                            "joycfg\\game.ini, line 2: [Player1] MouseAcel is no key of [Player1] (did you mean MouseAccel?): it is not read\r\n"
                            "The game is not running: its addresses were not checked (start it, then check again).\r\n"
                            "2 problems found in memcfg\\game.ini and joycfg\\game.ini.\r\n");
}

TEST(ProgramModes, OptionsAreTheirModesAnyOtherTextIsAGame) {
    struct Row {
        const char* arguments;
        ProgramMode mode;
        const char* game;
        const char* option;
    };
    const Row rows[] = {
        {"", ProgramMode::Configuration, "", ""},
        {"  ", ProgramMode::Configuration, "", ""},
        {"demo", ProgramMode::Run, "demo", ""},
        {"\"my odd game\"", ProgramMode::Run, "my odd game", ""},
        {"--help", ProgramMode::Help, "", ""},
        {"/?", ProgramMode::Help, "", ""},
        {"--version", ProgramMode::Version, "", ""},
        {"--list-devices", ProgramMode::ListDevices, "", ""},
        {"--check demo", ProgramMode::Check, "demo", ""},
        {"--check  \"my odd game\" ", ProgramMode::Check, "my odd game", ""},
        {"--find-aim \"my odd game\"", ProgramMode::FindAim, "my odd game", ""},
        {"--check", ProgramMode::UnknownOption, "", "--check"},  // without its game
        {"--find-aim", ProgramMode::UnknownOption, "", "--find-aim"},
        {"--version 2", ProgramMode::UnknownOption, "", "--version 2"},
        {"--hepl", ProgramMode::UnknownOption, "", "--hepl"},
    };
    for (const Row& r : rows) {
        const ProgramModeChoice choice = ChooseProgramMode(r.arguments);
        EXPECT_EQ(choice.mode, r.mode) << r.arguments;
        EXPECT_EQ(choice.game, r.game) << r.arguments;
        EXPECT_EQ(choice.option, r.option) << r.arguments;
    }
}

TEST(RunningGameCheck, EachTargetIsFollowedInTheGamesMemoryAndTheBuildCompared) {
    FakeSystem sys;
    const RunningGameServices os{sys.windows, sys.memory, sys.modules, sys.files};
    sys.folder.writeFile("game.exe", "the program");
    sys.windows.addWindow({"GameClass", "Game", 4242, 0, true});
    sys.modules.modules[4242] = {{"game.exe", 0x400000, sys.folder.path() + "\\game.exe"}};
    FakeGameProcess& game = sys.memory.processes[4242];
    game.map(0x400000, 0x100);         // the module's statics
    game.map(0x410000, 4);             // read-only data
    for (std::uint64_t a = 0x410000; a < 0x410004; ++a) game.readOnly.insert(a);
    game.map(0x500000, 16);            // an object on the heap
    game.putLong(0x400010, 0x500000);  // its pointer
    const std::string descriptor =
        "[Info]\nWinClass=GameClass\nExeName=game.exe\nExeSize=11\n"  // lines 1-4
        "[Inputs]\nP1XAddr=&H400020\nP1XType=integer\n"                // 5-7: there
        "P1YAddr=&H4000FF\nP1YType=integer\n"                          // 8-9: its second byte is not
        "P2XPTR=&H10||8\nP2XType=single\n"                               // 10-11: through the pointer
        "P2YPTR=&H10||32\nP2YType=single\n"                              // 12-13: past the object
        "P1TriggerAddr=&H410000\nP1TriggerType=byte\n"                 // 14-15: read-only
        "P1StartAddr=&H410001\nP1StartType=byte\n"                     // 16-17: only read: fine
        "[Outputs]\nNumberOutputs=1\nOutput1Addr=&H600000\nOutput1Type=long\n";  // 18-21: not there
    RunningGameCheck check = CheckAgainstRunningGame(os, descriptor);
    ASSERT_TRUE(check.running) << check.said;
    std::vector<std::pair<int, std::string>> said;
    for (const IniProblem& p : check.problems) said.emplace_back(p.line, p.key);
    EXPECT_EQ(said, (std::vector<std::pair<int, std::string>>{{8, "P1YAddr"}, {12, "P2YPTR"}, {14, "P1TriggerAddr"}, {20, "Output1Addr"}}));
    ASSERT_EQ(check.problems.size(), 4u);
    EXPECT_NE(check.problems[0].text.find("&H4000FF, which is not mapped"), std::string::npos) << check.problems[0].text;
    EXPECT_NE(check.problems[1].text.find("&H500020"), std::string::npos) << check.problems[1].text;
    EXPECT_NE(check.problems[2].text.find("read-only"), std::string::npos) << check.problems[2].text;

    // Another build of the program: a warning at the pin.
    sys.folder.writeFile("game.exe", "the program, patched");
    check = CheckAgainstRunningGame(os, "[Info]\nWinClass=GameClass\nExeName=game.exe\nExeSize=11\n");
    ASSERT_EQ(check.problems.size(), 1u);
    EXPECT_EQ(check.problems[0].line, 4);
    EXPECT_NE(check.problems[0].text.find("another build"), std::string::npos);
    sys.windows.window(1).exists = false;  // the game has ended
    EXPECT_FALSE(CheckAgainstRunningGame(os, descriptor).running);
}

// A program module the game's list does not have (a wrong ExeName, or a list the system refused):
// each chain is said once as not followed, never as leading to its offsets; plain addresses are checked.
TEST(RunningGameCheck, ChainsOfAMissingProgramModuleAreSaidNotFollowed) {
    FakeSystem sys;
    const RunningGameServices os{sys.windows, sys.memory, sys.modules, sys.files};
    sys.windows.addWindow({"GameClass", "Game", 4242, 0, true});
    sys.memory.processes[4242].map(0x400000, 0x100);
    const std::string descriptor =
        "[Info]\nWinClass=GameClass\nExeName=game.exe\n"        // 1-3
        "[Inputs]\nP1XAddr=&H400020\nP1XType=integer\n"          // 4-6: there
        "P2XPTR=&H10||8\nP2XAddr=&H400020\nP2XType=single\n"     // 7-9: a chain, its Addr aside
        "P2YPTR=&H10||C\nP2YType=single\n";                       // 10-11
    for (const std::vector<ModuleEntry>& listed :
         {std::vector<ModuleEntry>{}, std::vector<ModuleEntry>{{"other.exe", 0x400000}}}) {
        sys.modules.modules[4242] = listed;
        const RunningGameCheck check = CheckAgainstRunningGame(os, descriptor);
        ASSERT_TRUE(check.running);
        EXPECT_EQ(check.said, "Checked against the running game (process 4242); its program module (game.exe) was not found: "
                              "pointer chains are not followed.");
        std::vector<std::pair<int, std::string>> said;
        for (const IniProblem& p : check.problems) said.emplace_back(p.line, p.key);
        EXPECT_EQ(said, (std::vector<std::pair<int, std::string>>{{7, "P2XPTR"}, {10, "P2YPTR"}}));
        for (const IniProblem& p : check.problems) EXPECT_EQ(p.text.rfind("is not followed: the game's program module was not found", 0), 0u) << p.text;
    }
    sys.modules.modules[4242] = {{"GAME.exe", 0x400000}};
    sys.memory.processes[4242].putLong(0x400010, 0x400040);
    const RunningGameCheck found = CheckAgainstRunningGame(os, descriptor);
    EXPECT_EQ(found.problems, std::vector<IniProblem>{}) << found.said;
}

TEST(RunningGameCheck, TheBuildPinComparesSizeAndDigestOnlyWhenGiven) {
    FakeSystem sys;
    sys.folder.writeFile("game.exe", "abc");
    const std::string program = sys.folder.path() + "\\game.exe";
    const std::string abc = "BA7816BF8F01CFEA414140DE5DAE2223B00361A396177A9CB410FF61F20015AD";  // capitals too
    EXPECT_EQ(BuildMismatch(sys.files, program, "", ""), std::nullopt);
    EXPECT_EQ(BuildMismatch(sys.files, program, "3", abc), std::nullopt);
    EXPECT_NE(BuildMismatch(sys.files, program, "4", abc), std::nullopt);
    EXPECT_NE(BuildMismatch(sys.files, program, "", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"), std::nullopt);
    EXPECT_EQ(BuildMismatch(sys.files, program, "", "not a digest"), std::nullopt);  // said by the checker instead
    EXPECT_NE(BuildMismatch(sys.files, sys.folder.path() + "\\gone.exe", "3", ""), std::nullopt);
}

TEST(SettingsCheck, TheShippedSettingsAreCleanAndEachBadValueIsSaid) {
    EXPECT_EQ(CheckSettingsText(kShippedDefaultIni), std::vector<IniProblem>{});
    const std::vector<IniProblem> problems = CheckSettingsText(
        "[Player1]\nInputType=LightGun\nMouseAccel=fast\nShotButton=3\n"  // 1-4: a twin-stick key is known
        "[Aim]\nArea=Stretched\nAspect=4/3\nPlayer1Left=1e9\n"             // 5-8
        "[Player3]\nEnable=1\n");                                          // 9-10
    std::vector<std::pair<int, std::string>> said;
    for (const IniProblem& p : problems) said.emplace_back(p.line, p.key + " " + p.text.substr(0, p.text.find(':')));
    EXPECT_EQ(said, (std::vector<std::pair<int, std::string>>{
                        {3, "MouseAccel \"fast\" is no number from -32768 to 32767"},
                        {6, "Area \"Stretched\" is no area (Screen, Window, Picture or Calibrated)"},
                        {7, "Aspect \"4/3\" is no W"},
                        {8, "Player1Left \"1e9\" is no calibrated edge (a number from -1000 to 1000)"},
                        {9, " is no section of the players' settings (did you mean [Player1]?)"}}));
}

}  // namespace
}  // namespace vt2::test
