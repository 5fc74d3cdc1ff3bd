#pragma once
// The calling thread's own services: sleeping, its window messages, ending the process.

#include "platform/clock.h"
#include "platform/message_pump.h"
#include "platform/process_exit.h"
#include "platform/run_locks.h"

namespace vt2::win32 {

class Win32Clock final : public Clock {
public:
    void sleepMs(unsigned milliseconds) override;
    std::uint64_t nowMs() override;
};

class Win32SteadyClock final : public SteadyClock {
public:
    std::uint64_t nowMs() override;
};

class Win32MessagePump final : public MessagePump {
public:
    void pumpPendingMessages() override;
    void pumpNextMessage() override;
};

// Named mutexes of the user's session.
class Win32RunLocks final : public RunLocks {
public:
    std::unique_ptr<RunLock> lock(const std::string& name) override;
};

class Win32ProcessExit final : public ProcessExit {
public:
    [[noreturn]] void endProcess(int exitCode) override;
};

}  // namespace vt2::win32
