#pragma once

#include "platform/loop_pacer.h"
#include "adapters/win32/unique_handle.h"

namespace vt2::win32 {

// A periodic waitable timer, high-resolution where the system has one; elsewhere the system's
// timer period is raised to the tick for the run and put back at its end. The loop's thread runs
// at a raised priority meanwhile.
class Win32LoopPacer final : public LoopPacer {
public:
    Win32LoopPacer() = default;
    ~Win32LoopPacer() override { end(); }
    Win32LoopPacer(const Win32LoopPacer&) = delete;
    Win32LoopPacer& operator=(const Win32LoopPacer&) = delete;

    bool begin(unsigned tickMs) override;
    bool waitForNextPass(const std::vector<std::uintptr_t>& events) override;
    void end() override;

private:
    unique_kernel_handle timer_;
    unsigned tickMs_ = 1;
    bool periodRaised_ = false;
    HANDLE thread_ = nullptr;  // the pseudo handle of the thread that began, which is the loop's
    int previousPriority_ = THREAD_PRIORITY_NORMAL;
    bool priorityRaised_ = false;
};

}  // namespace vt2::win32
