#pragma once
// The way to the output server: commands handed over in the order the passes produce them.

#include <string>

namespace vt2 {

class OutputLink {
public:
    virtual ~OutputLink() = default;
    virtual void send(const std::string& command) = 0;
    // Before the program ends: lets what was sent reach the server, waiting at most maxWaitMs.
    virtual void finish(unsigned maxWaitMs) = 0;
};

// With the DDE protocol turned off.
class NoOutputLink final : public OutputLink {
public:
    void send(const std::string&) override {}
    void finish(unsigned) override {}
};

}  // namespace vt2
