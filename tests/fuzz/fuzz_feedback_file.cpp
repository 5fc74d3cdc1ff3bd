// A players' feedback file of any bytes, and any changes of its outputs and triggers: no write to a
// port no file can name, a placeholder grows a text by at most a number, the hold time stays in
// its bounds, the stop comes once; its gun commands, made those of the players' guns, leave none
// behind, and the stop kept for a killed run reads back as the stop sent. Any text as a port's
// stable name: taken or not, its name's text reads back as the same name.
#include "fuzz_support.h"
#include "outputs/gun_commands.h"
#include "outputs/gun_feedback.h"
#include "outputs/gun_port_names.h"

using namespace vt2;

namespace {

class CountingPorts final : public FeedbackPorts {
public:
    void send(const FeedbackWrite& write) override {
        fuzz::Check(write.port >= 1 && write.port <= 255, "a write to a port no file can name");
        ++writes;
    }
    void flush(unsigned) override { ++flushes; }
    std::vector<FeedbackPortStatus> status() override { return {}; }
    std::vector<std::string> takeNotes() override { return {}; }
    std::vector<FeedbackGun> takeReturnedGuns() override { return {}; }
    int writes = 0;
    int flushes = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Bytes in(data, size);
    const std::string line = in.text();
    const std::string file = in.rest();

    const ParsedFeedbackLine parsed = ParseFeedbackLine(line);
    fuzz::Check(parsed.problem.empty() != parsed.alternatives.empty() || (parsed.problem.empty() && line.empty()),
                "a line both taken and refused");
    for (const FeedbackCommands& alternative : parsed.alternatives) {
        for (const FeedbackCommand& c : alternative) {
            const std::string expanded = ExpandFeedbackText(c.text, -1234567890123LL, [](std::string_view) { return 42LL; });
            fuzz::Check(expanded.size() <= c.text.size() * 7 + 1, "a placeholder grew a text past a number");
        }
    }

    if (const auto name = ParseGunPortName(line)) {
        fuzz::Check(ParseGunPortName(GunPortNameText(*name)) == name, "a port's name reads back as another");
    }

    FeedbackFile parsedFile = ParseFeedbackFile(file);
    const std::uint8_t kinds = size > 0 ? data[0] : 0;
    ResolveGunCommands(parsedFile, {GunSetup{static_cast<GunKind>(kinds % 5), 1 + kinds % 7},
                                    GunSetup{static_cast<GunKind>((kinds / 5) % 5), 255}});
    auto anyGun = [](const FeedbackCommands& commands) {
        for (const FeedbackCommand& c : commands) {
            if (c.kind == FeedbackCommand::Kind::Gun) return true;
        }
        return false;
    };
    fuzz::Check(!anyGun(parsedFile.start) && !anyGun(parsedFile.stop), "a gun command left in the start or stop");
    for (const auto& [name, action] : parsedFile.outputs) {
        for (const FeedbackCommands& alternative : action.alternatives) fuzz::Check(!anyGun(alternative), "a gun command left");
    }
    if (!parsedFile.stopText.empty()) {
        const ParsedFeedbackLine kept = ParseFeedbackLine(parsedFile.stopText);
        fuzz::Check(kept.problem.empty() && kept.alternatives.size() == 1 && kept.alternatives.front() == parsedFile.stop,
                    "the stop kept for a killed run is not the stop sent");
    }
    fuzz::Check(parsedFile.holdMs >= kDefaultHoldMs && parsedFile.holdMs <= kLongestHoldMs, "a hold time out of its bounds");
    CountingPorts ports;
    GunFeedback guns(ports, parsedFile, {{true, true}, 30});
    std::map<int, std::string> names;
    int id = 1;
    for (const auto& [name, action] : parsedFile.outputs) names[id++] = name;
    guns.start("fuzz", names);
    std::uint64_t now = 0;
    for (std::size_t i = 0; i < 64 && i < file.size(); ++i) {
        const auto b = static_cast<unsigned char>(file[i]);
        guns.update(b % (id + 1), static_cast<std::int32_t>(b) - 128);
        now += b % 50;
        guns.pass({(b & 1) != 0, (b & 2) != 0}, now);
    }
    guns.stop(0);
    guns.stop(0);
    fuzz::Check(ports.flushes == 1, "the stop sent other than once");
    return 0;
}
