#include "adapters/linux/bridge_evemu_replay_source.h"

#include <evemu.h>
#include <linux/input.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <ctime>

namespace vt2::linux_input {

std::int64_t MonotonicMs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::int64_t>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

namespace {
struct FileCloser {
    void operator()(FILE* f) const { std::fclose(f); }
};
struct EvemuDeleter {
    void operator()(evemu_device* d) const { evemu_delete(d); }
};
}  // namespace

std::unique_ptr<EvemuReplaySource> EvemuReplaySource::Open(const std::string& file, std::string& why) {
    std::unique_ptr<FILE, FileCloser> in(std::fopen(file.c_str(), "r"));
    if (!in) {
        why = "cannot open " + file;
        return nullptr;
    }
    std::unique_ptr<evemu_device, EvemuDeleter> recorded(evemu_new(nullptr));
    if (!recorded || evemu_read(recorded.get(), in.get()) <= 0) {
        why = file + " is no evemu recording of a device";
        return nullptr;
    }
    auto source = std::unique_ptr<EvemuReplaySource>(new EvemuReplaySource());
    bridge::SourceDevice& d = source->device_;
    d.name = evemu_get_name(recorded.get()) ? evemu_get_name(recorded.get()) : "";
    d.vendor = static_cast<std::uint16_t>(evemu_get_id_vendor(recorded.get()));
    d.product = static_cast<std::uint16_t>(evemu_get_id_product(recorded.get()));
    d.path = file;  // a recording is told apart by its file
    d.relative = evemu_has_event(recorded.get(), EV_REL, REL_X) && evemu_has_event(recorded.get(), EV_REL, REL_Y);
    d.absolute = evemu_has_event(recorded.get(), EV_ABS, ABS_X) && evemu_has_event(recorded.get(), EV_ABS, ABS_Y);
    if (d.absolute) {
        d.x = {evemu_get_abs_minimum(recorded.get(), ABS_X), evemu_get_abs_maximum(recorded.get(), ABS_X)};
        d.y = {evemu_get_abs_minimum(recorded.get(), ABS_Y), evemu_get_abs_maximum(recorded.get(), ABS_Y)};
        if (d.x.minimum >= d.x.maximum || d.y.minimum >= d.y.maximum) {
            why = file + ": its absolute axes have no range";
            return nullptr;
        }
    }
    if (!d.relative && !d.absolute) {
        why = file + " records no pointing device (neither X/Y motion nor X/Y position)";
        return nullptr;
    }
    input_event event{};
    std::int64_t firstUs = -1;
    while (evemu_read_event(in.get(), &event) > 0) {
        const std::int64_t us = static_cast<std::int64_t>(event.input_event_sec) * 1000000 + event.input_event_usec;
        if (firstUs < 0) firstUs = us;
        source->events_.push_back({us - firstUs, {event.type, event.code, event.value}});
    }
    return source;
}

std::optional<std::int64_t> EvemuReplaySource::nextDueMs(std::int64_t nowMs) const {
    if (!started_) return std::nullopt;
    std::optional<std::int64_t> due;
    if (next_ < events_.size()) due = startMs_ + events_[next_].atUs / 1000;
    for (const std::int64_t boundary : {unplugFromMs_, unplugToMs_}) {
        if (boundary >= 0 && startMs_ + boundary > nowMs) due = std::min(due.value_or(INT64_MAX), startMs_ + boundary);
    }
    return due;
}

bool EvemuReplaySource::read(std::int64_t nowMs, std::vector<bridge::InputEvent>& events) {
    while (started_ && next_ < events_.size() && startMs_ + events_[next_].atUs / 1000 <= nowMs) {
        const Timed& e = events_[next_++];
        if (pluggedIn(startMs_ + e.atUs / 1000)) events.push_back(e.event);
    }
    return true;  // a recording played to its end stays, as a device left alone does
}

bool EvemuReplaySource::pluggedIn(std::int64_t nowMs) const {
    const std::int64_t sinceStart = nowMs - startMs_;
    return !started_ || unplugFromMs_ < 0 || sinceStart < unplugFromMs_ || sinceStart >= unplugToMs_;
}

void EvemuReplaySource::startOver(std::int64_t nowMs) {
    startMs_ = nowMs;
    next_ = 0;
    started_ = true;
}

}  // namespace vt2::linux_input
