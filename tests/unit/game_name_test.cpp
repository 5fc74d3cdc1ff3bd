#include <gtest/gtest.h>

#include "common/game_name.h"

namespace vt2 {
namespace {

TEST(GameName, OnePairOfQuotesAroundTheWholeTextIsTakenOff) {
    EXPECT_EQ(GameNameFromArguments("\"my odd game\""), "my odd game");
    EXPECT_EQ(GameNameFromArguments("my odd game"), "my odd game");
    EXPECT_EQ(GameNameFromArguments("\"\"demo\"\""), "\"demo\"");  // one pair only
    EXPECT_EQ(GameNameFromArguments("\"demo"), "\"demo");          // not a pair
    EXPECT_EQ(GameNameFromArguments("\""), "\"");
    EXPECT_EQ(GameNameFromArguments("\"\""), "");
}

TEST(GameName, PlainFileNamesAreUsable) {
    for (const char* name : {"demo", "house of the dead", "hotd2", "Virtua Cop 2 (rev. A)", "a.b", "con game",
                             "nul2", "com10", "lpt0", "COM", "x.con"}) {
        EXPECT_TRUE(IsUsableGameName(name)) << name;
    }
    EXPECT_TRUE(IsUsableGameName(std::string(251, 'g')));   // "<name>.ini": 255 characters
    EXPECT_FALSE(IsUsableGameName(std::string(252, 'g')));  // no file can have that name
}

TEST(GameName, PathsDrivesDevicesAndForbiddenCharactersAreNot) {
    for (const char* name : {"", "..\\..\\x", "../../x", "a..b", "..", "sub\\demo", "sub/demo", "C:demo", "a:b", "a*b",
                             "a?b", "a\"b", "a<b", "a>b", "a|b", "tab\there", "CON", "con", "NUL", "nul.txt", "Aux",
                             "PRN", "COM1", "com9", "LPT1", "lpt9.ini", "CON ", "con .x", "CONIN$", "conout$"}) {
        EXPECT_FALSE(IsUsableGameName(name)) << name;
    }
}

}  // namespace
}  // namespace vt2
