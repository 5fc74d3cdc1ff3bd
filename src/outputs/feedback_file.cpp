#include "outputs/feedback_file.h"

#include "common/ini_lines.h"
#include "common/numbers.h"
#include "common/text.h"

namespace vt2 {

namespace {

struct CommandWord {
    const char* word;
    FeedbackCommand::Kind kind;
    bool takesPort;
    bool takesText;
};

constexpr CommandWord kWords[] = {
    {"cmo", FeedbackCommand::Kind::Open, true, true},      {"cmw", FeedbackCommand::Kind::Write, true, true},
    {"cmc", FeedbackCommand::Kind::Close, true, false},    {"css", FeedbackCommand::Kind::Settings, true, true},
    {"tcw", FeedbackCommand::Kind::TcpWrite, true, true},  {"gun", FeedbackCommand::Kind::Gun, true, true},
    {"nll", FeedbackCommand::Kind::Nothing, false, false},
};

constexpr std::pair<const char*, GunAction> kGunActions[] = {
    {"start", GunAction::Start}, {"stop", GunAction::Stop}, {"recoil", GunAction::Recoil},
    {"motor", GunAction::Motor}, {"lamp", GunAction::Lamp}, {"pulse", GunAction::Pulse},
};

// "cmw 1 F0x1": the word, the port, and the rest as it stands (blanks inside a text are bytes).
std::optional<FeedbackCommand> ParseCommand(std::string_view text, std::string& problem) {
    const std::string command = TrimBlanks(text);
    const std::size_t wordEnd = command.find(' ');
    const std::string word = ToLowerAscii(command.substr(0, wordEnd));
    const CommandWord* known = nullptr;
    for (const CommandWord& w : kWords) {
        if (word == w.word) known = &w;
    }
    if (!known) {
        problem = "\"" + command + "\" is no command (cmo, cmw, cmc, css, tcw, gun or nll)";
        return std::nullopt;
    }
    FeedbackCommand parsed;
    parsed.kind = known->kind;
    const std::string rest = wordEnd == std::string::npos ? std::string() : TrimBlanks(command.substr(wordEnd + 1));
    if (!known->takesPort) {
        if (!rest.empty()) {
            problem = "\"" + command + "\": " + word + " takes nothing after it";
            return std::nullopt;
        }
        return parsed;
    }
    const std::size_t portEnd = rest.find(' ');
    const std::string portText = rest.substr(0, portEnd);
    const auto port = ParseWholeNumber(portText);
    if (portText.empty() || !port || *port < 1 || *port > 255) {
        problem = "\"" + command + "\": \"" + portText + "\" is no port number (1 to 255)";
        return std::nullopt;
    }
    parsed.port = static_cast<int>(*port);
    parsed.text = portEnd == std::string::npos ? std::string() : rest.substr(portEnd + 1);
    if (known->takesText && parsed.text.empty()) {
        const bool settings = parsed.kind == FeedbackCommand::Kind::Open || parsed.kind == FeedbackCommand::Kind::Settings;
        const char* needed = parsed.kind == FeedbackCommand::Kind::Gun ? "an action"
                             : settings                                ? "the port's settings"
                                                                       : "the text to send";
        problem = "\"" + command + "\": " + word + " needs " + needed;
        return std::nullopt;
    }
    if (!known->takesText && !parsed.text.empty()) {
        problem = "\"" + command + "\": " + word + " takes only the port";
        return std::nullopt;
    }
    if (parsed.kind == FeedbackCommand::Kind::Gun) {
        const auto action = ParseGunAction(parsed.text);
        if (parsed.port > 2 || !action) {
            problem = "\"" + command + "\": gun takes a player (1 or 2) and start, stop, recoil, motor, lamp or pulse";
            return std::nullopt;
        }
        parsed.action = *action;
        parsed.text.clear();
    }
    return parsed;
}

}  // namespace

std::optional<GunAction> ParseGunAction(std::string_view word) {
    const std::string lower = ToLowerAscii(TrimBlanks(word));
    for (const auto& [name, action] : kGunActions) {
        if (lower == name) return action;
    }
    return std::nullopt;
}

ParsedFeedbackLine ParseFeedbackLine(std::string_view line) {
    ParsedFeedbackLine parsed;
    if (line.size() > kMaxFeedbackLine) {
        parsed.problem = "is longer than " + std::to_string(kMaxFeedbackLine) + " characters";
        return parsed;
    }
    for (const std::string& alternative : SplitText(line, '|')) {
        FeedbackCommands commands;
        for (const std::string& text : SplitText(alternative, ',')) {
            if (TrimBlanks(text).empty()) continue;  // "a,,b" or an empty alternative: nothing there
            const auto command = ParseCommand(text, parsed.problem);
            if (!command) {
                parsed.alternatives.clear();
                return parsed;
            }
            commands.push_back(*command);
        }
        parsed.alternatives.push_back(std::move(commands));
    }
    return parsed;
}

FeedbackFile ParseFeedbackFile(std::string_view text) {
    FeedbackFile file;
    for (const IniLine& line : ReadIniLines(text)) {
        if (line.kind != IniLine::Kind::Entry) continue;
        const bool general = EqualsIgnoreCase(line.section, "General");
        const bool output = EqualsIgnoreCase(line.section, "Output");
        if (general && EqualsIgnoreCase(line.key, "HoldMs")) {
            // Only longer than the default: a solenoid is never held on for ever.
            const auto hold = ParseWholeNumber(line.value);
            if (hold && *hold >= kDefaultHoldMs && *hold <= kLongestHoldMs) {
                file.holdMs = static_cast<unsigned>(*hold);
            } else {
                file.notes.push_back("line " + std::to_string(line.number) + ": [General] HoldMs \"" + line.value + "\" is no time from " +
                                     std::to_string(kDefaultHoldMs) + " to " + std::to_string(kLongestHoldMs) + " ms: " +
                                     std::to_string(kDefaultHoldMs) + " ms it is");
            }
            continue;
        }
        const bool start = general && EqualsIgnoreCase(line.key, "MameStart");
        const bool stop = general && EqualsIgnoreCase(line.key, "MameStop");
        if (!output && !start && !stop) continue;  // the other keys of such files are not for guns
        auto note = [&](const std::string& why) {
            file.notes.push_back("line " + std::to_string(line.number) + ": [" + line.section + "] " + line.key + " " + why +
                                 ": it does nothing");
        };
        if (line.valueLength > line.value.size()) {
            note("is longer than " + std::to_string(line.value.size()) + " characters");
            continue;
        }
        if (line.value.empty()) continue;
        ParsedFeedbackLine parsed = ParseFeedbackLine(line.value);
        if (!parsed.problem.empty()) {
            note(parsed.problem);
            continue;
        }
        if ((start || stop) && parsed.alternatives.size() != 1) {
            note("has alternatives by value, which a start or stop has none of");
            continue;
        }
        if (start) {
            file.start = std::move(parsed.alternatives.front());
        } else if (stop) {
            file.stop = std::move(parsed.alternatives.front());
            file.stopText = line.value;
        } else if (!file.outputs.emplace(ToLowerAscii(line.key), FeedbackAction{std::move(parsed.alternatives)}).second) {
            note("appears again: only the first is taken");
        }
    }
    return file;
}

ChosenFeedback ChooseFeedback(const FeedbackAction& action, long long value) {
    if (action.alternatives.size() == 1) return {&action.alternatives.front(), {}};
    if (action.onOff && action.alternatives.size() == 2) return {&action.alternatives[value == 0 ? 0 : 1], {}};
    if (value < 0 || value >= static_cast<long long>(action.alternatives.size())) {
        return {nullptr, "has no alternative for the value " + std::to_string(value) + " (it has " +
                             std::to_string(action.alternatives.size()) + ")"};
    }
    return {&action.alternatives[static_cast<std::size_t>(value)], {}};
}

std::string ExpandFeedbackText(std::string_view text, long long value, const OutputValueLookup& otherOutput) {
    // An output's name between two "%": letters, digits, "_", "-" and "."; any other "%" is a byte.
    auto isName = [](std::string_view name) {
        if (name.empty()) return false;
        for (char c : name) {
            const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '-' || c == '.';
            if (!ok) return false;
        }
        return true;
    };
    std::string out;
    std::size_t i = 0;
    while (i < text.size()) {
        const std::size_t open = text.find('%', i);
        const std::size_t close = open == std::string_view::npos ? open : text.find('%', open + 1);
        if (close == std::string_view::npos) break;
        out.append(text.substr(i, open - i));
        const std::string_view name = text.substr(open + 1, close - open - 1);
        if (!isName(name)) {
            out.push_back('%');
            i = open + 1;
            continue;
        }
        if (name == "s") {
            out += std::to_string(value);
        } else {
            const auto other = otherOutput ? otherOutput(name) : std::nullopt;
            out += std::to_string(other.value_or(0));
        }
        i = close + 1;
    }
    out.append(text.substr(i));
    return out;
}

}  // namespace vt2
