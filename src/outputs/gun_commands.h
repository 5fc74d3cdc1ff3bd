#pragma once
// The common guns driven with no file of the player's own: what each kind of gun takes (its
// serial set or its recoil server's words), and the "gun P action" commands of a feedback file
// turned, at the hook, into the commands of the kind and port chosen for player P in the
// configuration window ([PlayerN] GunKind, GunPort).

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "outputs/feedback_file.h"

namespace vt2 {

enum class GunKind {
    None,
    OpenFirmware,  // the open-source firmware's set: S, E, F0x..., 9600 baud
    SmFb,          // SM.6.1, ES, FB.0.1..., 9600 baud
    ZsZ5,          // ZS, ZX, Z5, ZZ, 115200 baud
    RecoilServer   // the gun maker's software's TCP recoil server: 1A, 1K0...
};

// The settings' words: "" (or "none"), "firmware", "smfb", "zs", "tcp", in any case; none for
// any other word.
std::optional<GunKind> ParseGunKind(std::string_view word);
std::string GunKindWord(GunKind kind);
// The configuration window's names of the kinds, in the order of GunKind.
const std::vector<std::string>& GunKindEntries();

// A player's gun: its kind and where it is (COM N; the recoil server's number for that kind).
struct GunSetup {
    GunKind kind = GunKind::None;
    int port = 0;  // 0: none
    bool operator==(const GunSetup&) const = default;
};

// The recoil server a gun of that kind uses: vt2.ini [Feedback] TCP1, whose default is the
// makers' own (127.0.0.1:13000).
inline constexpr int kGunRecoilServer = 1;
inline constexpr const char* kDefaultRecoilServer = "127.0.0.1:13000";

// What player (1 or 2) sends to a gun of that setup for the action; on: the value is not 0
// (recoil, motor and lamp). Nothing for a gun that is not set, or an action its kind has no
// command for (a lamp on a gun without one).
FeedbackCommands GunCommands(const GunSetup& setup, int player, GunAction action, bool on);

// Every gun command of the file replaced by its player's gun's commands: a line of them becomes
// an action with one alternative for 0 and one for every other value. A player whose gun is not
// set gets nothing, said once in the file's notes. The stop kept for a run that is killed is
// then the stop as it is sent.
void ResolveGunCommands(FeedbackFile& file, const std::array<GunSetup, 2>& guns);

// Commands as the players' files write them: "cmw 5 E,cmc 5".
std::string FeedbackCommandsText(const FeedbackCommands& commands);

}  // namespace vt2
