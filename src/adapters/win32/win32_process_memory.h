#pragma once

#include "platform/process_memory.h"

namespace vt2::win32 {

class Win32ProcessMemory final : public ProcessMemory {
public:
    std::unique_ptr<OpenProcessMemory> openProcess(std::uint32_t processId) override;
};

}  // namespace vt2::win32
