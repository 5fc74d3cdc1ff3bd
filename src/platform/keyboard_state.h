#pragma once

#include <cstdint>

namespace vt2 {

class KeyboardState {
public:
    virtual ~KeyboardState() = default;
    // The key's state as the whole system sees it now, whichever program has the focus:
    // negative while the key is down, bit 0 its toggle.
    virtual std::int16_t asyncKeyState(int virtualKey) = 0;
    // The key's state as this thread's messages have left it (the key detector's view): negative
    // while down, bit 0 its toggle.
    virtual std::int16_t keyState(int virtualKey) = 0;
};

}  // namespace vt2
