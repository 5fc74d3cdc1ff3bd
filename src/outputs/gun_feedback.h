#pragma once
// The players' guns driven from the game's outputs: the feedback file's commands for the game's
// start, each output's change and the stop, turned into writes to the guns' ports; recoil made
// from the triggers for games that have no recoil output; a solenoid never left on. It is one of
// the run's output servers (NumericOutputs), so it hears each change when the others do.

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "outputs/feedback_file.h"
#include "platform/feedback_ports.h"
#include "platform/numeric_output_servers.h"

namespace vt2 {

struct GunFeedbackOptions {
    std::array<bool, 2> triggerRecoil{};  // per player: VT2's own Pn_CtmRecoil follows the trigger
    unsigned autofireMs = 0;              // not 0: while a trigger is held, a pulse every autofireMs
};

class GunFeedback final : public NumericOutputs {
public:
    GunFeedback(FeedbackPorts& ports, FeedbackFile file, GunFeedbackOptions options);

    // The stop a run that ended without one left behind: sent before this run's start.
    void sendLeftoverStop(const FeedbackCommands& stop);
    void start(const std::string& game, const std::map<int, std::string>& names) override;
    void update(int id, std::int32_t value) override;
    void stop(unsigned maxWaitMs) override;
    // A gun whose port came back: the start's commands for that port again, so that it takes the
    // commands that follow (a gun plugged in again left the mode the start put it in).
    void startAgain(const FeedbackGun& gun);
    // Each pass, with the triggers as the game gets them: trigger recoil, autofire, and the
    // recoil outputs held on longer than the file allows let go.
    void pass(const std::array<bool, 2>& triggers, std::uint64_t nowMs);

    bool running() const { return running_; }
    const FeedbackFile& file() const { return file_; }
    // What could not be done, once each, for the debug window.
    std::vector<std::string> takeNotes();

private:
    void change(const std::string& name, long long value);
    void run(const FeedbackCommands& commands, const std::string& key, long long value, bool restart = false);

    struct Held {
        std::uint64_t sinceMs = 0;
        bool letGo = false;
    };
    struct Trigger {
        bool made = false;  // VT2 makes this player's recoil (the game has none)
        bool held = false;
        std::uint64_t pulledAtMs = 0;
        long long value = 0;
    };

    FeedbackPorts& ports_;
    FeedbackFile file_;
    GunFeedbackOptions options_;
    bool running_ = false;
    std::uint64_t nowMs_ = 0;
    std::map<int, std::string> names_;            // the game's outputs by id
    std::map<std::string, long long> values_;     // every output's last value, by name in small letters
    std::map<std::string, Held> held_;            // the recoil outputs that are on
    std::array<Trigger, 2> triggers_{};
    std::set<std::string> said_;
    std::vector<std::string> notes_;
};

// The guns' ports for the debug window: "Guns:", then per port what it is, whether it is open
// and the last command sent (or why it is not open). Empty when no port was used yet.
std::string GunPortsDebugText(const std::vector<FeedbackPortStatus>& ports);

// The port write a command makes, its text as it stands; none for one that writes nothing (nll,
// or a gun command not made concrete).
std::optional<FeedbackWrite> FeedbackWriteOf(const FeedbackCommand& command);

// The name VT2 gives a player's trigger recoil: "P1_CtmRecoil", "P2_CtmRecoil".
std::string TriggerRecoilName(std::size_t player);

}  // namespace vt2
