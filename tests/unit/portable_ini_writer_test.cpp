// What the portable writer keeps beyond the contract: every other line byte for byte, so a user's
// comments and layout survive a save.
#include <gtest/gtest.h>

#include "platform/portable/portable_ini_files.h"
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

}  // namespace
}  // namespace vt2::test
