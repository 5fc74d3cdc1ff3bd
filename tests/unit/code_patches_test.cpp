#include <gtest/gtest.h>

#include "engine/code_patches_step.h"
#include "memory/code_patches.h"
#include "support/fake_platform.h"

namespace vt2::test {
namespace {

using Bytes = std::vector<std::uint8_t>;

class CodePatches : public ::testing::Test {
protected:
    void SetUp() override {
        process = &sys.hookProcess(4242);
        sys.modules.modules[4242] = {{"game.exe", 0x400000}};
        sys.engine.state.descriptor.ExeName = "game.exe";
        process->map(0x5A3B00, 16, 0xCC);
        process->map(0x401000, 16, 0xCC);
    }
    void descriptor(const std::string& section) { sys.folder.writeFile("memcfg\\g.ini", section); }
    FakeSystem sys;
    FakeGameProcess* process = nullptr;
};

TEST_F(CodePatches, NopsByDefaultAndReplaceBytesEachPatchInOneWrite) {
    descriptor("[NOP_game.exe]\r\nNumberNOPs=2\r\nNOP1Addr=&H5A3B00\r\nNOP1Len=3\r\n"
               "NOP2Addr=&H5A3B08\r\nNOP2Len=2\r\nNOP2Replace=&H8B|&HC0\r\n");
    ApplyCodePatches(sys.engine, "g");
    EXPECT_EQ(process->at(0x5A3B00, 4), (Bytes{0x90, 0x90, 0x90, 0xCC}));
    EXPECT_EQ(process->at(0x5A3B08, 3), (Bytes{0x8B, 0xC0, 0xCC}));
    // One write per patch: the game's threads are held for as short a time as can be.
    EXPECT_EQ(process->writes, (std::vector<std::pair<std::uint64_t, Bytes>>{{0x5A3B00, {0x90, 0x90, 0x90}},
                                                                           {0x5A3B08, {0x8B, 0xC0}}}));
}

TEST_F(CodePatches, TheGamesThreadsAreHeldStillWhileEveryPatchIsWritten) {
    descriptor("[NOP_game.exe]\r\nNumberNOPs=2\r\nNOP1Addr=&H5A3B00\r\nNOP1Len=3\r\n"
               "NOP2Addr=&H5A3B08\r\nNOP2Len=2\r\n");
    std::vector<std::size_t> writesSeen;
    sys.threads.onChange = [&] { writesSeen.push_back(process->writes.size()); };
    ApplyCodePatches(sys.engine, "g");
    EXPECT_EQ(sys.eventsStartingWith("pause threads"), (std::vector<std::string>{"pause threads 4242"}));
    EXPECT_EQ(sys.eventsStartingWith("resume threads"), (std::vector<std::string>{"resume threads 4242"}));
    EXPECT_EQ(writesSeen, (std::vector<std::size_t>{0, 2}));
}

TEST_F(CodePatches, AGameWhoseThreadsCannotBeHeldIsPatchedAllTheSame) {
    descriptor("[NOP_game.exe]\r\nNumberNOPs=1\r\nNOP1Addr=&H5A3B00\r\nNOP1Len=2\r\n");
    sys.threads.canPause = false;
    ApplyCodePatches(sys.engine, "g");
    EXPECT_EQ(process->at(0x5A3B00, 3), (Bytes{0x90, 0x90, 0xCC}));
}

TEST_F(CodePatches, ALenLongerThanTheReplaceListWritesOnlyTheListedBytes) {
    descriptor("[NOP_game.exe]\r\nNumberNOPs=1\r\nNOP1Addr=&H5A3B00\r\nNOP1Len=4\r\nNOP1Replace=1|2\r\n");
    ApplyCodePatches(sys.engine, "g");
    EXPECT_EQ(process->at(0x5A3B00, 5), (Bytes{1, 2, 0xCC, 0xCC, 0xCC}));
}

TEST_F(CodePatches, ABadReplaceFieldSkipsOnlyItsByte) {
    descriptor("[NOP_game.exe]\r\nNumberNOPs=1\r\nNOP1Addr=&H5A3B00\r\nNOP1Len=3\r\nNOP1Replace=1|x|300\r\n");
    ApplyCodePatches(sys.engine, "g");
    EXPECT_EQ(process->at(0x5A3B00, 3), (Bytes{1, 0xCC, 0xCC}));
}

TEST_F(CodePatches, PtrWinsOverAddr) {
    descriptor("[NOP_game.exe]\r\nNumberNOPs=1\r\nNOP1PTR=||&H1000\r\nNOP1Addr=&H5A3B00\r\nNOP1Len=1\r\n");
    ApplyCodePatches(sys.engine, "g");
    EXPECT_EQ(process->at(0x401000, 2), (Bytes{0x90, 0xCC}));
    EXPECT_EQ(process->at(0x5A3B00, 1), (Bytes{0xCC}));
}

TEST_F(CodePatches, EntriesWithoutAddressOrLenWriteNothingTheOthersGoOn) {
    descriptor("[NOP_game.exe]\r\nNumberNOPs=4\r\nNOP1Len=3\r\nNOP2Addr=&H5A3B00\r\nNOP3Addr=&H5A3B00\r\nNOP3Len=x\r\n"
               "NOP4Addr=&H5A3B04\r\nNOP4Len=1\r\n");
    ApplyCodePatches(sys.engine, "g");
    EXPECT_EQ(process->writes.size(), 1u);
    EXPECT_EQ(process->at(0x5A3B04, 1), (Bytes{0x90}));
}

TEST_F(CodePatches, NoUsableCountMeansNoPatches) {
    for (const char* count : {"", "0", "-1", "abc"}) {
        descriptor(std::string("[NOP_game.exe]\r\nNumberNOPs=") + count + "\r\nNOP1Addr=&H5A3B00\r\nNOP1Len=1\r\n");
        ApplyCodePatches(sys.engine, "g");
    }
    EXPECT_TRUE(process->writes.empty());
    EXPECT_TRUE(sys.eventsStartingWith("pause threads").empty());  // nothing to patch, the game runs on
}

TEST_F(CodePatches, TheSectionIsNamedAfterExeNameOrTheAdoptedModule) {
    descriptor("[NOP_other.exe]\r\nNumberNOPs=1\r\nNOP1Addr=&H5A3B00\r\nNOP1Len=1\r\n"
               "[NOP_Game.exe]\r\nNumberNOPs=1\r\nNOP1Addr=&H5A3B01\r\nNOP1Len=1\r\n");
    sys.engine.state.descriptor.ExeName = "";
    sys.modules.modules[4242] = {{"Game.exe", 0x400000}};
    ApplyCodePatches(sys.engine, "g");
    EXPECT_EQ(process->at(0x5A3B00, 2), (Bytes{0xCC, 0x90}));
}

TEST_F(CodePatches, DefaultIniStandsInForAMissingDescriptor) {
    sys.folder.writeFile("memcfg\\default.ini", "[NOP_game.exe]\r\nNumberNOPs=1\r\nNOP1Addr=&H5A3B00\r\nNOP1Len=2\r\n");
    ApplyCodePatches(sys.engine, "nogame");
    EXPECT_EQ(process->at(0x5A3B00, 3), (Bytes{0x90, 0x90, 0xCC}));
    FakeSystem none;
    none.hookProcess();
    ApplyCodePatches(none.engine, "nogame");  // no file at all: nothing, no failure
}

TEST_F(CodePatches, ReadingThePatchesWritesNothingAndHoldsNoThread) {
    descriptor("[NOP_game.exe]\r\nNumberNOPs=2\r\nNOP1Addr=&H5A3B00\r\nNOP1Len=2\r\n"
               "NOP2Addr=&H5A3B08\r\nNOP2Len=4\r\nNOP2Replace=1|x|300\r\n");
    GameModule module = GameModuleOf(sys.engine);
    const std::vector<CodePatch> patches = ReadCodePatches(sys.ini, sys.folder.path() + "\\memcfg\\g.ini", module).patches;
    ASSERT_EQ(patches.size(), 2u);
    EXPECT_EQ(patches[0].start, 0x5A3B00u);
    EXPECT_EQ(patches[0].bytes, (std::vector<std::optional<std::uint8_t>>{0x90, 0x90}));
    EXPECT_EQ(patches[1].bytes, (std::vector<std::optional<std::uint8_t>>{1, std::nullopt, std::nullopt}));
    EXPECT_TRUE(process->writes.empty());
    EXPECT_TRUE(sys.eventsStartingWith("pause threads").empty());
}

TEST_F(CodePatches, APatchLongerThanTheBoundIsNotWrittenAtAllAndTheDebugWindowSaysWhy) {
    process->map(0x10000000, kMaxPatchLength + 16, 0xCC);
    descriptor("[NOP_game.exe]\r\nNumberNOPs=3\r\nNOP1Addr=&H10000000\r\nNOP1Len=999999999\r\n"
               "NOP2Addr=&H10000000\r\nNOP2Len=4097\r\nNOP3Addr=&H10000000\r\nNOP3Len=4096\r\n");
    ApplyCodePatches(sys.engine, "g");
    // Only the third, at the bound, is written.
    EXPECT_EQ(process->writes.size(), 1u);
    EXPECT_EQ(process->writes[0].second.size(), kMaxPatchLength);
    EXPECT_EQ(process->bytes.at(0x10000000 + kMaxPatchLength), 0xCC);
    EXPECT_EQ(sys.engine.state.notes,
              (std::vector<std::string>{"NOP_game.exe: NOP1Len 999999999 is more than 4096 bytes: patch 1 is not written",
                                        "NOP_game.exe: NOP2Len 4097 is more than 4096 bytes: patch 2 is not written"}));
    EXPECT_NE(sys.mainWindow.labels[MainWindowLabel::Notes].find("NOP1Len 999999999"), std::string::npos);
}

TEST_F(CodePatches, ACountBeyondTheBoundLeavesTheWholeSectionUnwrittenAndTheGameRunning) {
    descriptor("[NOP_game.exe]\r\nNumberNOPs=2147483647\r\nNOP1Addr=&H5A3B00\r\nNOP1Len=1\r\n");
    ApplyCodePatches(sys.engine, "g");
    EXPECT_TRUE(process->writes.empty());
    EXPECT_TRUE(sys.eventsStartingWith("pause threads").empty());
    EXPECT_EQ(sys.engine.state.notes,
              (std::vector<std::string>{"NOP_game.exe: NumberNOPs 2147483647 is more than 4096: no patch is written"}));
    descriptor("[NOP_game.exe]\r\nNumberNOPs=4096\r\nNOP4096Addr=&H5A3B00\r\nNOP4096Len=1\r\n");
    ApplyCodePatches(sys.engine, "g");
    EXPECT_EQ(process->at(0x5A3B00, 1), (Bytes{0x90}));  // the bound itself is a usable count
}

TEST_F(CodePatches, APatchThatWouldRunPastTheTopOfTheAddressSpaceIsNotWritten) {
    process->map(0xFFFFFFF0, 16, 0xCC);
    process->map(0, 16, 0xCC);
    descriptor("[NOP_game.exe]\r\nNumberNOPs=2\r\nNOP1Addr=&HFFFFFFF0\r\nNOP1Len=17\r\n"
               "NOP2Addr=&HFFFFFFF0\r\nNOP2Len=16\r\n");
    ApplyCodePatches(sys.engine, "g");
    EXPECT_EQ(process->at(0, 4), (Bytes{0xCC, 0xCC, 0xCC, 0xCC}));  // nothing from address 0 up
    EXPECT_EQ(process->at(0xFFFFFFFF, 1), (Bytes{0x90}));              // the second ends at the top itself
    ASSERT_EQ(sys.engine.state.notes.size(), 1u);
    EXPECT_EQ(sys.engine.state.notes[0],
              "NOP_game.exe: NOP1 at &HFFFFFFF0 runs past the top of the address space: patch 1 is not written");
}

TEST_F(CodePatches, AByteLeftAloneSplitsAPatchIntoTwoWrites) {
    descriptor("[NOP_game.exe]\r\nNumberNOPs=1\r\nNOP1Addr=&H5A3B00\r\nNOP1Len=5\r\nNOP1Replace=1|2|x|4|5\r\n");
    ApplyCodePatches(sys.engine, "g");
    EXPECT_EQ(process->writes, (std::vector<std::pair<std::uint64_t, Bytes>>{{0x5A3B00, {1, 2}}, {0x5A3B03, {4, 5}}}));
}

}  // namespace
}  // namespace vt2::test
