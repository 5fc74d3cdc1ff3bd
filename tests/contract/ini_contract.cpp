#include "contract/ini_contract.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "common/ini.h"
#include "common/ini_lines.h"

namespace vt2::test {
namespace {

using namespace std::string_literals;

class IniContract : public ::testing::Test {
protected:
    void SetUp() override {
        ini_ = MakeIniFilesUnderTest();
        folder_ = std::filesystem::temp_directory_path() / ("vt2-ini-" + std::to_string(std::random_device{}()));
        std::filesystem::create_directories(folder_);
    }
    void TearDown() override {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }

    // An absolute path in the form the program passes to the profile functions.
    std::string file(const std::string& name) const { return (folder_ / name).string(); }
    void write(const std::string& name, const std::string& content) const {
        std::ofstream out(folder_ / name, std::ios::binary | std::ios::trunc);
        out << content;
    }
    std::string content(const std::string& name) const {
        std::ifstream in(folder_ / name, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }
    std::string read(const std::string& name, const std::string& section, const std::string& key,
                     std::size_t buffer = kIniReadBufferChars) {
        const std::string value = ini_->readString(file(name), section, key, buffer);
        // The descriptor checker must see every value as the run reads it, whatever the file's form.
        if (buffer == kIniReadBufferChars) {
            EXPECT_EQ(IniEntries(content(name)).value(section, key), value)
                << "the checker reads [" << section << "] " << key << " of " << name << " otherwise than the run";
        }
        return value;
    }

    std::unique_ptr<IniFiles> ini_;
    std::filesystem::path folder_;
};

TEST_F(IniContract, MissingFileSectionOrKeyReadsEmpty) {
    write("a.ini", "[Info]\r\nName=Demo\r\n");
    EXPECT_EQ(read("none.ini", "Info", "Name"), "");
    EXPECT_EQ(read("a.ini", "Other", "Name"), "");
    EXPECT_EQ(read("a.ini", "Info", "Missing"), "");
}

TEST_F(IniContract, SectionAndKeyNamesIgnoreCase) {
    write("a.ini", "[Info]\r\nWinClass=MYWIN\r\n");
    EXPECT_EQ(read("a.ini", "INFO", "winclass"), "MYWIN");
    EXPECT_EQ(read("a.ini", "info", "WINCLASS"), "MYWIN");
}

TEST_F(IniContract, BlanksAroundNamesAndValuesAreIgnoredInnerBlanksKept) {
    write("a.ini", "[Info]\r\n  Name  =  Demo  Game  \r\nPath=\\games\\\r\n");
    EXPECT_EQ(read("a.ini", "Info", "Name"), "Demo  Game");
    EXPECT_EQ(read("a.ini", "Info", "Path"), "\\games\\");
}

TEST_F(IniContract, ValueInMatchingQuotesReadsWithoutThem) {
    write("a.ini", "[S]\r\nDouble=\"a b\"\r\nSingle='c'\r\nBars=swd|10|20|30|40\r\n");
    EXPECT_EQ(read("a.ini", "S", "Double"), "a b");
    EXPECT_EQ(read("a.ini", "S", "Single"), "c");
    EXPECT_EQ(read("a.ini", "S", "Bars"), "swd|10|20|30|40");
}

TEST_F(IniContract, ValueIsCutToOneLessThanTheBuffer) {
    const std::string longValue(300, 'x');
    write("a.ini", "[S]\r\nLong=" + longValue + "\r\nTen=0123456789\r\n");
    EXPECT_EQ(read("a.ini", "S", "Long"), std::string(254, 'x'));
    EXPECT_EQ(read("a.ini", "S", "Ten", 10), "012345678");
    EXPECT_EQ(read("a.ini", "S", "Ten", 11), "0123456789");
}

TEST_F(IniContract, FirstOfRepeatedKeysAndSectionsCounts) {
    write("a.ini", "[Info]\r\nDup=1\r\nDup=2\r\n[info]\r\nDup=9\r\nLate=3\r\n");
    EXPECT_EQ(read("a.ini", "Info", "Dup"), "1");
    EXPECT_EQ(read("a.ini", "Info", "Late"), "");
}

TEST_F(IniContract, KeyWithoutEqualsSignReadsEmpty) {
    write("a.ini", "[S]\r\nLonely\r\nAfter=1\r\n");
    EXPECT_EQ(read("a.ini", "S", "Lonely"), "");
    EXPECT_EQ(read("a.ini", "S", "After"), "1");
}

TEST_F(IniContract, UnixLineEndingsReadTheSame) {
    write("a.ini", "[Info]\nName=Demo\n[Inputs]\nP1XAddr=&H1000\n");
    EXPECT_EQ(read("a.ini", "Info", "Name"), "Demo");
    EXPECT_EQ(read("a.ini", "Inputs", "P1XAddr"), "&H1000");
}

TEST_F(IniContract, ACarriageReturnOrALineFeedAloneOrInEitherOrderEndsALine) {
    write("cr.ini", "[S]\rA=1\rB=2\r[T]\rC=3\r");
    write("lfcr.ini", "[S]\n\rA=1\n\rB=2\n\r[T]\n\rC=3\n\r");
    write("mixed.ini", "[S]\r\nA=1\rB=2\r\nC=3\r\r\n[T]\nC=4\n");
    for (const char* name : {"cr.ini", "lfcr.ini", "mixed.ini"}) {
        EXPECT_EQ(read(name, "S", "A"), "1") << name;
        EXPECT_EQ(read(name, "S", "B"), "2") << name;
    }
    EXPECT_EQ(read("cr.ini", "T", "C"), "3");
    EXPECT_EQ(read("lfcr.ini", "T", "C"), "3");
    EXPECT_EQ(read("mixed.ini", "S", "C"), "3");
    EXPECT_EQ(read("mixed.ini", "T", "C"), "4");
}

TEST_F(IniContract, AHeaderNeedsItsClosingBracketAndTheLastBracketClosesIt) {
    write("a.ini", "[S\r\nA=1\r\n[a]b]\r\nK=1\r\n[ c ]d\r\nL=2\r\n");
    EXPECT_EQ(read("a.ini", "S", "A"), "");  // "[S" opens no section
    EXPECT_EQ(read("a.ini", "a]b", "K"), "1");
    EXPECT_EQ(read("a.ini", "a", "K"), "");
    EXPECT_EQ(read("a.ini", "c", "L"), "2");  // what follows the bracket does not count
}

TEST_F(IniContract, KeysBeforeTheFirstHeaderAreTheNamelessSectionAnEmptyHeaderIsNotIt) {
    write("a.ini", "K=0\r\n[S]\r\nL=1\r\n[]\r\nM=2\r\n");
    EXPECT_EQ(read("a.ini", "", "K"), "0");
    EXPECT_EQ(read("a.ini", "", "M"), "");
    EXPECT_EQ(read("a.ini", "S", "M"), "");  // the empty header ends [S]
    EXPECT_EQ(read("a.ini", "S", "K"), "");
}

TEST_F(IniContract, ANulEndsANameOrAValue) {
    write("a.ini", std::string("[S]\r\nK=ab\0cd\r\nN\0X=ef\r\nL=2\r\n[T\0U]\r\nM=3\r\n", 39));
    EXPECT_EQ(read("a.ini", "S", "K"), "ab");
    EXPECT_EQ(read("a.ini", "S", "N"), "ef");
    EXPECT_EQ(read("a.ini", "S", "L"), "2");
    EXPECT_EQ(read("a.ini", "T", "M"), "3");
}

TEST_F(IniContract, AByteOrderMarkIsNoPartOfTheFirstLine) {
    write("utf8.ini", "\xEF\xBB\xBF[S]\r\nK=1\r\n");
    write("utf8key.ini", "\xEF\xBB\xBFK=0\r\n[S]\r\nK=1\r\n");
    write("utf16.ini", std::string("\xFF\xFE[\0S\0]\0\r\0\n\0K\0=\0""1\0\r\0\n\0", 20));
    EXPECT_EQ(read("utf8.ini", "S", "K"), "1");
    EXPECT_EQ(read("utf8key.ini", "", "K"), "0");
    EXPECT_EQ(read("utf8key.ini", "S", "K"), "1");
    EXPECT_EQ(read("utf16.ini", "S", "K"), "1");
    std::string bigEndian = "\xFE\xFF";
    for (char c : std::string("[S]\r\nK=2\r\n")) bigEndian += std::string(1, '\0') + c;
    write("utf16be.ini", bigEndian);
    EXPECT_EQ(read("utf16be.ini", "S", "K"), "2");
}

TEST_F(IniContract, TheNoBreakSpaceIsNoBlankAndANameCutByANulKeepsItsBlanks) {
    write("a.ini", "[S]\r\nk=\xA0v\r\nm=w\xA0\r\nn \0x=2\r\n"s);
    EXPECT_EQ(read("a.ini", "S", "k"), "\xA0v");
    EXPECT_EQ(read("a.ini", "S", "m"), "w\xA0");
    EXPECT_EQ(read("a.ini", "S", "n"), "");  // the name is "n ", cut at the NUL after its blank
}

TEST_F(IniContract, CtrlZIsABlank) {
    write("a.ini", "[S]\r\nK=1\x1A\r\n\x1AL=2\r\n");
    EXPECT_EQ(read("a.ini", "S", "K"), "1");
    EXPECT_EQ(read("a.ini", "S", "L"), "2");
}

TEST_F(IniContract, WhatIsWrittenIsReadBackWhateverTheLineEnds) {
    write("a.ini", "[S]\r\nA=1\rB=2\r\nC=3\r\n");
    ASSERT_TRUE(ini_->writeString(file("a.ini"), "S", "B", "9"));
    EXPECT_EQ(read("a.ini", "S", "A"), "1");
    EXPECT_EQ(read("a.ini", "S", "B"), "9");
    EXPECT_EQ(read("a.ini", "S", "C"), "3");
    ASSERT_TRUE(ini_->writeString(file("a.ini"), "S", "A", "7"));
    EXPECT_EQ(read("a.ini", "S", "A"), "7");
    EXPECT_EQ(read("a.ini", "S", "B"), "9");
    write("b.ini", "[S]\rA=1\rB=2\r");
    ASSERT_TRUE(ini_->writeString(file("b.ini"), "S", "N", "5"));
    EXPECT_EQ(read("b.ini", "S", "N"), "5");
    EXPECT_EQ(read("b.ini", "S", "B"), "2");
    write("c.ini", "\xEF\xBB\xBF[S]\r\nA=1\r\n");
    ASSERT_TRUE(ini_->writeString(file("c.ini"), "S", "A", "8"));
    EXPECT_EQ(read("c.ini", "S", "A"), "8");
    EXPECT_EQ(content("c.ini").substr(0, 3), "\xEF\xBB\xBF");  // still a UTF-8 file
}

TEST_F(IniContract, ASectionReadAtOnceAnswersEveryKeyAsTheKeyReadAloneDoes) {
    const std::string longValue(300, 'v');
    write("a.ini", "[Before]\r\nOutput1Name=wrong\r\n[Outputs]\r\n  Output1Name  =  \"lamp\"  \r\nOutput1Type=byte\r\n"
                   "Lonely\r\nOutput1Type=dup\r\nOUTPUT2ADDR=&H10\r\nEmpty=\r\nQuote='x'\r\nHalf=\"y\r\nLong=" + longValue +
                   "\r\nTab=\tt\t\r\nCtrlZ=z\x1A\r\n" + "Cut=byte \0junk\r\n"s +
                   "[After]\r\nOutput3Name=next\r\n");
    const std::string path = file("a.ini");
    const IniSection section = IniSection::Read(*ini_, path, "outputs");
    for (const char* key : {"Output1Name", "output1type", "Lonely", "Output2Addr", "Empty", "Quote", "Half", "Long", "Tab",
                            "CtrlZ", "Cut", "Output3Name", "Missing"}) {
        EXPECT_EQ(section.value(key, false), ReadIniValue(*ini_, path, "Outputs", key, false)) << key;
        EXPECT_EQ(section.value(key, true), ReadIniValue(*ini_, path, "Outputs", key, true)) << key;
    }
    EXPECT_EQ(section.value("Output1Name", false), "lamp");
    EXPECT_EQ(section.value("Output1Type", false), "byte");
    EXPECT_EQ(section.value("Cut", false), "byte ");  // trimmed, then cut at the NUL
    EXPECT_EQ(IniSection::Read(*ini_, path, "Missing").value("Output1Name", true), "0");
    EXPECT_EQ(IniSection::Read(*ini_, file("none.ini"), "Outputs").value("Output1Name", false), "");
}

TEST_F(IniContract, WriteCreatesFileSectionAndKey) {
    ASSERT_TRUE(ini_->writeString(file("new.ini"), "Paths", "M2Path", "C:\\emu\\"));
    EXPECT_EQ(read("new.ini", "Paths", "M2Path"), "C:\\emu\\");
    ASSERT_TRUE(ini_->writeString(file("new.ini"), "Other", "K", "v"));
    EXPECT_EQ(read("new.ini", "Other", "K"), "v");
    EXPECT_EQ(read("new.ini", "Paths", "M2Path"), "C:\\emu\\");
}

TEST_F(IniContract, WriteChangesOneKeyAndLeavesEveryOtherAsItWas) {
    write("a.ini",
          "[Info]\r\nName=Demo\r\nExeName=game.exe\r\nLaunchGame=0\r\n\r\n"
          "[Inputs]\r\nP1XAddr=&H1000\r\nP1XType=integer\r\n");
    ASSERT_TRUE(ini_->writeString(file("a.ini"), "info", "LAUNCHGAME", "1"));
    ASSERT_TRUE(ini_->writeString(file("a.ini"), "Info", "ExePath", "C:\\games\\"));
    EXPECT_EQ(read("a.ini", "Info", "LaunchGame"), "1");
    EXPECT_EQ(read("a.ini", "Info", "ExePath"), "C:\\games\\");
    EXPECT_EQ(read("a.ini", "Info", "Name"), "Demo");
    EXPECT_EQ(read("a.ini", "Info", "ExeName"), "game.exe");
    EXPECT_EQ(read("a.ini", "Inputs", "P1XAddr"), "&H1000");
    EXPECT_EQ(read("a.ini", "Inputs", "P1XType"), "integer");
    // The changed key was replaced, not added a second time, and the new key sits in its section.
    const std::string text = content("a.ini");
    EXPECT_EQ(text.find("LaunchGame=0"), std::string::npos);
    EXPECT_EQ(text.find("LaunchGame=1"), text.rfind("LaunchGame=1"));
    EXPECT_LT(text.find("ExePath="), text.find("[Inputs]"));
}

TEST_F(IniContract, WriteIntoAMissingFolderFailsAndCreatesNothing) {
    const std::string path = (folder_ / "no-such-folder" / "x.ini").string();
    EXPECT_FALSE(ini_->writeString(path, "S", "k", "v"));
    EXPECT_FALSE(std::filesystem::exists(folder_ / "no-such-folder"));
}

TEST_F(IniContract, NumericReadOfNothingGivesZeroTextReadGivesEmpty) {
    write("a.ini", "[S]\r\nBlank=   \r\nZero=0\r\nText=abc\r\n");
    const std::string path = file("a.ini");
    EXPECT_EQ(ReadIniValue(*ini_, path, "S", "Missing", true), "0");
    EXPECT_EQ(ReadIniValue(*ini_, path, "S", "Missing", false), "");
    EXPECT_EQ(ReadIniValue(*ini_, path, "S", "Blank", true), "0");
    EXPECT_EQ(ReadIniValue(*ini_, path, "S", "Zero", false), "0");
    EXPECT_EQ(ReadIniValue(*ini_, path, "S", "Text", true), "abc");
    EXPECT_EQ(ReadIniValue(*ini_, file("none.ini"), "S", "Text", true), "0");
}

TEST_F(IniContract, WriteIniValueThenReadIniValueRoundTrips) {
    const std::string path = file("b.ini");
    WriteIniValue(*ini_, path, "Player1", "MouseAccel", "18");
    WriteIniValue(*ini_, path, "Player1", "InputType", "lightgun");
    EXPECT_EQ(ReadIniValue(*ini_, path, "player1", "mouseaccel", true), "18");
    EXPECT_EQ(ReadIniValue(*ini_, path, "PLAYER1", "INPUTTYPE", false), "lightgun");
}

}  // namespace
}  // namespace vt2::test
