#pragma once
// Waits between the passes of the main loop without spinning: until a window message (raw mouse
// input among them) or an awaited event (a joystick's change) is there, or the next tick of a
// short timer, whichever comes first.

#include <cstdint>
#include <vector>

namespace vt2 {

class LoopPacer {
public:
    virtual ~LoopPacer() = default;
    // Starts the timer that ticks every tickMs for the run; false when none could be had.
    virtual bool begin(unsigned tickMs) = 0;
    // Returns at the next tick, or at once when a message or one of the events is waiting. An
    // event that ends the wait stays signalled for whoever handles it. False when the wait ended
    // on the tick or an event with no message waiting, so that the pass need not look for
    // messages (each look is a call into the system); true otherwise.
    virtual bool waitForNextPass(const std::vector<std::uintptr_t>& events) = 0;
    // Stops the timer and gives back what begin took (the system's timer period among it).
    virtual void end() = 0;
};

}  // namespace vt2
