#include "outputs/feedback_send_queue.h"

#include <algorithm>
#include <set>

namespace vt2 {

namespace {

bool Paced(const FeedbackWrite& write) {
    return write.kind == FeedbackWrite::Kind::Write || write.kind == FeedbackWrite::Kind::TcpWrite;
}

// COM N and recoil server N are two guns.
int GunOf(const FeedbackWrite& write) { return write.kind == FeedbackWrite::Kind::TcpWrite ? -write.port : write.port; }

}  // namespace

bool FeedbackSendQueue::push(const FeedbackWrite& write) {
    if (!write.latestKey.empty()) {
        const auto waiting = std::find_if(queue_.begin(), queue_.end(), [&](const FeedbackWrite& w) {
            return w.port == write.port && w.kind == write.kind && w.latestKey == write.latestKey;
        });
        if (waiting != queue_.end()) {
            waiting->text = write.text;
            return true;
        }
    }
    if (queue_.size() < capacity_) {
        queue_.push_back(write);
        return true;
    }
    const auto replaceable = std::find_if(queue_.begin(), queue_.end(), [](const FeedbackWrite& w) { return !w.latestKey.empty(); });
    if (replaceable == queue_.end()) return false;
    queue_.erase(replaceable);
    queue_.push_back(write);
    return false;
}

std::optional<FeedbackWrite> FeedbackSendQueue::take(std::uint64_t nowMs, unsigned& waitMs) {
    waitMs = 0;
    std::set<int> held;  // ports whose first waiting write must wait: nothing of theirs may pass it
    std::uint64_t soonest = UINT64_MAX;
    for (auto it = queue_.begin(); it != queue_.end(); ++it) {
        const int gun = GunOf(*it);
        if (held.count(gun)) continue;
        if (Paced(*it)) {
            const auto last = lastWriteMs_.find(gun);
            if (last != lastWriteMs_.end() && nowMs < last->second + minGapMs_) {
                held.insert(gun);
                soonest = std::min(soonest, last->second + minGapMs_);
                continue;
            }
            lastWriteMs_[gun] = nowMs;
        }
        FeedbackWrite write = std::move(*it);
        queue_.erase(it);
        return write;
    }
    if (soonest != UINT64_MAX) waitMs = static_cast<unsigned>(soonest - nowMs);
    return std::nullopt;
}

}  // namespace vt2
