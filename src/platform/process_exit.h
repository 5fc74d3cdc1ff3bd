#pragma once

namespace vt2 {

// Ends this process at once: no further event handlers run.
class ProcessExit {
public:
    virtual ~ProcessExit() = default;
    // Must not return (the test double throws instead).
    [[noreturn]] virtual void endProcess(int exitCode) = 0;
};

}  // namespace vt2
