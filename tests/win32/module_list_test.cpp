// The game's modules as the module list adapter finds them, for each demo game this build runs:
// the 64-bit VT2 beside a 64-bit game, and beside a real 32-bit one (the way most players use it).
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>

#include "adapters/win32/win32_module_list.h"
#include "adapters/win32/win32_process_memory.h"
#include "memory/memory_manager.h"
#include "memory/address_resolution.h"
#include "support/win32_harness.h"

namespace vt2::test {
namespace {

class ModuleListOfEachGame : public ::testing::TestWithParam<DemoGame> {
protected:
    void SetUp() override {
        VT2_USE_DEMO_GAME(install, GetParam());
        game = install.startDemoGame(GetParam());
        ASSERT_TRUE(WaitUntil([&] { return FindTopWindowOf(game.id(), "VT2DemoGame") != nullptr; }));
    }
    TempInstall install;
    ChildProcess game;
};

TEST_P(ModuleListOfEachGame, TheProgramComesFirstWithItsBaseSizeAndFile) {
    const DemoGame& demo = GetParam();
    const DemoLayout layout{demo};
    const std::vector<ModuleEntry> modules = win32::Win32ModuleList().modulesOf(game.id());
    ASSERT_GE(modules.size(), 2u) << "the program and at least the system's DLLs";
    const ModuleEntry& program = modules[0];
    EXPECT_EQ(program.name, demo.program);
    EXPECT_EQ(program.path, install.file(std::string("demo\\") + demo.program));
    const std::uint64_t statics = layout.address("vt2demo_p1_x");
    EXPECT_LT(program.base, statics);
    EXPECT_GT(program.base + program.size, statics);  // the image holds its statics
    // The game's own width: a 32-bit game's modules all lie below 4 GB, the system's 64-bit ones apart.
    const bool is32 = std::string(demo.label) == "demo32bit";
    for (const ModuleEntry& m : modules) {
        EXPECT_NE(m.base, 0u) << m.name;
        if (is32) EXPECT_LE(m.base + m.size, 0x100000000ull) << m.name;
    }
    // Whichever way the list was taken, the enumeration agrees on the program.
    const std::vector<ModuleEntry> enumerated = win32::EnumeratedModules(game.id(), win32::ModuleListing::AsTheGameIs);
    ASSERT_FALSE(enumerated.empty());
    EXPECT_EQ(enumerated[0].name, program.name);
    EXPECT_EQ(enumerated[0].base, program.base);
    EXPECT_EQ(enumerated[0].size, program.size);
    EXPECT_EQ(enumerated[0].path, program.path);
}

TEST_P(ModuleListOfEachGame, AChainFromTheProgramReachesPlayer2AndAMissingModuleLeadsNowhere) {
    const DemoGame& demo = GetParam();
    const DemoLayout layout{demo};
    win32::Win32ModuleList modules;
    const ModuleEntry program = modules.modulesOf(game.id()).at(0);
    std::uint64_t world = 0;
    ASSERT_TRUE(WaitUntil([&] { return (world = ReadGamePointer(game, layout.address("vt2demo_world"))) != 0; }));
    char chain[64];
    std::snprintf(chain, sizeof chain, "&H%llX||0", static_cast<unsigned long long>(layout.address("vt2demo_world") - program.base));

    win32::Win32ProcessMemory processes;
    MemoryManager memory(processes);
    memory.PID(static_cast<std::int32_t>(game.id()));
    ASSERT_TRUE(memory.isOpen());
    GameAddress base = 0;
    std::string exeName = demo.program;
    int unfollowed = 0;
    GameModule module{modules, &memory, base, exeName, &unfollowed};
    EXPECT_EQ(ResolvePointer(module, chain), world);
    EXPECT_EQ(base, program.base);

    GameAddress otherBase = 0;
    std::string otherName = "NotTheGame.exe";
    GameModule missing{modules, &memory, otherBase, otherName, &unfollowed};
    EXPECT_EQ(ResolvePointer(missing, chain), std::nullopt);
    EXPECT_EQ(ResolveTargetAddress(missing, chain, "&H1234"), 0u);
    EXPECT_EQ(unfollowed, 2);
}

INSTANTIATE_TEST_SUITE_P(Each, ModuleListOfEachGame, ::testing::ValuesIn(DemoGames()), DemoGameName);

}  // namespace
}  // namespace vt2::test
