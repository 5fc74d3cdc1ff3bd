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
    sys.modules.modules[4242] = {};  // not there yet
    EXPECT_EQ(resolve("||&H100"), 0x100u);
    EXPECT_EQ(resolve("||&H100"), 0x100u);
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

}  // namespace
}  // namespace vt2::test
