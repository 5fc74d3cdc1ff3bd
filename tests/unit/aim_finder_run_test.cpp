// What the aim finder writes around the keys: the runners-up of its scan at the descriptor's end.
#include <gtest/gtest.h>

#include <functional>

#include "common/ini.h"
#include "engine/aim_finder_run.h"
#include "engine/exit_codes.h"
#include "memory/memory_snapshot.h"
#include "support/fake_platform.h"

namespace vt2::test {
namespace {

// A second scan replaces the first one's runners-up; the player's own comments and lines stay.
TEST(AimFinderRunnersUp, AnEarlierScansRunnersUpGiveWayToThisOnesAndNothingElseIsTouched) {
    const std::string fresh = "; runner-up for P1X: &H100 long Multi 639 Offset 0 (misses by 0.00 %)\r\n";
    const struct {
        const char* text;
        std::string comments;
        std::string written;
    } cases[] = {
        {"[Info]\r\nName=G\r\n", fresh, "[Info]\r\nName=G\r\n" + fresh},
        {"[Info]\r\nName=G", fresh, "[Info]\r\nName=G\r\n" + fresh},  // no line end at the end
        {"", fresh, fresh},
        {"[Inputs]\r\n; my note\r\n; runner-up for P1Y: &H8 byte Multi 1 Offset 0\r\nP1XAddr=&H10\r\n"
         "; runner-up for P1X: &H4 byte Multi 1 Offset 0",
         fresh, "[Inputs]\r\n; my note\r\nP1XAddr=&H10\r\n" + fresh},
        {"[Inputs]\r\n; runner-up for P1X: old\r\n", "", "[Inputs]\r\n"},  // none this time: the old go too
        {"[Inputs]\n  ; runner-up for P1X: indented, the player's\n", "", "[Inputs]\n  ; runner-up for P1X: indented, the player's\n"},
    };
    for (const auto& c : cases) EXPECT_EQ(WithRunnersUp(c.text, c.comments), c.written) << c.text;
}

// A game whose mouse object lies on its heap at 0x500000 (x and y as longs at +8 and +12, the
// buttons' byte at +16), reached from the program's statics at 0x400010 when `pointed`.
struct FollowingGame {
    explicit FollowingGame(bool pointed, std::vector<ModuleEntry> modules = {{"game.exe", 0x400000, "", 0x1000}}) {
        sys.folder.writeFile("memcfg\\g.ini", kDescriptor);
        sys.windows.addWindow({"GameClass", "Game", 7, 0, true, {100, 50, 740, 530}});
        sys.modules.modules[7] = std::move(modules);
        FakeGameProcess& game = sys.memory.processes[7];
        game.map(0x400000, 0x100);
        game.map(0x500000, 0x20);
        if (pointed) game.putLong(0x400010, 0x500000);
        sys.input.cursorAt = {3, 4};
        sys.input.onCursor = [&game](int x, int y) {
            game.putLong(0x500008, static_cast<std::uint32_t>(x - 100));
            game.putLong(0x50000C, static_cast<std::uint32_t>(y - 50));
        };
        sys.input.onMouse = [&game](std::uint32_t flags) {
            std::uint8_t& buttons = game.bytes[0x500010];
            if (flags & 0x2) buttons |= 1;
            if (flags & 0x4) buttons &= ~1;
            if (flags & 0x8) buttons |= 2;
            if (flags & 0x10) buttons &= ~2;
        };
    }
    AimFinderOutcome find(const AimFinderProgress& progress = {}) {
        const AimFinderServices os{sys.windows, sys.memory, sys.modules, sys.input, sys.clock, sys.files, sys.ini};
        return FindAimAddresses(os, sys.folder.path(), "g", progress);
    }
    std::string key(const std::string& name) {
        return ReadIniValue(sys.ini, sys.folder.path() + "\\memcfg\\g.ini", "Inputs", name, false);
    }
    static constexpr const char* kDescriptor = "[Info]\r\nWinClass=GameClass\r\nExeName=game.exe\r\n[Inputs]\r\nP1XAddr=&H1\r\n";
    FakeSystem sys;
};

// Only what lasts is written: a chain from the program's statics; a heap place without one, or a
// game whose program module is not listed, leaves the file as the player had it.
TEST(AimFinderRun, WritesWhatLastsAndNothingThatHoldsForThisStartOnly) {
    {
        FollowingGame g(true);
        const AimFinderOutcome found = g.find();
        EXPECT_EQ(found.exitCode, 0) << found.report;
        EXPECT_EQ(g.key("P1XPTR"), "&H10||&H8") << found.report;
        EXPECT_EQ(g.key("P1YPTR"), "&H10||&HC");
        EXPECT_EQ(g.key("P1XAddr"), "");
        EXPECT_EQ(g.key("P1XMulti"), "639");
        EXPECT_EQ(g.key("P1TriggerPTR"), "&H10||&H10");
        EXPECT_EQ(g.key("P1TrigerBitMask"), "1");
        EXPECT_EQ(g.key("P1ReloadBitMask"), "2");
        EXPECT_TRUE(g.sys.files.fileExists(g.sys.folder.path() + "\\memcfg\\g.ini.bak"));
    }
    {
        FollowingGame g(false);
        const AimFinderOutcome found = g.find();
        EXPECT_EQ(found.exitCode, 1);
        EXPECT_NE(found.report.find("P1X: a value follows the cursor across at &H500008, which lies on the game's heap"),
                  std::string::npos)
            << found.report;
        EXPECT_NE(found.report.find("Nothing that lasts was found: nothing was written"), std::string::npos) << found.report;
        EXPECT_EQ(g.sys.folder.readFile("memcfg\\g.ini"), FollowingGame::kDescriptor);
        EXPECT_FALSE(g.sys.files.fileExists(g.sys.folder.path() + "\\memcfg\\g.ini.bak"));
    }
    for (const std::vector<ModuleEntry>& listed : {std::vector<ModuleEntry>{},  // the system refused the list
                                                   std::vector<ModuleEntry>{{"other.exe", 0x10000000, "", 0x1000}}}) {
        FollowingGame g(true, listed);
        const AimFinderOutcome found = g.find();
        EXPECT_EQ(found.exitCode, static_cast<int>(ExitCode::ProgramModuleNotFound));
        EXPECT_NE(found.report.find("program module (game.exe) was not found"), std::string::npos) << found.report;
        EXPECT_EQ(g.sys.folder.readFile("memcfg\\g.ini"), FollowingGame::kDescriptor);
        EXPECT_TRUE(g.sys.eventsStartingWith("mouse").empty());  // the player's mouse never taken
        EXPECT_TRUE(g.sys.eventsStartingWith("cursor 4").empty());
    }
}

// The player's file changes in one whole-file write or not at all; each scan keeps the file as it
// was before it, the player's own first; a game that goes mid-scan stops it with nothing written.
TEST(AimFinderRun, TheFileChangesWholeOrNotAtAllAndThePlayersOwnIsKept) {
    {
        FollowingGame g(true);
        ASSERT_EQ(g.find().exitCode, 0);
        const std::string first = g.sys.folder.readFile("memcfg\\g.ini");
        const AimFinderOutcome again = g.find();
        EXPECT_EQ(again.exitCode, 0);
        EXPECT_NE(again.report.find("(the file as it was: memcfg\\g.ini.bak2)"), std::string::npos) << again.report;
        EXPECT_EQ(g.sys.folder.readFile("memcfg\\g.ini.bak"), FollowingGame::kDescriptor);  // the player's own
        EXPECT_EQ(g.sys.folder.readFile("memcfg\\g.ini.bak2"), first);
        EXPECT_FALSE(g.sys.files.fileExists(g.sys.folder.path() + "\\memcfg\\g.ini.vt2scan"));
    }
    {
        // The copy the new text is made in cannot be written (a folder of its name).
        FollowingGame g(true);
        g.sys.folder.writeFile("memcfg\\g.ini.vt2scan\\x", "");
        const AimFinderOutcome found = g.find();
        EXPECT_EQ(found.exitCode, 1);
        EXPECT_NE(found.report.find("nothing was written"), std::string::npos) << found.report;
        EXPECT_EQ(found.report.find("Written into"), std::string::npos) << found.report;
        EXPECT_EQ(g.sys.folder.readFile("memcfg\\g.ini"), FollowingGame::kDescriptor);
        EXPECT_FALSE(g.sys.files.fileExists(g.sys.folder.path() + "\\memcfg\\g.ini.bak"));
    }
    const struct {
        const char* what;
        std::function<void(FakeSystem&)> act;
    } gone[] = {
        {"window closed", [](FakeSystem& sys) { sys.windows.window(1).exists = false; }},
        {"window moved", [](FakeSystem& sys) { sys.windows.window(1).client = {0, 0, 640, 480}; }},
        {"process ended", [](FakeSystem& sys) { sys.memory.processes[7].ended = true; }},
    };
    for (const auto& c : gone) {
        FollowingGame g(true);
        int moves = 0;
        const auto follow = g.sys.input.onCursor;
        g.sys.input.onCursor = [&](int x, int y) {
            follow(x, y);
            if (++moves == 3) c.act(g.sys);
        };
        const AimFinderOutcome found = g.find();
        EXPECT_EQ(found.exitCode, static_cast<int>(ExitCode::GameNotRunning)) << c.what;
        EXPECT_NE(found.report.find("nothing was written"), std::string::npos) << c.what << found.report;
        EXPECT_EQ(g.sys.folder.readFile("memcfg\\g.ini"), FollowingGame::kDescriptor) << c.what;
        EXPECT_EQ(g.sys.input.cursorAt.x, 3) << c.what;  // the cursor back where it stood
        EXPECT_LE(moves, 4) << c.what;  // no more places once the game went
    }
}

// "Stop" is heard between the candidates' searches of the copies too, not only at the steps.
TEST(AimFinderRun, StopIsHeardWhileThePlacesAreWeighed) {
    FollowingGame g(true);
    std::string last;
    int weighing = 0;
    const AimFinderOutcome found = g.find([&](int, const std::string& step) {
        if (step != last) {
            last = step;
            return true;
        }
        return ++weighing < 2;  // the second candidate weighed
    });
    EXPECT_EQ(found.report, "Stopped before the end: nothing was written\r\n");
    EXPECT_EQ(last, "cursor at place 7 of 7");
    EXPECT_EQ(g.sys.folder.readFile("memcfg\\g.ini"), FollowingGame::kDescriptor);
    EXPECT_EQ(g.sys.input.cursorAt.x, 3);
}

// A 32-bit game seen from the 64-bit program has the system's memory above 4 GB too: no address
// of its descriptor reaches there.
TEST(AimFinderRegions, AThirtyTwoBitGameIsCopiedBelowFourGigabytesOnly) {
    const std::vector<WritableRegion> regions = {
        {0x10000, 0x1000}, {0xFFFFF000, 0x1000}, {0xFFFFF000, 0x2000}, {0x100000000, 0x1000}, {0x7FFE0000, 0}};
    EXPECT_EQ(RegionsTheGameAddresses(regions, AddressWidth::Bits32),
              (std::vector<WritableRegion>{{0x10000, 0x1000}, {0xFFFFF000, 0x1000}, {0xFFFFF000, 0x1000}}));
    EXPECT_EQ(RegionsTheGameAddresses(regions, AddressWidth::Bits64),
              (std::vector<WritableRegion>{{0x10000, 0x1000}, {0xFFFFF000, 0x1000}, {0xFFFFF000, 0x2000}, {0x100000000, 0x1000}}));
}

}  // namespace
}  // namespace vt2::test
