#pragma once
// The output server's link on a thread of its own, so that no pass ever waits for the server.
// The thread owns the DDE instance and the one conversation of the run, and delivers the commands
// in the order they were handed over.

#include <windows.h>

#include <atomic>
#include <deque>
#include <mutex>
#include <string>

#include "platform/output_link.h"
#include "platform/win32/unique_handle.h"

namespace vt2::win32 {

class ThreadedOutputLink final : public OutputLink {
public:
    // Beyond this many waiting commands (a server that takes each one slowly), new ones are dropped.
    static constexpr std::size_t kMaxWaiting = 4096;

    ThreadedOutputLink();
    ~ThreadedOutputLink() override;
    ThreadedOutputLink(const ThreadedOutputLink&) = delete;
    ThreadedOutputLink& operator=(const ThreadedOutputLink&) = delete;

    void send(const std::string& command) override;
    void finish(unsigned maxWaitMs) override;

    std::uint64_t delivered() const { return delivered_; }
    std::uint64_t dropped() const { return dropped_; }

private:
    static DWORD WINAPI ThreadMain(LPVOID self);
    void run();
    bool takeNext(std::string& command);

    std::mutex mutex_;
    std::deque<std::string> waiting_;
    bool stopping_ = false;
    unique_kernel_handle wake_;  // set when there is work
    unique_kernel_handle idle_;  // set while nothing waits and nothing is being delivered
    unique_kernel_handle thread_;
    std::atomic<std::uint64_t> delivered_{0};
    std::atomic<std::uint64_t> dropped_{0};
};

}  // namespace vt2::win32
