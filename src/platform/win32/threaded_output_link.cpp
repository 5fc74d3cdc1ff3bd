#include "platform/win32/threaded_output_link.h"

#include "outputs/output_sender.h"
#include "platform/win32/win32_dde_client.h"
#include "platform/win32/win32_thread_services.h"

namespace vt2::win32 {

ThreadedOutputLink::ThreadedOutputLink()
    : wake_(CreateEventA(nullptr, FALSE, FALSE, nullptr)), idle_(CreateEventA(nullptr, TRUE, TRUE, nullptr)) {}

ThreadedOutputLink::~ThreadedOutputLink() {
    if (!thread_) return;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    SetEvent(wake_.get());
    WaitForSingleObject(thread_.get(), 5000);
}

void ThreadedOutputLink::send(const std::string& command) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (waiting_.size() >= kMaxWaiting) {
            ++dropped_;
            return;
        }
        waiting_.push_back(command);
        ResetEvent(idle_.get());
        // The thread starts with the first command: a run without outputs has none.
        if (!thread_) thread_.reset(CreateThread(nullptr, 0, &ThreadedOutputLink::ThreadMain, this, 0, nullptr));
    }
    SetEvent(wake_.get());
}

void ThreadedOutputLink::finish(unsigned maxWaitMs) {
    if (thread_) WaitForSingleObject(idle_.get(), maxWaitMs);
}

DWORD WINAPI ThreadedOutputLink::ThreadMain(LPVOID self) {
    static_cast<ThreadedOutputLink*>(self)->run();
    return 0;
}

bool ThreadedOutputLink::takeNext(std::string& command) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (waiting_.empty()) {
        SetEvent(idle_.get());
        return false;
    }
    command = std::move(waiting_.front());
    waiting_.pop_front();
    return true;
}

void ThreadedOutputLink::run() {
    Win32DdeClient dde;
    Win32SteadyClock clock;
    OutputSender sender(dde, clock);
    HANDLE wake = wake_.get();
    for (;;) {
        // The thread's DDE windows get their messages too (the server's replies and goodbyes).
        MsgWaitForMultipleObjects(1, &wake, FALSE, INFINITE, QS_ALLINPUT);
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
        std::string command;
        while (takeNext(command)) {
            if (sender.deliver(command)) {
                ++delivered_;
            } else {
                ++dropped_;
            }
        }
        std::lock_guard<std::mutex> lock(mutex_);
        if (stopping_ && waiting_.empty()) break;
    }
    sender.close();
}

}  // namespace vt2::win32
