#include "outputs/threaded_output_link.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <system_error>
#include <thread>

namespace vt2 {

struct ThreadedOutputLink::Shared {
    std::mutex mutex;
    std::condition_variable work;     // a command waits, or the link is going
    std::condition_variable settled;  // nothing waits and nothing is being delivered, or the thread ended
    std::deque<std::string> waiting;
    bool busy = false;
    bool stopping = false;
    bool ended = false;
    std::uint64_t delivered = 0;
    std::uint64_t dropped = 0;
};

namespace {

using Shared = ThreadedOutputLink::Shared;

void RunSender(const std::shared_ptr<Shared>& shared, const OutputDeliveryFactory& makeDelivery) {
    std::unique_ptr<OutputDelivery> delivery = makeDelivery();
    std::unique_lock<std::mutex> lock(shared->mutex);
    for (;;) {
        shared->work.wait_for(lock, std::chrono::milliseconds(ThreadedOutputLink::kIdleWakeMs),
                              [&] { return shared->stopping || !shared->waiting.empty(); });
        if (shared->waiting.empty()) {
            if (shared->stopping) break;  // what was handed over has gone out first
            lock.unlock();
            if (delivery) delivery->handleMessages();
            lock.lock();
            continue;
        }
        std::string command = std::move(shared->waiting.front());
        shared->waiting.pop_front();
        shared->busy = true;
        lock.unlock();
        bool taken = false;
        if (delivery) {
            delivery->handleMessages();
            taken = delivery->deliver(command);
        }
        lock.lock();
        shared->busy = false;
        ++(taken ? shared->delivered : shared->dropped);
        if (shared->waiting.empty()) shared->settled.notify_all();
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
    if (shared_->waiting.size() >= kMaxWaiting) {
        ++shared_->dropped;
        return;
    }
    shared_->waiting.push_back(command);
    shared_->work.notify_one();
}

void ThreadedOutputLink::finish(unsigned maxWaitMs) {
    if (threadFailed_) {
        fallback_.finish(maxWaitMs);
        return;
    }
    if (!threadStarted_) return;
    std::unique_lock<std::mutex> lock(shared_->mutex);
    shared_->settled.wait_for(lock, std::chrono::milliseconds(maxWaitMs),
                              [&] { return (shared_->waiting.empty() && !shared_->busy) || shared_->ended; });
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
