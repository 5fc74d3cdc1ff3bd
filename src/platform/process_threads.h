#pragma once
// Holding another process's threads still while its code is changed, so that none of them runs
// an instruction that is only partly rewritten.

#include <cstdint>
#include <memory>

namespace vt2 {

// The threads held still; they run again when the object goes.
class PausedThreads {
public:
    virtual ~PausedThreads() = default;
};

class ProcessThreads {
public:
    virtual ~ProcessThreads() = default;
    // Suspends every thread of the process that can be suspended; null when none could be.
    virtual std::unique_ptr<PausedThreads> pause(std::uint32_t processId) = 0;
};

}  // namespace vt2
