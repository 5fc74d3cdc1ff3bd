#pragma once

#include <cstdint>

namespace vt2 {

// Milliseconds of a clock that only goes forward.
class SteadyClock {
public:
    virtual ~SteadyClock() = default;
    virtual std::uint64_t nowMs() = 0;
};

// The calling thread's time: it can wait, and it can tell how long it waited.
class Clock : public SteadyClock {
public:
    virtual void sleepMs(unsigned milliseconds) = 0;
};

}  // namespace vt2
