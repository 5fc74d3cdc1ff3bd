#pragma once

#include <cstdint>

namespace vt2 {

class Clock {
public:
    virtual ~Clock() = default;
    virtual void sleepMs(unsigned milliseconds) = 0;
};

// Milliseconds of a clock that only goes forward.
class SteadyClock {
public:
    virtual ~SteadyClock() = default;
    virtual std::uint64_t nowMs() = 0;
};

}  // namespace vt2
