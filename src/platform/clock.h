#pragma once

namespace vt2 {

class Clock {
public:
    virtual ~Clock() = default;
    virtual void sleepMs(unsigned milliseconds) = 0;
};

}  // namespace vt2
