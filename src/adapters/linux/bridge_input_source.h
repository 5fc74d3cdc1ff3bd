#pragma once
// One device the bridge reads: a real input event device, or a recording played back as one.

#include <cstdint>
#include <optional>
#include <vector>

#include "bridge/bridge_session.h"
#include "bridge/bridge_input_frames.h"

namespace vt2::linux_input {

class InputSource {
public:
    virtual ~InputSource() = default;
    virtual const bridge::SourceDevice& device() const = 0;
    // A descriptor to wait on for its events, or -1 (a replay, which says when it is due).
    virtual int descriptor() const = 0;
    // Milliseconds (on the monotonic clock) when its next event, or its unplugging or plugging in,
    // is due after nowMs, for a replay.
    virtual std::optional<std::int64_t> nextDueMs(std::int64_t nowMs) const = 0;
    // Its events up to now; false when the device is gone.
    virtual bool read(std::int64_t nowMs, std::vector<bridge::InputEvent>& events) = 0;
    // Whether it is plugged in now: a replay may be unplugged for a while, and plugged in again.
    virtual bool pluggedIn(std::int64_t) const { return true; }
    // A replay plays from its start again; a device goes on.
    virtual void startOver(std::int64_t nowMs) = 0;
};

std::int64_t MonotonicMs();

}  // namespace vt2::linux_input
