// What the portable writer keeps beyond the contract: every other line byte for byte, so a user's
// comments and layout survive a save.
#include <gtest/gtest.h>

#include "adapters/portable/portable_ini_files.h"
#include "support/fake_platform.h"

namespace vt2::test {
namespace {

TEST(PortableIniWriter, KeepsOtherLinesCommentsAndBlankLinesExactly) {
    TempProgramFolder folder;
    folder.writeFile("a.ini", "; my notes\r\n[Info]\r\nName = Demo Game\r\nLaunchGame=0\r\n\r\n[Inputs]\r\nP1XAddr=1\r\n");
    PortableIniFiles ini;
    ASSERT_TRUE(ini.writeString(folder.path() + "\\a.ini", "INFO", "launchgame", "1"));
    EXPECT_EQ(folder.readFile("a.ini"),
              "; my notes\r\n[Info]\r\nName = Demo Game\r\nLaunchGame=1\r\n\r\n[Inputs]\r\nP1XAddr=1\r\n");
}

TEST(PortableIniWriter, NewKeyGoesAfterTheLastKeyOfItsSectionBeforeBlankLines) {
    TempProgramFolder folder;
    folder.writeFile("a.ini", "[Info]\r\nName=Demo\r\n\r\n[Inputs]\r\nP1XAddr=1\r\n");
    PortableIniFiles ini;
    ASSERT_TRUE(ini.writeString(folder.path() + "\\a.ini", "Info", "ExePath", "C:\\g\\"));
    EXPECT_EQ(folder.readFile("a.ini"), "[Info]\r\nName=Demo\r\nExePath=C:\\g\\\r\n\r\n[Inputs]\r\nP1XAddr=1\r\n");
}

TEST(PortableIniWriter, NewSectionIsAppendedAtTheEnd) {
    TempProgramFolder folder;
    folder.writeFile("a.ini", "[Info]\nName=Demo");
    PortableIniFiles ini;
    ASSERT_TRUE(ini.writeString(folder.path() + "\\a.ini", "keys", "P1StartKey", "49"));
    EXPECT_EQ(folder.readFile("a.ini"), "[Info]\r\nName=Demo\r\n[keys]\r\nP1StartKey=49\r\n");
}

TEST(PortableIniText, AUnicodeFileIsReadInTheAnsiCodePageAndWrittenBackInItsOwnEncoding) {
    MemoryIniFiles ini;
    ini.files["u.ini"] = "\xEF\xBB\xBF[S]\r\nK=\xC3\xA9t\xC3\xA9 \xE2\x82\xAC \xE4\xB8\x80\r\n";  // "été € 一"
    EXPECT_EQ(ini.readString("u.ini", "S", "K", 255), "\xE9t\xE9 \x80 ?");  // Windows-1252, "?" where it has none
    ASSERT_TRUE(ini.writeString("u.ini", "S", "N", "\xE9"));
    EXPECT_EQ(ini.readString("u.ini", "S", "N", 255), "\xE9");
    EXPECT_NE(ini.files["u.ini"].find("N=\xC3\xA9\r\n"), std::string::npos);  // stored as UTF-8
    ini.files["a.ini"] = "[S]\r\nK=\xE9t\xE9\r\n";  // without a mark the bytes are the code page's own
    EXPECT_EQ(ini.readString("a.ini", "S", "K", 255), "\xE9t\xE9");
    ini.files["bad.ini"] = "\xEF\xBB\xBF[S]\r\nK=a\xFF" "b\r\n";  // no UTF-8 at all after the mark
    EXPECT_EQ(ini.readString("bad.ini", "S", "K", 255), "a?b");
}

TEST(PortableIniText, AMissingFileInMemoryReadsEmptyAndAWriteMakesIt) {
    MemoryIniFiles ini;
    EXPECT_EQ(ini.readString("none.ini", "S", "K", 255), "");
    ASSERT_TRUE(ini.writeString("new.ini", "S", "K", "v"));
    EXPECT_EQ(ini.files["new.ini"], "[S]\r\nK=v\r\n");
}

}  // namespace
}  // namespace vt2::test
