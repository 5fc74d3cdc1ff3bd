#include <gtest/gtest.h>

#include "common/command_line.h"
#include "common/numbers.h"
#include "common/text.h"

namespace vt2 {
namespace {

TEST(WholeNumberText, DecimalWithSignAndBlanks) {
    EXPECT_EQ(ParseWholeNumber("0"), 0);
    EXPECT_EQ(ParseWholeNumber("-1"), -1);
    EXPECT_EQ(ParseWholeNumber(" 42 "), 42);
    EXPECT_EQ(ParseWholeNumber("+7"), 7);
    EXPECT_EQ(ParseWholeNumber("4294967295"), 4294967295LL);
}

TEST(WholeNumberText, HexadecimalWithEitherCaseOfH) {
    EXPECT_EQ(ParseWholeNumber("&H90"), 0x90);
    EXPECT_EQ(ParseWholeNumber("&h90"), 0x90);
    EXPECT_EQ(ParseWholeNumber("&H5A3B00"), 0x5A3B00);
    EXPECT_EQ(ParseWholeNumber("&Hffffffff"), 0xFFFFFFFFLL);  // the bit pattern, not -1
}

TEST(WholeNumberText, RejectsWhatIsNotAWholeNumber) {
    for (const char* text : {"", " ", "abc", "12abc", "1.5", "&H", "&HXYZ", "&H123456789", "0x10", "--1", "1 2"}) {
        EXPECT_FALSE(ParseWholeNumber(text).has_value()) << text;
    }
}

TEST(NumberText, AcceptsFractionsAndHexRejectsTheRest) {
    EXPECT_EQ(ParseNumber("1"), 1.0);
    EXPECT_EQ(ParseNumber("0.5"), 0.5);
    EXPECT_EQ(ParseNumber("-.25"), -0.25);
    EXPECT_EQ(ParseNumber("&H10"), 16.0);
    for (const char* text : {"", "abc", "1e3", "inf", "nan", ".", "-", "1.2.3", "1-"}) {
        EXPECT_FALSE(ParseNumber(text).has_value()) << text;
    }
}

TEST(Text, SplitKeepsEmptyFields) {
    EXPECT_EQ(SplitText("a|b|c", '|'), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(SplitText("||&H100", '|'), (std::vector<std::string>{"", "", "&H100"}));
    EXPECT_EQ(SplitText("", '|'), (std::vector<std::string>{""}));
    EXPECT_EQ(SplitText("a|", '|'), (std::vector<std::string>{"a", ""}));
}

TEST(Text, CaseAndNulHelpers) {
    EXPECT_EQ(ToLowerAscii("LightGun"), "lightgun");
    EXPECT_TRUE(EqualsIgnoreCase("Emulator.EXE", "emulator.exe"));
    EXPECT_FALSE(EqualsIgnoreCase("emulator.exe", "emulator.ex"));
    EXPECT_EQ(RemoveNulCharacters(std::string("a\0b\0", 4)), "ab");
    EXPECT_EQ(TrimBlanks(" \t x y \t"), "x y");
}

TEST(CommandLine, ArgumentsAreEverythingAfterTheProgramNameAsOneText) {
    EXPECT_EQ(CommandLineArguments("VT2.exe"), "");
    EXPECT_EQ(CommandLineArguments("VT2.exe   "), "");
    EXPECT_EQ(CommandLineArguments("VT2.exe demo"), "demo");
    EXPECT_EQ(CommandLineArguments("\"C:\\Program Files\\VT2\\VT2.exe\" house of the dead"), "house of the dead");
    EXPECT_EQ(CommandLineArguments("C:\\VT2\\VT2.exe  two  blanks "), "two  blanks ");
    EXPECT_EQ(CommandLineArguments("\"VT2.exe\""), "");
    EXPECT_EQ(CommandLineArguments(""), "");
}

}  // namespace
}  // namespace vt2
