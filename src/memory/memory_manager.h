#pragma once
// The one accessor of the hooked game's memory.

#include <cstdint>
#include <memory>

#include "platform/process_memory.h"

namespace vt2 {

class MemoryManager {
public:
    explicit MemoryManager(ProcessMemory& processes) : processes_(processes) {}

    // Stores the id and opens that process; a process that cannot be opened leaves no handle,
    // and every access after that reads 0 and writes nothing. The handle closes with the object.
    void PID(std::int32_t dwPid);
    std::int32_t PID() const { return processId_; }
    bool isOpen() const { return process_ != nullptr; }

private:
    ProcessMemory& processes_;
    std::int32_t processId_ = 0;
    std::unique_ptr<OpenProcessMemory> process_;
};

}  // namespace vt2
