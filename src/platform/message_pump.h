#pragma once

namespace vt2 {

// Lets the window messages that are waiting for this thread be handled, then returns.
class MessagePump {
public:
    virtual ~MessagePump() = default;
    virtual void pumpPendingMessages() = 0;
};

}  // namespace vt2
