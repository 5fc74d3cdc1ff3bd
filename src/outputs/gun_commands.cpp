#include "outputs/gun_commands.h"

#include <algorithm>

#include "common/text.h"

namespace vt2 {

namespace {

// What a serial gun takes, as text without a line end; empty: nothing for it.
struct SerialSet {
    const char* settings;
    const char* start;
    const char* stop;  // leaves the host-driven mode: it must be the last bytes the gun gets
    const char* recoilOn;
    const char* recoilOff;
    const char* motorOn;
    const char* motorOff;
    const char* lampOn;
    const char* lampOff;
    const char* pulse;  // one recoil pulse the gun times itself
};

constexpr SerialSet kOpenFirmware{"baud=9600_parity=N_data=8_stop=1", "S", "E", "F0x1", "F0x0", "F1x1", "F1x0",
                                  "F3x1x255", "F3x0", "F0x2x1"};
// These two sets fire once per command: an output going back to 0 sends nothing.
constexpr SerialSet kSmFb{"baud=9600_parity=N_data=8_stop=1", "SM.6.1", "ES", "FB.0.1", "", "FB.1.1", "", "", "", "FB.0.1"};
constexpr SerialSet kZsZ5{"baud=115200_parity=N_data=8_stop=1", "ZS", "ZX", "Z5", "", "ZZ", "", "", "", "Z5"};

struct KindName {
    GunKind kind;
    const char* word;
    const char* entry;
};
constexpr KindName kKinds[] = {
    {GunKind::None, "none", "None"},
    {GunKind::OpenFirmware, "firmware", "S / E / F0x (9600)"},
    {GunKind::SmFb, "smfb", "SM / FB (9600)"},
    {GunKind::ZsZ5, "zs", "ZS / Z5 (115200)"},
    {GunKind::RecoilServer, "tcp", "TCP Recoil Server"},
};

FeedbackCommand Command(FeedbackCommand::Kind kind, int port, std::string text) {
    FeedbackCommand c;
    c.kind = kind;
    c.port = port;
    c.text = std::move(text);
    return c;
}

FeedbackCommands SerialCommands(const SerialSet& set, int port, GunAction action, bool on) {
    FeedbackCommands out;
    auto write = [&](const char* text) {
        if (*text) out.push_back(Command(FeedbackCommand::Kind::Write, port, text));
    };
    switch (action) {
        case GunAction::Start:
            out.push_back(Command(FeedbackCommand::Kind::Open, port, set.settings));
            write(set.start);
            break;
        case GunAction::Stop:
            write(set.stop);
            out.push_back(Command(FeedbackCommand::Kind::Close, port, {}));
            break;
        case GunAction::Recoil: write(on ? set.recoilOn : set.recoilOff); break;
        case GunAction::Motor: write(on ? set.motorOn : set.motorOff); break;
        case GunAction::Lamp: write(on ? set.lampOn : set.lampOff); break;
        case GunAction::Pulse: write(set.pulse); break;
    }
    return out;
}

// The recoil server takes the player's number before each word; the start turns the gun's own
// trigger recoil off (else each shot kicks twice), the stop gives it back.
FeedbackCommands RecoilServerCommands(int server, int player, GunAction action, bool on) {
    const std::string who = std::to_string(player);
    auto send = [&](const std::string& word) { return FeedbackCommands{Command(FeedbackCommand::Kind::TcpWrite, server, who + word)}; };
    switch (action) {
        case GunAction::Start: return send("K0");
        case GunAction::Stop: return send("K1");
        case GunAction::Recoil: return on ? send("A") : FeedbackCommands{};
        case GunAction::Pulse: return send("A");
        case GunAction::Motor:
        case GunAction::Lamp: return {};
    }
    return {};
}

bool HasGunCommand(const FeedbackCommands& commands) {
    return std::any_of(commands.begin(), commands.end(), [](const FeedbackCommand& c) { return c.kind == FeedbackCommand::Kind::Gun; });
}

class Resolver {
public:
    Resolver(FeedbackFile& file, const std::array<GunSetup, 2>& guns) : file_(file), guns_(guns) {}

    FeedbackCommands resolve(const FeedbackCommands& commands, bool on) {
        FeedbackCommands out;
        for (const FeedbackCommand& c : commands) {
            if (c.kind != FeedbackCommand::Kind::Gun) {
                out.push_back(c);
                continue;
            }
            const GunSetup& gun = guns_[static_cast<std::size_t>(c.port - 1)];
            if ((gun.kind == GunKind::None || gun.port == 0) && !said_[static_cast<std::size_t>(c.port - 1)]) {
                said_[static_cast<std::size_t>(c.port - 1)] = true;
                file_.notes.push_back("player " + std::to_string(c.port) +
                                      " has no gun port and kind set (page 2 of the configuration): that gun gets nothing");
            }
            const FeedbackCommands made = GunCommands(gun, c.port, c.action, on);
            out.insert(out.end(), made.begin(), made.end());
        }
        return out;
    }

private:
    FeedbackFile& file_;
    const std::array<GunSetup, 2>& guns_;
    std::array<bool, 2> said_{};
};

}  // namespace

std::optional<GunKind> ParseGunKind(std::string_view word) {
    const std::string lower = ToLowerAscii(TrimBlanks(word));
    if (lower.empty()) return GunKind::None;
    for (const KindName& k : kKinds) {
        if (lower == k.word) return k.kind;
    }
    return std::nullopt;
}

std::string GunKindWord(GunKind kind) {
    for (const KindName& k : kKinds) {
        if (k.kind == kind) return kind == GunKind::None ? std::string() : k.word;
    }
    return {};
}

const std::vector<std::string>& GunKindEntries() {
    static const std::vector<std::string> entries = [] {
        std::vector<std::string> names;
        for (const KindName& k : kKinds) names.emplace_back(k.entry);
        return names;
    }();
    return entries;
}

FeedbackCommands GunCommands(const GunSetup& setup, int player, GunAction action, bool on) {
    if (setup.port < 1 || setup.port > 255) return {};
    switch (setup.kind) {
        case GunKind::None: return {};
        case GunKind::OpenFirmware: return SerialCommands(kOpenFirmware, setup.port, action, on);
        case GunKind::SmFb: return SerialCommands(kSmFb, setup.port, action, on);
        case GunKind::ZsZ5: return SerialCommands(kZsZ5, setup.port, action, on);
        case GunKind::RecoilServer: return RecoilServerCommands(setup.port, player, action, on);
    }
    return {};
}

void ResolveGunCommands(FeedbackFile& file, const std::array<GunSetup, 2>& guns) {
    Resolver resolver(file, guns);
    if (HasGunCommand(file.start)) file.start = resolver.resolve(file.start, true);
    if (HasGunCommand(file.stop)) {
        file.stop = resolver.resolve(file.stop, true);
        file.stopText = FeedbackCommandsText(file.stop);
    }
    for (auto& [name, action] : file.outputs) {
        const bool any = std::any_of(action.alternatives.begin(), action.alternatives.end(), HasGunCommand);
        if (!any) continue;
        if (action.alternatives.size() == 1) {
            const FeedbackCommands line = action.alternatives.front();
            action.alternatives = {resolver.resolve(line, false), resolver.resolve(line, true)};
            action.onOff = true;
            continue;
        }
        for (std::size_t i = 0; i < action.alternatives.size(); ++i) action.alternatives[i] = resolver.resolve(action.alternatives[i], i != 0);
    }
}

std::string FeedbackCommandsText(const FeedbackCommands& commands) {
    std::string text;
    for (const FeedbackCommand& c : commands) {
        std::string one;
        switch (c.kind) {
            case FeedbackCommand::Kind::Open: one = "cmo " + std::to_string(c.port) + " " + c.text; break;
            case FeedbackCommand::Kind::Write: one = "cmw " + std::to_string(c.port) + " " + c.text; break;
            case FeedbackCommand::Kind::Close: one = "cmc " + std::to_string(c.port); break;
            case FeedbackCommand::Kind::Settings: one = "css " + std::to_string(c.port) + " " + c.text; break;
            case FeedbackCommand::Kind::TcpWrite: one = "tcw " + std::to_string(c.port) + " " + c.text; break;
            case FeedbackCommand::Kind::Gun: continue;  // only ever written once resolved
            case FeedbackCommand::Kind::Nothing: one = "nll"; break;
        }
        if (!text.empty()) text += ",";
        text += one;
    }
    return text;
}

}  // namespace vt2
