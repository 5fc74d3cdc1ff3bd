#pragma once

#include "platform/module_list.h"

namespace vt2::win32 {

// A Toolhelp module snapshot, walked with the ANSI module record.
class Win32ModuleList final : public ModuleList {
public:
    std::vector<ModuleEntry> modulesOf(std::uint32_t processId) override;
};

}  // namespace vt2::win32
