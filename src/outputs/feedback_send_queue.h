#pragma once
// The order and pace in which the guns' ports are written: what a port's writer thread takes next.
// Writes to one port leave in the order they came, at most one a minGapMs (a gun's solenoid does
// not survive more, and a USB serial gun merges what comes faster); of the writes of one key (one
// output's command) at most two wait, the next to go and the latest state, which a newer one
// replaces; opening, closing and settings are not paced. The
// queue is bounded: when it is full, the oldest write that may be replaced goes, else the newcomer.

#include <cstdint>
#include <deque>
#include <map>
#include <optional>
#include <set>

#include "platform/feedback_ports.h"

namespace vt2 {

inline constexpr unsigned kFeedbackMinGapMs = 40;  // 25 writes a second per gun
inline constexpr std::size_t kFeedbackQueueCapacity = 256;

class FeedbackSendQueue {
public:
    explicit FeedbackSendQueue(unsigned minGapMs = kFeedbackMinGapMs, std::size_t capacity = kFeedbackQueueCapacity)
        : minGapMs_(minGapMs), capacity_(capacity) {}

    // False when a write had to be dropped to keep the bound.
    bool push(const FeedbackWrite& write);
    // The next write that may leave at nowMs, taken off the queue; none while every port must
    // wait (waitMs then says how long, 0 when the queue is empty).
    std::optional<FeedbackWrite> take(std::uint64_t nowMs, unsigned& waitMs);
    bool empty() const { return queue_.empty(); }
    // A write that found its gun's port back after it had gone: it goes first again once the
    // gun's restart writes went, and until then (or untilMs) nothing of that gun but those goes.
    void waitForRestart(const FeedbackWrite& write, std::uint64_t untilMs);
    std::size_t size() const { return queue_.size(); }

private:
    unsigned minGapMs_;
    std::size_t capacity_;
    std::deque<FeedbackWrite> queue_;
    std::map<int, std::uint64_t> lastWriteMs_;  // by gun (COM N: N, recoil server N: -N): its last paced write
    std::map<int, std::uint64_t> restartUntilMs_;  // the guns whose writes wait for their restart
    std::set<int> restartSent_;                     // of those, the ones a restart write went to
};

}  // namespace vt2
