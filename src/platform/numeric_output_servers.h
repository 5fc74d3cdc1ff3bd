#pragma once
// Output servers that take whole numbers by output id: the network and window-message protocols
// of the common arcade emulator. Every call returns at once; the sending happens elsewhere.

#include <cstdint>
#include <map>
#include <string>

namespace vt2 {

class NumericOutputs {
public:
    virtual ~NumericOutputs() = default;
    // The game has started: its name (id 0 on the window protocol) and each output's name by id.
    virtual void start(const std::string& game, const std::map<int, std::string>& names) = 0;
    virtual void update(int id, std::int32_t value) = 0;
    // The game has ended; lets the goodbyes leave, waiting at most maxWaitMs.
    virtual void stop(unsigned maxWaitMs) = 0;
};

// With neither protocol chosen.
class NoNumericOutputs final : public NumericOutputs {
public:
    void start(const std::string&, const std::map<int, std::string>&) override {}
    void update(int, std::int32_t) override {}
    void stop(unsigned) override {}
};

}  // namespace vt2
