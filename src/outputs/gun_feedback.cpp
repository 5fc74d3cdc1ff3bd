#include "outputs/gun_feedback.h"

#include <utility>

#include "common/text.h"

namespace vt2 {

namespace {

// A solenoid's output, by the names the guns' files give them (P1_GunRecoil, P2_CtmRecoil): the
// ones let go after the hold time. Other outputs (a lamp, a counter of shots) keep their state.
bool IsRecoil(const std::string& lowerName) {
    auto endsWith = [&](std::string_view end) {
        return lowerName.size() >= end.size() && lowerName.compare(lowerName.size() - end.size(), end.size(), end) == 0;
    };
    return endsWith("gunrecoil") || endsWith("ctmrecoil");
}

}  // namespace

std::string GunPortsDebugText(const std::vector<FeedbackPortStatus>& ports) {
    if (ports.empty()) return {};
    std::vector<std::string> lines{"Guns:"};
    for (const FeedbackPortStatus& p : ports) {
        std::string line = p.name + ": " + (p.open ? "open" : "not open");
        if (!p.open && !p.problem.empty()) line += " (" + p.problem + ")";
        if (!p.lastSent.empty()) line += ", last sent " + p.lastSent;
        lines.push_back(line);
    }
    return JoinLines(lines);
}

std::optional<FeedbackWrite> FeedbackWriteOf(const FeedbackCommand& c) {
    FeedbackWrite write;
    write.port = c.port;
    write.text = c.text;
    switch (c.kind) {
        case FeedbackCommand::Kind::Nothing:
        case FeedbackCommand::Kind::Gun: return std::nullopt;  // a gun command is made concrete at the hook
        case FeedbackCommand::Kind::Open: write.kind = FeedbackWrite::Kind::Open; break;
        case FeedbackCommand::Kind::Close: write.kind = FeedbackWrite::Kind::Close; break;
        case FeedbackCommand::Kind::Settings: write.kind = FeedbackWrite::Kind::Settings; break;
        case FeedbackCommand::Kind::Write: write.kind = FeedbackWrite::Kind::Write; break;
        case FeedbackCommand::Kind::TcpWrite: write.kind = FeedbackWrite::Kind::TcpWrite; break;
    }
    return write;
}

std::string TriggerRecoilName(std::size_t player) { return "P" + std::to_string(player + 1) + "_CtmRecoil"; }

GunFeedback::GunFeedback(FeedbackPorts& ports, FeedbackFile file, GunFeedbackOptions options)
    : ports_(ports), file_(std::move(file)), options_(options) {}

void GunFeedback::sendLeftoverStop(const FeedbackCommands& stop) { run(stop, {}, 0); }

void GunFeedback::start(const std::string&, const std::map<int, std::string>& names) {
    names_ = names;
    for (std::size_t p = 0; p < triggers_.size(); ++p) {
        // An output the game itself gives wins over the one made from the trigger.
        const std::string made = ToLowerAscii(TriggerRecoilName(p));
        bool gameHasIt = false;
        for (const auto& [id, name] : names) gameHasIt = gameHasIt || ToLowerAscii(name) == made;
        triggers_[p] = Trigger{options_.triggerRecoil[p] && !gameHasIt};
    }
    run(file_.start, {}, 0);
    running_ = true;
}

void GunFeedback::startAgain(const FeedbackGun& gun) {
    if (!running_) return;
    FeedbackCommands again;
    for (const FeedbackCommand& c : file_.start) {
        const bool server = c.kind == FeedbackCommand::Kind::TcpWrite;
        if (c.kind != FeedbackCommand::Kind::Nothing && server == gun.recoilServer && c.port == gun.port) again.push_back(c);
    }
    run(again, {}, 0, true);
}

void GunFeedback::update(int id, std::int32_t value) {
    const auto name = names_.find(id);
    if (!running_ || name == names_.end()) return;
    change(name->second, value);
}

void GunFeedback::stop(unsigned maxWaitMs) {
    if (!running_) return;
    running_ = false;
    run(file_.stop, {}, 0);
    ports_.flush(maxWaitMs);
}

void GunFeedback::pass(const std::array<bool, 2>& triggers, std::uint64_t nowMs) {
    nowMs_ = nowMs;
    if (!running_) return;
    for (std::size_t p = 0; p < triggers_.size(); ++p) {
        Trigger& t = triggers_[p];
        if (!t.made) continue;
        if (triggers[p] && !t.held) t.pulledAtMs = nowMs;
        t.held = triggers[p];
        // Held with autofire: on for the first half of each period, off for the second.
        long long value = t.held ? 1 : 0;
        if (t.held && options_.autofireMs >= 2) value = ((nowMs - t.pulledAtMs) / (options_.autofireMs / 2)) % 2 == 0 ? 1 : 0;
        if (value != t.value) {
            t.value = value;
            change(TriggerRecoilName(p), value);
        }
    }
    for (auto& [name, held] : held_) {
        if (held.letGo || nowMs < held.sinceMs + file_.holdMs) continue;
        held.letGo = true;
        const auto action = file_.outputs.find(name);
        if (action == file_.outputs.end()) continue;
        const ChosenFeedback off = ChooseFeedback(action->second, 0);
        if (off.commands) run(*off.commands, name, 0);
    }
}

std::vector<std::string> GunFeedback::takeNotes() { return std::exchange(notes_, {}); }

void GunFeedback::change(const std::string& name, long long value) {
    const std::string key = ToLowerAscii(name);
    values_[key] = value;
    if (IsRecoil(key)) {
        if (value != 0) {
            held_[key] = Held{nowMs_, false};
        } else {
            held_.erase(key);
        }
    }
    const auto action = file_.outputs.find(key);
    if (action == file_.outputs.end()) return;
    const ChosenFeedback chosen = ChooseFeedback(action->second, value);
    if (!chosen.commands) {
        if (said_.insert(key + "#" + std::to_string(value)).second) notes_.push_back("Feedback: " + name + " " + chosen.problem + ": nothing sent");
        return;
    }
    run(*chosen.commands, key, value);
}

void GunFeedback::run(const FeedbackCommands& commands, const std::string& key, long long value, bool restart) {
    const OutputValueLookup other = [this](std::string_view name) -> std::optional<long long> {
        const auto found = values_.find(ToLowerAscii(name));
        if (found == values_.end()) return std::nullopt;
        return found->second;
    };
    for (std::size_t i = 0; i < commands.size(); ++i) {
        const FeedbackCommand& c = commands[i];
        std::optional<FeedbackWrite> made = FeedbackWriteOf(c);
        if (!made) continue;
        FeedbackWrite& write = *made;
        const bool bytes = c.kind == FeedbackCommand::Kind::Write || c.kind == FeedbackCommand::Kind::TcpWrite;
        write.text = bytes ? ExpandFeedbackText(c.text, value, other) : c.text;
        if (bytes && !key.empty()) write.latestKey = key + "#" + std::to_string(i);
        write.restart = restart;
        ports_.send(write);
    }
}

}  // namespace vt2
