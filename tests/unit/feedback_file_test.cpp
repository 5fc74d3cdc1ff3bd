#include <gtest/gtest.h>

#include "outputs/feedback_file.h"

namespace vt2::test {
namespace {

using Kind = FeedbackCommand::Kind;

TEST(FeedbackFile, EachFormOfALineIsTakenAsTheGunsFilesMeanIt) {
    struct Case {
        const char* line;
        std::vector<FeedbackCommands> alternatives;
    };
    const Case cases[] = {
        {"cmw 1 S", {{{Kind::Write, 1, "S"}}}},
        {"cmo 3 baud=9600_parity=N_data=8_stop=1,cmw 3 S",
         {{{Kind::Open, 3, "baud=9600_parity=N_data=8_stop=1"}, {Kind::Write, 3, "S"}}}},
        {"cmw 1 E,cmc 1", {{{Kind::Write, 1, "E"}, {Kind::Close, 1, ""}}}},
        {"CSS 2 baud=115200", {{{Kind::Settings, 2, "baud=115200"}}}},
        {"nll|cmw 6 0E", {{{Kind::Nothing, 0, ""}}, {{Kind::Write, 6, "0E"}}}},
        {"cmw 1 F3x0|cmw 1 F3x2x1", {{{Kind::Write, 1, "F3x0"}}, {{Kind::Write, 1, "F3x2x1"}}}},
        {"cmw 1 F0x%s%", {{{Kind::Write, 1, "F0x%s%"}}}},
        {"cmw 2 FB.2.1.%P2_Ammo%.1", {{{Kind::Write, 2, "FB.2.1.%P2_Ammo%.1"}}}},
        {"cmw 1 a b", {{{Kind::Write, 1, "a b"}}}},  // blanks inside a text are bytes
        {"tcw 1 1A", {{{Kind::TcpWrite, 1, "1A"}}}},
        {"cmw 1 S,", {{{Kind::Write, 1, "S"}}}},     // a comma too many: nothing there
        {"cmw 1 F3x0|", {{{Kind::Write, 1, "F3x0"}}, {}}},  // an empty alternative does nothing
    };
    for (const Case& c : cases) {
        const ParsedFeedbackLine parsed = ParseFeedbackLine(c.line);
        EXPECT_EQ(parsed.problem, "") << c.line;
        EXPECT_EQ(parsed.alternatives, c.alternatives) << c.line;
    }
}

TEST(FeedbackFile, ALineThatCannotBeTakenSaysWhyAndGivesNoCommand) {
    struct Case {
        std::string line;
        const char* says;
    };
    const Case cases[] = {
        {"cmx 1 S", "\"cmx 1 S\" is no command (cmo, cmw, cmc, css, tcw, gun or nll)"},
        {"cmw one S", "\"cmw one S\": \"one\" is no port number (1 to 255)"},
        {"cmw 0 S", "\"cmw 0 S\": \"0\" is no port number (1 to 255)"},
        {"cmw 256 S", "\"cmw 256 S\": \"256\" is no port number (1 to 255)"},
        {"cmw", "\"cmw\": \"\" is no port number (1 to 255)"},
        {"cmw 1", "\"cmw 1\": cmw needs the text to send"},
        {"cmo 1", "\"cmo 1\": cmo needs the port's settings"},
        {"cmc 1 now", "\"cmc 1 now\": cmc takes only the port"},
        {"nll 1", "\"nll 1\": nll takes nothing after it"},
        {"cmw 1 S,bad", "\"bad\" is no command (cmo, cmw, cmc, css, tcw, gun or nll)"},  // one bad command: the whole line
        {"cmw 1 " + std::string(100 * 1024, 'x'), "is longer than 4096 characters"},
        {"gun 3 recoil", "\"gun 3 recoil\": gun takes a player (1 or 2) and start, stop, recoil, motor, lamp or pulse"},
        {"gun 1 fire", "\"gun 1 fire\": gun takes a player (1 or 2) and start, stop, recoil, motor, lamp or pulse"},
        {"gun 1", "\"gun 1\": gun needs an action"},
        {"gun P1 recoil", "\"gun P1 recoil\": \"P1\" is no port number (1 to 255)"},
    };
    for (const Case& c : cases) {
        const ParsedFeedbackLine parsed = ParseFeedbackLine(c.line);
        EXPECT_EQ(parsed.problem, c.says) << c.line.substr(0, 40);
        EXPECT_TRUE(parsed.alternatives.empty()) << c.line.substr(0, 40);
    }
}

TEST(FeedbackFile, AFileGivesStartStopAndEachOutputItsNotesForWhatItCannotTake) {
    const std::string text = "[General]\r\nMameStart=cmo 1 baud=9600_parity=N_data=8_stop=1,cmw 1 S\r\nMameStop=cmw 1 E,cmc 1\r\n"
                             "StateChange=\r\nOnRotate=cmw 1 X\r\n"
                             "[KeyStates]\r\nRefreshTime=20\r\n"
                             "[Output]\r\nP1_CtmRecoil=cmw 1 F0x%s%\r\np1_lmpstart=cmw 1 F3x0|cmw 1 F3x2x1\r\n"
                             "P2_CtmRecoil=cmq 2 F0x1\r\nP1_CtmRecoil=cmw 1 again\r\nP2_GunMotor=\r\n"
                             "P2_Damaged=cmw 1 " + std::string(300, 'x') + "\r\n";
    const FeedbackFile file = ParseFeedbackFile(text);
    EXPECT_EQ(file.start, (FeedbackCommands{{Kind::Open, 1, "baud=9600_parity=N_data=8_stop=1"}, {Kind::Write, 1, "S"}}));
    EXPECT_EQ(file.stop, (FeedbackCommands{{Kind::Write, 1, "E"}, {Kind::Close, 1, ""}}));
    ASSERT_EQ(file.outputs.size(), 2u);  // the bad line, the repeated one, the empty one and the long one are not taken
    EXPECT_EQ(file.outputs.at("p1_ctmrecoil").alternatives, (std::vector<FeedbackCommands>{{{Kind::Write, 1, "F0x%s%"}}}));
    EXPECT_EQ(file.outputs.at("p1_lmpstart").alternatives.size(), 2u);
    EXPECT_EQ(file.notes, (std::vector<std::string>{
                              "line 11: [Output] P2_CtmRecoil \"cmq 2 F0x1\" is no command (cmo, cmw, cmc, css, tcw, gun or nll): it does nothing",
                              "line 12: [Output] P1_CtmRecoil appears again: only the first is taken: it does nothing",
                              "line 14: [Output] P2_Damaged is longer than 254 characters: it does nothing"}));
    EXPECT_EQ(ParseFeedbackFile("[General]\nMameStart=cmw 1 S|cmw 1 T\n").notes,
              std::vector<std::string>{"line 2: [General] MameStart has alternatives by value, which a start or stop has none of: it does nothing"});
    EXPECT_TRUE(ParseFeedbackFile(std::string("\xFF\xFE[\0O\0", 6)).outputs.empty());  // any bytes: nothing, no failure
}

TEST(FeedbackFile, AValueChoosesItsAlternativeAndOneShortOfItDoesNothing) {
    const FeedbackAction one{{{{Kind::Write, 1, "F0x%s%"}}}};
    const FeedbackAction two{{{{Kind::Write, 1, "F3x0"}}, {{Kind::Write, 1, "F3x2x1"}}}};
    struct Case {
        const FeedbackAction* action;
        long long value;
        const char* firstText;  // null: no commands
        const char* problem;
    };
    const Case cases[] = {
        {&one, 0, "F0x%s%", ""},   {&one, 7, "F0x%s%", ""},  {&one, -1, "F0x%s%", ""},
        {&two, 0, "F3x0", ""},     {&two, 1, "F3x2x1", ""},
        {&two, 2, nullptr, "has no alternative for the value 2 (it has 2)"},
        {&two, -1, nullptr, "has no alternative for the value -1 (it has 2)"},
    };
    for (const Case& c : cases) {
        const ChosenFeedback chosen = ChooseFeedback(*c.action, c.value);
        EXPECT_EQ(chosen.problem, c.problem) << c.value;
        if (c.firstText) {
            ASSERT_NE(chosen.commands, nullptr);
            EXPECT_EQ(chosen.commands->front().text, c.firstText);
        } else {
            EXPECT_EQ(chosen.commands, nullptr);
        }
    }
}

TEST(FeedbackFile, PlaceholdersTakeTheValueAndOtherOutputsTheRestStaysAsItIs) {
    const OutputValueLookup others = [](std::string_view name) -> std::optional<long long> {
        if (name == "P2_Ammo") return 12;
        return std::nullopt;
    };
    struct Case {
        const char* text;
        long long value;
        const char* expanded;
    };
    const Case cases[] = {
        {"F0x%s%", 1, "F0x1"},
        {"F0x%s%x%s%", -3, "F0x-3x-3"},
        {"FB.2.1.%P2_Ammo%.1", 0, "FB.2.1.12.1"},
        {"%P9_Life%", 0, "0"},          // an output the game does not have reads 0
        {"50%", 1, "50%"},              // a lone % is a byte
        {"a%%s%", 5, "a%5"},            // "%%" starts no name: the first is a byte
        {"x% y%s%", 2, "x% y2"},        // a blank is no part of a name
        {"", 1, ""},
    };
    for (const Case& c : cases) EXPECT_EQ(ExpandFeedbackText(c.text, c.value, others), c.expanded) << c.text;
    EXPECT_EQ(ExpandFeedbackText("%Other%", 1, nullptr), "0");
}

}  // namespace
}  // namespace vt2::test
