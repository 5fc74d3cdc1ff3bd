#pragma once
// The output server's link on a thread of its own, so that no pass ever waits for the server.
// The thread makes its own delivery (the DDE conversation of the run) and hands it the commands
// in the order they came. A server that missed commands (not there yet, gone for a while, or far
// behind) gets the current state when it answers again: the game's start and each output's last
// value, then what comes after. Everything the thread uses it shares with the link, and it keeps its
// share until it ends: a link that goes while the thread is still busy frees nothing under it.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/output_link.h"

namespace vt2 {

// What the thread does with the commands; made on that thread, used and dropped there.
class OutputDelivery {
public:
    virtual ~OutputDelivery() = default;
    // True when the server took the command; false when it was dropped.
    virtual bool deliver(const std::string& command) = 0;
    // Between commands and while idle: what the thread's own windows were sent (the server's
    // replies and goodbyes on a DDE conversation).
    virtual void handleMessages() = 0;
};
using OutputDeliveryFactory = std::function<std::unique_ptr<OutputDelivery>()>;

// Starts body on a thread that runs on its own; false when no thread could be started.
using ThreadStarter = std::function<bool(std::function<void()> body)>;
bool StartDetachedThread(std::function<void()> body);

class ThreadedOutputLink final : public OutputLink {
public:
    // Beyond this many waiting commands (a server that takes each one slowly), the waiting changes
    // give way to the current state: the start and each output's last value (a stop still waits).
    static constexpr std::size_t kMaxWaiting = 4096;
    // How often an idle thread handles its messages.
    static constexpr unsigned kIdleWakeMs = 100;
    // How long the link waits for its thread to end when it goes; a thread still busy then
    // (a server that hangs) is left to end on its own, with its share of the state.
    static constexpr unsigned kStopWaitMs = 1000;

    // A thread that cannot start is reported once, and every command then goes through fallback
    // on the caller's thread.
    ThreadedOutputLink(OutputDeliveryFactory makeDelivery, OutputLink& fallback,
                       std::function<void(const std::string&)> report, ThreadStarter startThread = StartDetachedThread);
    ~ThreadedOutputLink() override;
    ThreadedOutputLink(const ThreadedOutputLink&) = delete;
    ThreadedOutputLink& operator=(const ThreadedOutputLink&) = delete;

    void send(const std::string& command) override;
    void finish(unsigned maxWaitMs) override;

    std::uint64_t delivered() const;
    std::uint64_t dropped() const;
    bool usesFallback() const { return threadFailed_; }

    struct Shared;

private:
    std::shared_ptr<Shared> shared_;
    OutputDeliveryFactory makeDelivery_;
    OutputLink& fallback_;
    std::function<void(const std::string&)> report_;
    ThreadStarter startThread_;
    bool threadStarted_ = false;
    bool threadFailed_ = false;
};

inline constexpr const char* kOutputThreadFailedNote =
    "Outputs: the sender thread could not start; each command goes as one whole DDE conversation from the main loop";

}  // namespace vt2
