#include <gtest/gtest.h>

#include "memory/address_resolution.h"
#include "support/fake_platform.h"

namespace vt2::test {
namespace {

constexpr GameAddress kBase = 0x00400000;

class PointerChains : public ::testing::Test {
protected:
    void SetUp() override {
        process = &sys.hookProcess(4242);
        sys.modules.modules[4242] = {{"game.exe", kBase}, {"KERNEL32.dll", 0x7B000000}};
        sys.engine.state.descriptor.ExeName = "game.exe";
        process->map(kBase, 0x100);
        process->map(0x00600000, 0x100);
        process->map(0x00700000, 0x100);
    }
    std::optional<GameAddress> resolve(const std::string& text) {
        GameModule module = GameModuleOf(sys.engine);
        return ResolvePointer(module, text);
    }
    GameAddress target(const std::string& pointerText, const std::string& addressText) {
        GameModule module = GameModuleOf(sys.engine);
        return ResolveTargetAddress(module, pointerText, addressText);
    }
    FakeSystem sys;
    FakeGameProcess* process = nullptr;
};

TEST_F(PointerChains, NoDereferenceWhenOnlyTheLastFieldIsGiven) {
    EXPECT_EQ(resolve("||&H100"), kBase + 0x100);
    EXPECT_EQ(resolve("||"), kBase);
}

TEST_F(PointerChains, OneDereference) {
    process->putLong(kBase + 0x10, 0x00600000);
    EXPECT_EQ(resolve("&H10||4"), 0x00600004u);
    EXPECT_EQ(resolve("16||4"), 0x00600004u);
}

TEST_F(PointerChains, TwoDereferences) {
    process->putLong(kBase + 0x10, 0x00600000);
    process->putLong(0x00600008, 0x00700000);
    EXPECT_EQ(resolve("&H10|8|4"), 0x00700004u);
    // A middle field without a first one starts at the base itself.
    process->putLong(kBase, 0x00600000);
    EXPECT_EQ(resolve("|8|4"), 0x00700004u);
}

TEST_F(PointerChains, UnreadablePointersContinueFromZero) {
    process->putLong(kBase + 0x10, 0x00900000);  // points at nothing
    EXPECT_EQ(resolve("&H10|8|4"), 4u);
}

TEST_F(PointerChains, MissingFieldsAreEmptyAndANonNumberMakesTheChainUnusable) {
    process->putLong(kBase + 0x10, 0x00600000);
    EXPECT_EQ(resolve("&H10"), 0x00600000u);
    EXPECT_EQ(resolve("&H10|"), 0x00600000u);
    EXPECT_FALSE(resolve("&H10|x|4").has_value());
    EXPECT_FALSE(resolve("abc").has_value());
    EXPECT_EQ(target("abc", "&H1234"), 0u);
}

TEST_F(PointerChains, PtrWinsOverAddr) {
    EXPECT_EQ(target("||&H20", "&H1234"), kBase + 0x20);
    EXPECT_EQ(target("", "&H1234"), 0x1234u);
    EXPECT_EQ(target("", "zzz"), 0u);
    EXPECT_EQ(target("", ""), 0u);
}

TEST_F(PointerChains, TheModuleBaseIsLookedUpUntilFoundThenNeverAgain) {
    sys.modules.modules[4242] = {};  // not there yet: a chain leads nowhere, not from 0
    EXPECT_EQ(resolve("||&H100"), std::nullopt);
    EXPECT_EQ(resolve("&H10|8|4"), std::nullopt);
    EXPECT_EQ(sys.engine.state.chainsNotFollowed, 2);
    sys.modules.modules[4242] = {{"GAME.EXE", kBase}};
    EXPECT_EQ(resolve("||&H100"), kBase + 0x100);
    sys.modules.modules[4242] = {{"game.exe", 0x10000000}};
    EXPECT_EQ(resolve("||&H100"), kBase + 0x100);
    EXPECT_EQ(sys.eventsStartingWith("module snapshot").size(), 3u);
}

TEST(ModuleBase, FoundByNameWithoutRegardToCase) {
    EventLog log;
    FakeModuleList modules(log);
    modules.modules[7] = {{"Emulator.EXE", 0x400000}, {"kernel32.dll", 0x7B000000}};
    std::string name = "emulator.exe";
    EXPECT_EQ(GetModuleBase(modules, 7, name), 0x400000u);
    name = "kernel32.DLL";
    EXPECT_EQ(GetModuleBase(modules, 7, name), 0x7B000000u);
    name = "other.exe";
    EXPECT_EQ(GetModuleBase(modules, 7, name), 0u);
    EXPECT_EQ(GetModuleBase(modules, 8, name), 0u);  // no snapshot of that process
}

TEST(ModuleBase, AnEmptyNameAdoptsTheFirstExeModule) {
    EventLog log;
    FakeModuleList modules(log);
    modules.modules[7] = {{"ntdll.dll", 0x7BC00000}, {"My Game.EXE", 0x00400000}, {"second.exe", 0x10000000}};
    std::string name;
    EXPECT_EQ(GetModuleBase(modules, 7, name), 0x00400000u);
    EXPECT_EQ(name, "My Game.EXE");
}

TEST(ModuleBase, TheAdoptedNameBecomesTheDescriptorsExeName) {
    FakeSystem sys;
    sys.hookProcess(5);
    sys.modules.modules[5] = {{"vt2demogame.exe", 0x400000}};
    GameModule module = GameModuleOf(sys.engine);
    EXPECT_EQ(EnsureModuleBase(module), 0x400000u);
    EXPECT_EQ(sys.engine.state.descriptor.ExeName, "vt2demogame.exe");
}

// A 64-bit game: its module above 4 GB, its pointers 8 bytes wide.
constexpr GameAddress kBase64 = 0x140000000;

class PointerChains64 : public ::testing::Test {
protected:
    void SetUp() override {
        sys.memory.processes[4343].is64Bit = true;
        process = &sys.hookProcess(4343);
        sys.modules.modules[4343] = {{"game64.exe", kBase64}};
        sys.engine.state.descriptor.ExeName = "game64.exe";
        process->map(kBase64, 0x100);
        process->map(0x25A0000000, 0x100);
        process->map(0x7FF000000000, 0x100);
    }
    std::optional<GameAddress> resolve(const std::string& text) {
        GameModule module = GameModuleOf(sys.engine);
        return ResolvePointer(module, text);
    }
    FakeSystem sys;
    FakeGameProcess* process = nullptr;
};

TEST_F(PointerChains64, EightBytePointersFromAModuleAbove4GB) {
    process->putPointer64(kBase64 + 0x10, 0x25A0000000);
    process->putPointer64(0x25A0000008, 0x7FF000000000);
    EXPECT_EQ(resolve("&H10|8|&H20"), 0x7FF000000020u);
    EXPECT_EQ(resolve("&H10||4"), 0x25A0000004u);
    EXPECT_EQ(resolve("||&H100000000"), kBase64 + 0x100000000);  // an offset of 2^32 is one in this game
    // The same bytes read as 4-byte pointers would give the low halves: a 32-bit game's chain.
    sys.memory.processes[4242].map(kBase, 0x20);
    sys.memory.processes[4242].putPointer64(kBase + 0x10, 0x25A0000000);
    sys.engine.state.moduleBase = 0;
    sys.modules.modules[4242] = {{"game64.exe", kBase}};
    sys.hookProcess(4242);
    EXPECT_EQ(resolve("&H10||4"), 0xA0000004u);
    EXPECT_EQ(resolve("||4294967296"), std::nullopt);  // no such offset in a 32-bit game
}

TEST_F(PointerChains64, SumsWrapRoundTheGamesOwnAddressSpace) {
    process->putPointer64(kBase64 + 0x10, 0xFFFFFFFFFFFFFFF0);
    EXPECT_EQ(resolve("&H10||&H20"), 0x10u);  // past 2^64
    EXPECT_EQ(resolve("&H10||&H8"), 0xFFFFFFFFFFFFFFF8u);
}

TEST_F(PointerChains64, WritesPastTheTopOfA64BitSpaceAreRefusedBelowItTheyGo) {
    MemoryManager& memory = *sys.engine.state.memory;
    process->map(0xFFFFFFFFFFFFFFFC, 4);
    process->map(0xFFFFFFFC, 8);
    memory.writeLong(0xFFFFFFFFFFFFFFFE, 1);  // would run on from address 0
    memory.writeInt64(0xFFFFFFFFFFFFFFFC, 1);
    EXPECT_TRUE(process->writes.empty());
    memory.writeLong(0xFFFFFFFFFFFFFFFC, 7);  // the last four bytes there are
    memory.writeInt64(0xFFFFFFFC, 9);         // past 4 GB, which a 64-bit game has
    ASSERT_EQ(process->writes.size(), 2u);
    EXPECT_EQ(process->at(0x100000000, 4), (std::vector<std::uint8_t>{0, 0, 0, 0}));
    EXPECT_EQ(process->at(0xFFFFFFFC, 4), (std::vector<std::uint8_t>{9, 0, 0, 0}));
}

}  // namespace
}  // namespace vt2::test
