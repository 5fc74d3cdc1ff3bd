#include "memory/memory_manager.h"

namespace vt2 {

void MemoryManager::PID(std::int32_t dwPid) {
    processId_ = dwPid;
    process_ = processes_.openProcess(static_cast<std::uint32_t>(dwPid));
}

}  // namespace vt2
