#pragma once
// A recording of a device in evemu's format (what `evemu-record` writes: the device's name, ids
// and axes, then its events with their times), played as that device in real time from the
// moment it is started over.

#include <memory>
#include <string>

#include "adapters/linux/bridge_input_source.h"

namespace vt2::linux_input {

class EvemuReplaySource : public InputSource {
public:
    // Nothing, and a reason, when the file cannot be read as a recording.
    static std::unique_ptr<EvemuReplaySource> Open(const std::string& file, std::string& why);

    const bridge::SourceDevice& device() const override { return device_; }
    int descriptor() const override { return -1; }
    std::optional<std::int64_t> nextDueMs(std::int64_t nowMs) const override;
    bool read(std::int64_t nowMs, std::vector<bridge::InputEvent>& events) override;
    void startOver(std::int64_t nowMs) override;
    bool pluggedIn(std::int64_t nowMs) const override;
    // Unplugged from fromMs to toMs after its start (its events meanwhile are lost, as a real
    // gun's are), then plugged in again.
    void unplugBetween(std::int64_t fromMs, std::int64_t toMs) {
        unplugFromMs_ = fromMs;
        unplugToMs_ = toMs;
    }

private:
    struct Timed {
        std::int64_t atUs;  // from the recording's first event
        bridge::InputEvent event;
    };
    bridge::SourceDevice device_;
    std::vector<Timed> events_;
    std::size_t next_ = 0;
    std::int64_t startMs_ = 0;
    bool started_ = false;
    std::int64_t unplugFromMs_ = -1, unplugToMs_ = -1;
};

}  // namespace vt2::linux_input
