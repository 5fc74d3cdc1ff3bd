#include "outputs/threaded_output_link.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <string_view>
#include <system_error>
#include <thread>
#include <unordered_map>
#include <vector>

namespace vt2 {

namespace {

// What a command does to the server's picture of the game: starts it, changes the value of one
// output (the key says which: the command up to its value), or stops it.
struct CommandKind {
    enum Kind { Start, Change, Stop } kind;
    std::string key;
};

CommandKind Classify(std::string_view command) {
    if (command.rfind("mamestart|", 0) == 0) return {CommandKind::Start, {}};
    if (command.rfind("mamestop|", 0) == 0) return {CommandKind::Stop, {}};
    return {CommandKind::Change, std::string(command.substr(0, command.rfind('|')))};
}

}  // namespace

struct ThreadedOutputLink::Shared {
    std::mutex mutex;
    std::condition_variable work;     // a command waits, or the link is going
    std::condition_variable settled;  // nothing is left to deliver, no server takes it, or the thread ended
    std::deque<std::string> waiting;
    // The game as the server should see it now: its start and the last change of each output, in
    // the order the outputs first changed. A server that missed commands gets this instead.
    std::string start;
    std::vector<std::string> current;
    std::unordered_map<std::string, std::size_t> currentIndex;  // by the output's key
    bool resync = false;    // the server missed commands: it gets the current state before the next one
    bool noServer = false;  // the last delivery failed: nothing can go out until a server answers
    bool busy = false;
    bool stopping = false;
    bool ended = false;
    std::uint64_t delivered = 0;
    std::uint64_t dropped = 0;

    bool hasWork() const { return resync || !waiting.empty(); }

    void remember(const std::string& command) {
        const CommandKind what = Classify(command);
        if (what.kind != CommandKind::Change) {
            // A new game starts from no values; a stopped one has none to give.
            start = what.kind == CommandKind::Start ? command : std::string();
            current.clear();
            currentIndex.clear();
            return;
        }
        const auto [at, added] = currentIndex.emplace(what.key, current.size());
        if (added) {
            current.push_back(command);
        } else {
            current[at->second] = command;
        }
    }

    // The commands that give the server the current state, in place of every waiting command they
    // cover (all but a stop, which still goes after them).
    std::vector<std::string> takeCurrentState() {
        std::vector<std::string> commands;
        if (!start.empty()) commands.push_back(start);
        commands.insert(commands.end(), current.begin(), current.end());
        std::deque<std::string> stops;
        for (std::string& command : waiting) {
            if (Classify(command).kind == CommandKind::Stop) {
                stops.push_back(std::move(command));
            } else {
                ++dropped;
            }
        }
        waiting.swap(stops);
        resync = false;
        return commands;
    }
};

namespace {

using Shared = ThreadedOutputLink::Shared;

void RunSender(const std::shared_ptr<Shared>& shared, const OutputDeliveryFactory& makeDelivery) {
    std::unique_ptr<OutputDelivery> delivery = makeDelivery();
    std::unique_lock<std::mutex> lock(shared->mutex);
    bool backingOff = false;  // no server took the last command: the next try waits for the idle tick
    for (;;) {
        shared->work.wait_for(lock, std::chrono::milliseconds(ThreadedOutputLink::kIdleWakeMs),
                              [&] { return shared->stopping || (!backingOff && shared->hasWork()); });
        // Going: what was handed over goes out first, unless no server takes it.
        if (shared->stopping && (!shared->hasWork() || backingOff)) break;
        backingOff = false;
        if (!shared->hasWork()) {
            lock.unlock();
            if (delivery) delivery->handleMessages();
            lock.lock();
            continue;
        }
        std::vector<std::string> batch;
        if (shared->resync) {
            batch = shared->takeCurrentState();
        } else {
            batch.push_back(std::move(shared->waiting.front()));
            shared->waiting.pop_front();
        }
        shared->busy = true;
        lock.unlock();
        std::size_t taken = 0;
        if (delivery) {
            delivery->handleMessages();
            while (taken < batch.size() && delivery->deliver(batch[taken])) ++taken;
        }
        lock.lock();
        shared->busy = false;
        shared->delivered += taken;
        if (taken < batch.size()) {
            // The server missed this (it may be gone, or not there yet): when one answers again it
            // gets the current state, not the commands it missed.
            shared->dropped += batch.size() - taken;
            shared->resync = true;
            shared->noServer = true;
            backingOff = true;
        } else {
            shared->noServer = false;
        }
        if (!shared->hasWork() || shared->noServer) shared->settled.notify_all();
    }
    lock.unlock();
    delivery.reset();  // the conversation ends on the thread that made it
    lock.lock();
    shared->ended = true;
    shared->settled.notify_all();
}

}  // namespace

bool StartDetachedThread(std::function<void()> body) {
    try {
        std::thread(std::move(body)).detach();
        return true;
    } catch (const std::system_error&) {
        return false;
    }
}

ThreadedOutputLink::ThreadedOutputLink(OutputDeliveryFactory makeDelivery, OutputLink& fallback,
                                       std::function<void(const std::string&)> report, ThreadStarter startThread)
    : shared_(std::make_shared<Shared>()),
      makeDelivery_(std::move(makeDelivery)),
      fallback_(fallback),
      report_(std::move(report)),
      startThread_(std::move(startThread)) {}

ThreadedOutputLink::~ThreadedOutputLink() {
    if (!threadStarted_) return;
    std::unique_lock<std::mutex> lock(shared_->mutex);
    shared_->stopping = true;
    shared_->work.notify_all();
    // The thread holds its own share of the state: if it is still busy after the wait, it ends
    // later on its own and nothing it uses has been freed.
    shared_->settled.wait_for(lock, std::chrono::milliseconds(kStopWaitMs), [&] { return shared_->ended; });
}

void ThreadedOutputLink::send(const std::string& command) {
    if (threadFailed_) {
        fallback_.send(command);
        return;
    }
    if (!threadStarted_) {
        // The thread starts with the first command: a run without outputs has none.
        std::shared_ptr<Shared> shared = shared_;
        OutputDeliveryFactory makeDelivery = makeDelivery_;
        threadStarted_ = startThread_([shared, makeDelivery] { RunSender(shared, makeDelivery); });
        if (!threadStarted_) {
            threadFailed_ = true;
            if (report_) report_(kOutputThreadFailedNote);
            fallback_.send(command);
            return;
        }
    }
    std::lock_guard<std::mutex> lock(shared_->mutex);
    shared_->remember(command);
    if (shared_->waiting.size() >= kMaxWaiting && Classify(command).kind != CommandKind::Stop) {
        // A server this far behind gets the current state in place of what waits; a stop always
        // waits its turn, so that no lamp stays lit.
        shared_->resync = true;
        ++shared_->dropped;
    } else {
        shared_->waiting.push_back(command);
    }
    shared_->work.notify_one();
}

void ThreadedOutputLink::finish(unsigned maxWaitMs) {
    if (threadFailed_) {
        fallback_.finish(maxWaitMs);
        return;
    }
    if (!threadStarted_) return;
    std::unique_lock<std::mutex> lock(shared_->mutex);
    shared_->settled.wait_for(lock, std::chrono::milliseconds(maxWaitMs), [&] {
        return (!shared_->busy && (!shared_->hasWork() || shared_->noServer)) || shared_->ended;
    });
}

std::uint64_t ThreadedOutputLink::delivered() const {
    std::lock_guard<std::mutex> lock(shared_->mutex);
    return shared_->delivered;
}

std::uint64_t ThreadedOutputLink::dropped() const {
    std::lock_guard<std::mutex> lock(shared_->mutex);
    return shared_->dropped;
}

}  // namespace vt2
