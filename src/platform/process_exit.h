#pragma once

#include <cstdlib>

namespace vt2 {

// Ends this process at once: no further event handlers run.
class ProcessExit {
public:
    virtual ~ProcessExit() = default;
    // Must not return (the test double throws instead).
    [[noreturn]] virtual void endProcess(int exitCode) = 0;
};

// Ends the process through exit; should an implementation ever return, the process aborts.
[[noreturn]] inline void EndProcess(ProcessExit& exit, int exitCode) {
    exit.endProcess(exitCode);
    std::abort();
}

}  // namespace vt2
