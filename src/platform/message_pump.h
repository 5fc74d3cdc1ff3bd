#pragma once

namespace vt2 {

// Lets the window messages that are waiting for this thread be handled, then returns.
class MessagePump {
public:
    virtual ~MessagePump() = default;
    virtual void pumpPendingMessages() = 0;
    // Handles the next waiting message only, if there is one (and the messages sent from other
    // threads on the way): the paced loop's pass, which does not ask once more whether the queue
    // is empty before it writes what the message changed.
    virtual void pumpNextMessage() = 0;
};

}  // namespace vt2
