#pragma once
// The gun feedback files players keep and trade (feedback\<game>.ini): what to send to the guns
// when the game starts and stops and when each output changes. Parsed once, when the game is
// hooked, into typed commands; a pass only looks up what a change does.
//
//   [General]  MameStart=cmo 1 baud=9600_parity=N_data=8_stop=1,cmw 1 S   MameStop=cmw 1 E,cmc 1
//   [Output]   P1_CtmRecoil=cmw 1 F0x%s%        P1_LmpStart=cmw 1 F3x0|cmw 1 F3x2x1
//
// Commands are joined with ","; "|" gives alternatives by value (the first for 0, the second for
// 1...); "%s%" is the output's value, "%<output name>%" another output's.
//
// VT2's own words: "tcw N text" sends the text to recoil server N; "gun P action" (P the player,
// action start, stop, recoil, motor, lamp or pulse) is what player P's gun, of the kind chosen in
// the configuration, takes for that action, on for a value that is not 0 (outputs/gun_commands).

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vt2 {

// What a "gun P action" command asks of a player's gun.
enum class GunAction { Start, Stop, Recoil, Motor, Lamp, Pulse };
std::optional<GunAction> ParseGunAction(std::string_view word);

struct FeedbackCommand {
    enum class Kind {
        Open,      // cmo N settings: open serial port N
        Write,     // cmw N text: write the text's bytes to port N
        Close,     // cmc N
        Settings,  // css N settings: change port N's settings
        TcpWrite,  // tcw N text: send the text as one message to recoil server N
        Gun,       // gun P action: what player P's gun takes for the action
        Nothing    // nll
    };
    Kind kind = Kind::Nothing;
    int port = 0;      // N: a COM number, or a recoil server's number; a gun command's player
    std::string text;  // the settings, or the text with its placeholders
    GunAction action = GunAction::Start;  // a gun command's
    bool operator==(const FeedbackCommand&) const = default;
};

using FeedbackCommands = std::vector<FeedbackCommand>;

// What one output's change does: one list of commands for every value, or one per value.
struct FeedbackAction {
    std::vector<FeedbackCommands> alternatives;  // one: the same for every value
    // Two alternatives, the first for 0 and the second for every other value (made of a line of
    // gun commands, which are on for any value but 0).
    bool onOff = false;
};

struct FeedbackFile {
    FeedbackCommands start;
    FeedbackCommands stop;
    std::string stopText;  // MameStop as the file has it: kept, for a run that might end without it
    std::map<std::string, FeedbackAction> outputs;  // by output name in small letters
    std::vector<std::string> notes;                 // the lines that could not be taken, and why
    unsigned holdMs = 200;  // [General] HoldMs: how long a recoil output may stay on before VT2 lets go
};

inline constexpr unsigned kDefaultHoldMs = 200;
inline constexpr unsigned kLongestHoldMs = 10000;

// Longest line taken; a longer one is a note (no gun takes such a command, and a file that holds
// one is not what it seems).
inline constexpr std::size_t kMaxFeedbackLine = 4096;

// Any bytes: what cannot be taken is a note and does nothing else.
FeedbackFile ParseFeedbackFile(std::string_view text);

// One line's commands ("cmw 1 S,cmw 2 S"), or why it cannot be taken.
struct ParsedFeedbackLine {
    std::vector<FeedbackCommands> alternatives;
    std::string problem;  // empty when taken
};
ParsedFeedbackLine ParseFeedbackLine(std::string_view line);

// The commands a change of the output to value runs; none (and why) when the value has no
// alternative of its own.
struct ChosenFeedback {
    const FeedbackCommands* commands = nullptr;
    std::string problem;
};
ChosenFeedback ChooseFeedback(const FeedbackAction& action, long long value);

// A command's text with its placeholders filled: "%s%" the value, "%name%" the current value of
// that output (0 when it has none). A "%" that starts no placeholder stays.
using OutputValueLookup = std::function<std::optional<long long>(std::string_view name)>;
std::string ExpandFeedbackText(std::string_view text, long long value, const OutputValueLookup& otherOutput);

}  // namespace vt2
