#include "outputs/feedback_send_queue.h"

#include <algorithm>
#include <set>
#include <vector>

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
        // At most two writes of one key wait: the one next to go, and the latest state after it.
        // A newer one takes the latest's place; the next to go stays, so that a recoil's on that
        // waits is never swapped for its off (the kick lost), and a game that turns it on and off
        // faster than the gun is paced gets on and off in turn at the pace, not on for good.
        std::vector<std::deque<FeedbackWrite>::iterator> waiting;
        for (auto it = queue_.begin(); it != queue_.end(); ++it) {
            if (it->port == write.port && it->kind == write.kind && it->latestKey == write.latestKey) waiting.push_back(it);
        }
        if (waiting.size() >= 2) {
            if (waiting.front()->text == write.text) {
                queue_.erase(waiting.back());  // back to the state that goes next: nothing after it
            } else {
                waiting.back()->text = write.text;
            }
            return true;
        }
        if (waiting.size() == 1 && waiting.front()->text == write.text) return true;  // that state waits already
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

void FeedbackSendQueue::waitForRestart(const FeedbackWrite& write, std::uint64_t untilMs) {
    queue_.push_front(write);
    restartUntilMs_[GunOf(write)] = untilMs;
}

std::optional<FeedbackWrite> FeedbackSendQueue::take(std::uint64_t nowMs, unsigned& waitMs) {
    waitMs = 0;
    std::set<int> held;  // ports whose first waiting write must wait: nothing of theirs may pass it
    std::uint64_t soonest = UINT64_MAX;
    // A gun waiting for its restart lets only the restart's writes pass, until its bytes went and
    // no more of it waits, or the wait is over.
    for (auto it = restartUntilMs_.begin(); it != restartUntilMs_.end();) {
        const int gun = it->first;
        const bool restartWaits = std::any_of(queue_.begin(), queue_.end(), [&](const FeedbackWrite& w) { return w.restart && GunOf(w) == gun; });
        if (nowMs >= it->second || (restartSent_.count(gun) && !restartWaits)) {
            restartSent_.erase(gun);
            it = restartUntilMs_.erase(it);
        } else {
            soonest = std::min(soonest, it->second);
            ++it;
        }
    }
    for (auto it = queue_.begin(); it != queue_.end(); ++it) {
        const int gun = GunOf(*it);
        if (held.count(gun)) continue;
        if (restartUntilMs_.count(gun) && !it->restart) continue;  // not held: the restart's may pass it
        if (Paced(*it)) {
            const auto last = lastWriteMs_.find(gun);
            if (last != lastWriteMs_.end() && nowMs < last->second + minGapMs_) {
                held.insert(gun);
                soonest = std::min(soonest, last->second + minGapMs_);
                continue;
            }
            lastWriteMs_[gun] = nowMs;
        }
        if (it->restart && Paced(*it) && restartUntilMs_.count(gun)) restartSent_.insert(gun);
        FeedbackWrite write = std::move(*it);
        queue_.erase(it);
        return write;
    }
    if (soonest != UINT64_MAX) waitMs = static_cast<unsigned>(soonest - nowMs);
    return std::nullopt;
}

}  // namespace vt2
