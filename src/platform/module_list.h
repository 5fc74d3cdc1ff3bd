#pragma once
// The modules (the program file and its DLLs) loaded in another process.

#include <cstdint>
#include <string>
#include <vector>

namespace vt2 {

struct ModuleEntry {
    std::string name;    // the module's file name, up to its first NUL
    std::uint64_t base;  // where it is loaded in that process
    std::string path = {};  // its file, whole; empty when the system does not say
    std::uint64_t size = 0;  // the bytes of its image from base on
};

class ModuleList {
public:
    virtual ~ModuleList() = default;
    // In the order of the system's snapshot; empty when no snapshot could be taken.
    virtual std::vector<ModuleEntry> modulesOf(std::uint32_t processId) = 0;
};

}  // namespace vt2
