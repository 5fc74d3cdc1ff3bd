// The common guns driven with no file of the player's: each kind's commands, and the shipped
// default's gun commands made into those of the guns chosen in the configuration.
#include <gtest/gtest.h>

#include "outputs/gun_commands.h"
#include "outputs/gun_feedback.h"
#include "support/fake_platform.h"
#include "support/shipped_files.h"

namespace vt2::test {
namespace {

using Texts = std::vector<std::string>;
using Kind = FeedbackWrite::Kind;

TEST(GunCommands, EachKindOfGunTakesItsOwnCommandsForEachAction) {
    struct Case {
        GunSetup gun;
        int player;
        GunAction action;
        bool on;
        const char* commands;  // as a feedback file writes them
    };
    const GunSetup firmware{GunKind::OpenFirmware, 5}, smfb{GunKind::SmFb, 3}, zs{GunKind::ZsZ5, 12}, tcp{GunKind::RecoilServer, 1};
    const Case cases[] = {
        {firmware, 1, GunAction::Start, true, "cmo 5 baud=9600_parity=N_data=8_stop=1,cmw 5 S"},
        {firmware, 1, GunAction::Stop, true, "cmw 5 E,cmc 5"},
        {firmware, 1, GunAction::Recoil, true, "cmw 5 F0x1"},
        {firmware, 1, GunAction::Recoil, false, "cmw 5 F0x0"},
        {firmware, 2, GunAction::Motor, true, "cmw 5 F1x1"},
        {firmware, 2, GunAction::Motor, false, "cmw 5 F1x0"},
        {firmware, 1, GunAction::Lamp, true, "cmw 5 F3x1x255"},
        {firmware, 1, GunAction::Lamp, false, "cmw 5 F3x0"},
        {firmware, 1, GunAction::Pulse, true, "cmw 5 F0x2x1"},
        {smfb, 1, GunAction::Start, true, "cmo 3 baud=9600_parity=N_data=8_stop=1,cmw 3 SM.6.1"},
        {smfb, 1, GunAction::Stop, true, "cmw 3 ES,cmc 3"},
        {smfb, 1, GunAction::Recoil, true, "cmw 3 FB.0.1"},
        {smfb, 1, GunAction::Recoil, false, ""},  // a command fires once: nothing to turn off
        {smfb, 1, GunAction::Motor, true, "cmw 3 FB.1.1"},
        {smfb, 1, GunAction::Lamp, true, ""},
        {zs, 2, GunAction::Start, true, "cmo 12 baud=115200_parity=N_data=8_stop=1,cmw 12 ZS"},
        {zs, 2, GunAction::Stop, true, "cmw 12 ZX,cmc 12"},
        {zs, 2, GunAction::Recoil, true, "cmw 12 Z5"},
        {zs, 2, GunAction::Motor, true, "cmw 12 ZZ"},
        {zs, 2, GunAction::Pulse, true, "cmw 12 Z5"},
        {tcp, 1, GunAction::Start, true, "tcw 1 1K0"},  // the gun's own trigger recoil off
        {tcp, 2, GunAction::Stop, true, "tcw 1 2K1"},   // and given back
        {tcp, 2, GunAction::Recoil, true, "tcw 1 2A"},
        {tcp, 2, GunAction::Recoil, false, ""},
        {tcp, 1, GunAction::Lamp, true, ""},
        {{GunKind::None, 5}, 1, GunAction::Start, true, ""},
        {{GunKind::OpenFirmware, 0}, 1, GunAction::Start, true, ""},  // no port
        {{GunKind::OpenFirmware, 256}, 1, GunAction::Recoil, true, ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FeedbackCommandsText(GunCommands(c.gun, c.player, c.action, c.on)), c.commands)
            << static_cast<int>(c.gun.kind) << " " << static_cast<int>(c.action) << " " << c.on;
    }
}

TEST(GunCommands, AKindIsReadInAnyCaseAndAWordOfNoKindIsNone) {
    const std::pair<const char*, std::optional<GunKind>> cases[] = {
        {"", GunKind::None},         {"  ", GunKind::None},           {"none", GunKind::None},
        {"firmware", GunKind::OpenFirmware}, {" FIRMWARE ", GunKind::OpenFirmware}, {"SmFb", GunKind::SmFb},
        {"zs", GunKind::ZsZ5},       {"tcp", GunKind::RecoilServer},  {"sinden", std::nullopt},
        {"firmware2", std::nullopt},
    };
    for (const auto& [word, kind] : cases) EXPECT_EQ(ParseGunKind(word), kind) << word;
    for (GunKind k : {GunKind::None, GunKind::OpenFirmware, GunKind::SmFb, GunKind::ZsZ5, GunKind::RecoilServer}) {
        EXPECT_EQ(ParseGunKind(GunKindWord(k)), k);
    }
    EXPECT_EQ(GunKindEntries().size(), 5u);
}

// The shipped default, each player's gun as chosen, through a run's start, changes and stop.
struct ShippedDefault {
    FakeFeedbackPorts ports;
    FeedbackFile file;
    std::unique_ptr<GunFeedback> feedback;
    explicit ShippedDefault(std::array<GunSetup, 2> guns) : file(ParseFeedbackFile(kShippedFeedbackIni)) {
        ResolveGunCommands(file, guns);
        feedback = std::make_unique<GunFeedback>(ports, file, GunFeedbackOptions{});
    }
};

TEST(GunCommands, TheShippedDefaultDrivesEachPlayersGunInItsKindsCommands) {
    const std::map<int, std::string> outputs{{1, "P1_GunRecoil"}, {2, "P2_CtmRecoil"}, {3, "P1_LmpStart"},
                                             {4, "P2_GunMotor"},  {5, "P1_Ammo"}};
    struct Case {
        const char* what;
        std::array<GunSetup, 2> guns;
        std::vector<FeedbackWrite> sent;
        const char* keptStop;
        std::size_t notes;
    };
    const Case cases[] = {
        {"firmware on COM5, ZS on COM6",
         {GunSetup{GunKind::OpenFirmware, 5}, GunSetup{GunKind::ZsZ5, 6}},
         {{Kind::Open, 5, "baud=9600_parity=N_data=8_stop=1", ""},
          {Kind::Write, 5, "S", ""},
          {Kind::Open, 6, "baud=115200_parity=N_data=8_stop=1", ""},
          {Kind::Write, 6, "ZS", ""},
          {Kind::Write, 5, "F0x1", "p1_gunrecoil#0"},
          {Kind::Write, 5, "F0x1", "p1_gunrecoil#0"},  // any value but 0 is on
          {Kind::Write, 5, "F0x0", "p1_gunrecoil#0"},
          {Kind::Write, 6, "Z5", "p2_ctmrecoil#0"},
          {Kind::Write, 5, "F3x1x255", "p1_lmpstart#0"},
          {Kind::Write, 6, "ZZ", "p2_gunmotor#0"},
          {Kind::Write, 5, "E", ""},
          {Kind::Close, 5, "", ""},
          {Kind::Write, 6, "ZX", ""},
          {Kind::Close, 6, "", ""}},
         "cmw 5 E,cmc 5,cmw 6 ZX,cmc 6",
         0},
        {"player 2's gun through its maker's recoil server, player 1 none",
         {GunSetup{}, GunSetup{GunKind::RecoilServer, 1}},
         {{Kind::TcpWrite, 1, "2K0", ""}, {Kind::TcpWrite, 1, "2A", "p2_ctmrecoil#0"}, {Kind::TcpWrite, 1, "2K1", ""}},
         "tcw 1 2K1",
         1},
        {"no gun set", {GunSetup{}, GunSetup{}}, {}, "", 2},
    };
    for (const Case& c : cases) {
        ShippedDefault d(c.guns);
        d.feedback->start("anygame", outputs);
        for (const auto& [id, value] : std::vector<std::pair<int, int>>{{1, 1}, {1, 2}, {1, 0}, {2, 1}, {2, 0}, {3, 1}, {4, 1}, {5, 9}}) {
            d.feedback->update(id, value);
        }
        d.feedback->stop(500);
        EXPECT_EQ(d.ports.writes, c.sent) << c.what;
        EXPECT_EQ(d.file.stopText, c.keptStop) << c.what;
        EXPECT_EQ(d.file.notes.size(), c.notes) << c.what;
        EXPECT_TRUE(d.feedback->takeNotes().empty()) << c.what;  // every value has its commands
    }
}

TEST(GunCommands, APlayersFileMayMixGunCommandsWithItsOwnAndChooseByValue) {
    FeedbackFile file = ParseFeedbackFile(
        "[General]\nMameStart=gun 1 start,cmw 9 hello\n[Output]\nP1_Damaged=nll|gun 1 pulse|gun 1 motor,cmw 9 hit\n");
    ResolveGunCommands(file, {GunSetup{GunKind::OpenFirmware, 4}, GunSetup{}});
    EXPECT_EQ(FeedbackCommandsText(file.start), "cmo 4 baud=9600_parity=N_data=8_stop=1,cmw 4 S,cmw 9 hello");
    const FeedbackAction& damaged = file.outputs.at("p1_damaged");
    ASSERT_EQ(damaged.alternatives.size(), 3u);
    EXPECT_FALSE(damaged.onOff);  // the file's own alternatives stand
    EXPECT_EQ(FeedbackCommandsText(damaged.alternatives[0]), "nll");
    EXPECT_EQ(FeedbackCommandsText(damaged.alternatives[1]), "cmw 4 F0x2x1");
    EXPECT_EQ(FeedbackCommandsText(damaged.alternatives[2]), "cmw 4 F1x1,cmw 9 hit");
    EXPECT_TRUE(file.stopText.empty());
    EXPECT_TRUE(file.notes.empty());
}

}  // namespace
}  // namespace vt2::test
