#pragma once
// One hook run per game at a time, across every program of the user's session.

#include <memory>
#include <string>

namespace vt2 {

// Held for as long as it lives.
class RunLock {
public:
    virtual ~RunLock() = default;
};

class RunLocks {
public:
    virtual ~RunLocks() = default;
    // The lock of that name (names that differ only in case are the same name, however long);
    // null only when another holds it.
    virtual std::unique_ptr<RunLock> lock(const std::string& name) = 0;
};

}  // namespace vt2
