#include <gtest/gtest.h>

#include "engine/input_map.h"
#include "engine/window_caption.h"
#include "engine/window_style.h"
#include "support/fake_platform.h"

namespace vt2::test {
namespace {

class WindowStyle : public ::testing::Test {
protected:
    void SetUp() override {
        sys.engine.state.gameWindow = sys.windows.addWindow({"Game", "Game", 1, 0x16CF0000});
    }
    FakeSystem sys;
};

TEST_F(WindowStyle, RemovingTheBorderKeepsOnlyTheVisibleBitThenMovesTheWindow) {
    RemoveWindowBorder(sys.engine);
    EXPECT_EQ(sys.log, (EventLog{"set style 10000000", "move to top left 1"}));
    sys.windows.window(1).style = 0x04CF0000;  // a hidden window stays hidden
    RemoveWindowBorder(sys.engine);
    EXPECT_EQ(sys.windows.window(1).style, 0u);
}

TEST_F(WindowStyle, NoBorderInTheDescriptorRemovesTheBorderAtLoad) {
    sys.folder.writeFile("memcfg\\g.ini", "[Info]\r\nNoBorder=1\r\n");
    LoadInputMap(sys.engine, "g");
    EXPECT_EQ(sys.eventsStartingWith("set style").size(), 1u);
}

TEST_F(WindowStyle, NoBorderZeroMissingOrNotANumberLeavesTheBorder) {
    for (const char* value : {"0", "", "abc"}) {
        sys.folder.writeFile("memcfg\\g.ini", std::string("[Info]\r\nNoBorder=") + value + "\r\n");
        LoadInputMap(sys.engine, "g");
    }
    EXPECT_TRUE(sys.eventsStartingWith("set style").empty());
}

TEST_F(WindowStyle, AnyNonZeroNoBorderCountsAndDefaultIniStandsInForAMissingDescriptor) {
    sys.folder.writeFile("memcfg\\default.ini", "[Info]\r\nNoBorder=&H2\r\n");
    LoadInputMap(sys.engine, "nogame");
    EXPECT_EQ(sys.eventsStartingWith("set style").size(), 1u);
}

TEST_F(WindowStyle, TheTwinStickGameIgnoresNoBorder) {
    sys.engine.state.descriptor.GameType = "VON";
    sys.folder.writeFile("memcfg\\von.ini", "[Info]\r\nNoBorder=1\r\n");
    LoadInputMap(sys.engine, "von");
    EXPECT_TRUE(sys.eventsStartingWith("set style").empty());
}

TEST(WindowCaption, AtMostNinetyNineCharactersWithoutNuls) {
    EventLog log;
    FakeWindowSystem windows(log);
    const WindowHandle w = windows.addWindow({"C", std::string(150, 'c'), 1, 0});
    EXPECT_EQ(GetWindowCaption(windows, w), std::string(99, 'c'));
    windows.window(w).caption = std::string("a\0b", 3);
    EXPECT_EQ(GetWindowCaption(windows, w), "ab");
    windows.window(w).exists = false;
    EXPECT_EQ(GetWindowCaption(windows, w), "");
}

}  // namespace
}  // namespace vt2::test
