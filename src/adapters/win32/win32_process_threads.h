#pragma once

#include "platform/process_threads.h"

namespace vt2::win32 {

// The threads of a Toolhelp thread snapshot, suspended one by one and resumed in the same order.
class Win32ProcessThreads final : public ProcessThreads {
public:
    std::unique_ptr<PausedThreads> pause(std::uint32_t processId) override;
};

}  // namespace vt2::win32
