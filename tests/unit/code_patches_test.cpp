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

TEST_F(CodePatches, NopsByDefaultAndReplaceBytesOneWriteEach) {
    descriptor("[NOP_game.exe]\r\nNumberNOPs=2\r\nNOP1Addr=&H5A3B00\r\nNOP1Len=3\r\n"
               "NOP2Addr=&H5A3B08\r\nNOP2Len=2\r\nNOP2Replace=&H8B|&HC0\r\n");
    ApplyCodePatches(sys.engine, "g");
    EXPECT_EQ(process->at(0x5A3B00, 4), (Bytes{0x90, 0x90, 0x90, 0xCC}));
    EXPECT_EQ(process->at(0x5A3B08, 3), (Bytes{0x8B, 0xC0, 0xCC}));
    EXPECT_EQ(process->writes.size(), 5u);
}

TEST_F(CodePatches, TheGamesThreadsAreHeldStillWhileEveryPatchIsWritten) {
    descriptor("[NOP_game.exe]\r\nNumberNOPs=2\r\nNOP1Addr=&H5A3B00\r\nNOP1Len=3\r\n"
               "NOP2Addr=&H5A3B08\r\nNOP2Len=2\r\n");
    std::vector<std::size_t> writesSeen;
    sys.threads.onChange = [&] { writesSeen.push_back(process->writes.size()); };
    ApplyCodePatches(sys.engine, "g");
    EXPECT_EQ(sys.eventsStartingWith("pause threads"), (std::vector<std::string>{"pause threads 4242"}));
    EXPECT_EQ(sys.eventsStartingWith("resume threads"), (std::vector<std::string>{"resume threads 4242"}));
    EXPECT_EQ(writesSeen, (std::vector<std::size_t>{0, 5}));
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
    const std::vector<CodePatch> patches = ReadCodePatches(sys.ini, sys.folder.path() + "\\memcfg\\g.ini", module);
    ASSERT_EQ(patches.size(), 2u);
    EXPECT_EQ(patches[0].start, 0x5A3B00u);
    EXPECT_EQ(patches[0].bytes, (std::vector<std::optional<std::uint8_t>>{0x90, 0x90}));
    EXPECT_EQ(patches[1].bytes, (std::vector<std::optional<std::uint8_t>>{1, std::nullopt, std::nullopt}));
    EXPECT_TRUE(process->writes.empty());
    EXPECT_TRUE(sys.eventsStartingWith("pause threads").empty());
}

TEST_F(CodePatches, AnAbsurdLenIsCapped) {
    process->map(0x10000000, kMaxPatchLength + 16, 0xCC);
    descriptor("[NOP_game.exe]\r\nNumberNOPs=1\r\nNOP1Addr=&H10000000\r\nNOP1Len=2000000000\r\n");
    ApplyCodePatches(sys.engine, "g");
    EXPECT_EQ(process->writes.size(), kMaxPatchLength);
    EXPECT_EQ(process->bytes.at(0x10000000 + kMaxPatchLength), 0xCC);
}

}  // namespace
}  // namespace vt2::test
