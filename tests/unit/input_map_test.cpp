#include <gtest/gtest.h>

#include "engine/input_map.h"
#include "adapters/portable/native_path.h"
#include "support/fake_platform.h"

namespace vt2::test {
namespace {

class InputMapTest : public ::testing::Test {
protected:
    void SetUp() override {
        process = &sys.hookProcess(4242);
        sys.modules.modules[4242] = {{"game.exe", 0x400000}};
        sys.engine.state.descriptor.ExeName = "game.exe";
        sys.engine.state.gameWindow = sys.windows.addWindow({"G", "G", 4242, 0x10CF0000});
    }
    const InputMap& load(const std::string& content, const std::string& name = "g") {
        sys.folder.writeFile("memcfg\\" + name + ".ini", content);
        LoadInputMap(sys.engine, "g");
        return sys.engine.state.inputMap;
    }
    FakeSystem sys;
    FakeGameProcess* process = nullptr;
};

constexpr const char* kFullDescriptor =
    "[Info]\r\nExitMode=2\r\nReloadMode=M2L\r\n"
    "[Inputs]\r\nPersistent=1\r\n"
    "P1XAddr=&H1000\r\nP1XType=integer\r\nP1XMulti=640\r\nP1XOffset=-5\r\n"
    "P1YAddr=4098\r\nP1YType=integer\r\nP1YMulti=480\r\nP1YOffset=0\r\n"
    "P2XAddr=&H2000\r\nP2XType=single\r\nP2XMulti=1\r\n"
    "P2YAddr=&H2004\r\nP2YType=single\r\nP2YMulti=1\r\n"
    "P1TriggerAddr=&H3000\r\nP1TriggerType=byte\r\nP1TrigerBitMask=1\r\n"
    "P1ReloadAddr=&H3000\r\nP1ReloadType=byte\r\nP1ReloadBitMask=2\r\n"
    "P2TriggerAddr=&H3001\r\nP2TriggerType=byte\r\nP2TrigerBitMask=-4\r\n"
    "P2ReloadAddr=&H3001\r\nP2ReloadType=byte\r\nP2ReloadBitMask=8\r\n"
    "P1StartAddr=&H3002\r\nP1StartType=byte\r\nP1StartBitMask=16\r\n"
    "P1CoinAddr=&H3003\r\nP1CoinType=byte\r\nP1CoinBitMask=32\r\n"
    "P2StartAddr=&H3004\r\nP2StartType=byte\r\nP2StartBitMask=64\r\n"
    "P2CoinAddr=&H3005\r\nP2CoinType=byte\r\nP2CoinBitMask=-128\r\n"
    "[Keys]\r\nEnable=1\r\nP1TriggerKey=1\r\nP1ReloadKey=2\r\nP1StartKey=49\r\nP1CoinKey=53\r\nP1ExitKey=27\r\n"
    "P2TriggerKey=3\r\nP2ReloadKey=4\r\nP2StartKey=50\r\nP2CoinKey=54\r\nP2ExitKey=&H7B\r\n";

TEST_F(InputMapTest, ReadsEveryKeyOfTheMap) {
    const InputMap& m = load(kFullDescriptor);
    EXPECT_EQ(m.Persistent, 1);
    EXPECT_EQ(m.ExitMode, 2);
    EXPECT_EQ(m.ReloadMode, "M2L");
    EXPECT_EQ(m.P1X.address, 0x1000u);
    EXPECT_EQ(m.P1X.type, ValueType::Integer);
    EXPECT_EQ(m.P1X.Multi, 640);
    EXPECT_EQ(m.P1X.Offset, -5);
    EXPECT_EQ(m.P1Y.address, 0x1002u);  // decimal 4098
    EXPECT_EQ(m.P1Y.Multi, 480);
    EXPECT_EQ(m.P2X.type, ValueType::Single);
    EXPECT_EQ(m.P2Y.address, 0x2004u);
    EXPECT_EQ(m.P1Trigger.BitMask, 1);
    EXPECT_EQ(m.P1Reload.BitMask, 2);
    EXPECT_EQ(m.P2Trigger.BitMask, -4);
    EXPECT_EQ(m.P2Reload.address, 0x3001u);
    EXPECT_EQ(m.P1Start.BitMask, 16);
    EXPECT_EQ(m.P1Coin.address, 0x3003u);
    EXPECT_EQ(m.P2Start.type, ValueType::Byte);
    EXPECT_EQ(m.P2Coin.BitMask, -128);
    EXPECT_EQ(m.KeyInjection, 1);
    EXPECT_EQ(m.P1TriggerKey, 1);
    EXPECT_EQ(m.P1ReloadKey, 2);
    EXPECT_EQ(m.P1StartKey, 49);
    EXPECT_EQ(m.P1CoinKey, 53);
    EXPECT_EQ(m.P1ExitKey, 27);
    EXPECT_EQ(m.P2TriggerKey, 3);
    EXPECT_EQ(m.P2ReloadKey, 4);
    EXPECT_EQ(m.P2StartKey, 50);
    EXPECT_EQ(m.P2CoinKey, 54);
    EXPECT_EQ(m.P2ExitKey, 0x7B);
    EXPECT_EQ(m.Bank1, 0u);
}

TEST_F(InputMapTest, TheTriggerMaskIsReadOnlyUnderItsOneGSpelling) {
    const InputMap& m = load("[Inputs]\r\nP1TriggerBitMask=4\r\nP2TriggerBitMask=4\r\nP2TrigerBitMask=8\r\n");
    EXPECT_EQ(m.P1Trigger.BitMask, 0);
    EXPECT_EQ(m.P2Trigger.BitMask, 8);
}

TEST_F(InputMapTest, PtrWinsOverAddrAndIsFollowedOnceAtLoad) {
    process->map(0x400000, 0x100);
    process->map(0x600000, 0x100);
    process->putLong(0x400010, 0x600000);
    const InputMap& m = load("[Inputs]\r\nP1XPTR=&H10||8\r\nP1XAddr=&H1000\r\nP2XAddr=&H2000\r\nP2XPTR=\r\n");
    EXPECT_EQ(m.P1X.address, 0x600008u);
    EXPECT_EQ(m.P2X.address, 0x2000u);
    process->putLong(0x400010, 0x700000);  // the game moves its data later: the map keeps the old address
    EXPECT_EQ(sys.engine.state.inputMap.P1X.address, 0x600008u);
}

TEST_F(InputMapTest, KeyInjectionOffLeavesEveryKeyAtZero) {
    const InputMap& m = load("[Keys]\r\nEnable=0\r\nP1StartKey=49\r\nP2CoinKey=54\r\n");
    EXPECT_EQ(m.KeyInjection, 0);
    EXPECT_EQ(m.P1StartKey, 0);
    EXPECT_EQ(m.P2CoinKey, 0);
}

TEST_F(InputMapTest, TheTwinStickGameReadsOnlyItsBanks) {
    sys.engine.state.descriptor.GameType = "VON";
    process->map(0x400000, 0x100);
    const InputMap& m = load("[Info]\r\nExitMode=1\r\nNoBorder=1\r\n[Inputs]\r\nBank1Addr=&H5000\r\nBank2PTR=||&H20\r\n"
                             "Bank2Addr=&H5001\r\nBank3Addr=20482\r\nP1XAddr=&H1000\r\n[Keys]\r\nEnable=1\r\nP1StartKey=49\r\n");
    EXPECT_EQ(m.ExitMode, 1);
    EXPECT_EQ(m.Bank1, 0x5000u);
    EXPECT_EQ(m.Bank2, 0x400020u);
    EXPECT_EQ(m.Bank3, 0x5002u);
    EXPECT_EQ(m.P1X.address, 0u);
    EXPECT_EQ(m.KeyInjection, 0);
    EXPECT_EQ(m.P1StartKey, 0);
    EXPECT_TRUE(sys.eventsStartingWith("set style").empty());
}

TEST_F(InputMapTest, ModeTextsAreKeptExactly) {
    EXPECT_EQ(load("[Info]\r\nReloadMode=m2l\r\n").ReloadMode, "m2l");
}

TEST_F(InputMapTest, ValuesThatCannotBeConvertedLeaveTheirFieldAtZero) {
    const InputMap& m = load("[Info]\r\nExitMode=two\r\n[Inputs]\r\nPersistent=yes\r\nP1XAddr=&HXYZ\r\n"
                             "P1XMulti=40000\r\nP1XOffset=1.5\r\nP1TriggerAddr=&H10\r\nP1TrigerBitMask=x\r\n"
                             "[Keys]\r\nEnable=1\r\nP1StartKey=abc\r\nP1CoinKey=53\r\n");
    EXPECT_EQ(m.ExitMode, 0);
    EXPECT_EQ(m.Persistent, 0);
    EXPECT_EQ(m.P1X.address, 0u);
    EXPECT_EQ(m.P1X.Multi, 0);
    EXPECT_EQ(m.P1X.Offset, 0);
    EXPECT_EQ(m.P1Trigger.address, 0x10u);
    EXPECT_EQ(m.P1Trigger.BitMask, 0);
    EXPECT_EQ(m.P1StartKey, 0);
    EXPECT_EQ(m.P1CoinKey, 53);
}

TEST_F(InputMapTest, DefaultIniOnlyWhenTheGamesOwnFileIsMissing) {
    sys.folder.writeFile("memcfg\\default.ini", "[Inputs]\r\nP1XAddr=&H9999\r\nP1YAddr=&H8888\r\n");
    EXPECT_EQ(load("[Inputs]\r\nP1XAddr=&H1000\r\n").P1Y.address, 0u);
    std::filesystem::remove(NativePath(sys.folder.path() + "\\memcfg\\g.ini"));
    sys.engine.state.inputMap = {};
    LoadInputMap(sys.engine, "g");
    EXPECT_EQ(sys.engine.state.inputMap.P1X.address, 0x9999u);
}

TEST_F(InputMapTest, TheReaderReturnsTheMapAndLeavesTheWindowToTheRun) {
    sys.folder.writeFile("memcfg\\g.ini", "[Info]\r\nNoBorder=1\r\n[Inputs]\r\nP1XAddr=&H1000\r\n");
    GameModule module = GameModuleOf(sys.engine);
    const InputMap m = ReadInputMap(sys.ini, sys.folder.path() + "\\memcfg\\g.ini", "", module);
    EXPECT_EQ(m.NoBorder, 1);
    EXPECT_EQ(m.P1X.address, 0x1000u);
    EXPECT_EQ(sys.engine.state.inputMap.P1X.address, 0u);  // the run's map is the run's to set
    EXPECT_TRUE(sys.eventsStartingWith("set style").empty());
    EXPECT_EQ(ReadInputMap(sys.ini, sys.folder.path() + "\\memcfg\\g.ini", "VON", module).NoBorder, 0);
}

TEST_F(InputMapTest, NeitherFileLeavesTheMapEmpty) {
    LoadInputMap(sys.engine, "nothing");
    EXPECT_EQ(sys.engine.state.inputMap.P1X.address, 0u);
    EXPECT_EQ(sys.engine.state.inputMap.KeyInjection, 0);
}

}  // namespace
}  // namespace vt2::test
