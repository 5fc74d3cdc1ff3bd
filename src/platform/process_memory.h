#pragma once
// Reading and writing the memory of another process (the hooked game).

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace vt2 {

// What this program may do with the game's memory at an address.
enum class MemoryAccess { Unmapped, ReadOnly, Writable };

// A stretch of the game's address space that holds memory the game can write.
struct WritableRegion {
    std::uint64_t start = 0;
    std::uint64_t size = 0;
    bool operator==(const WritableRegion&) const = default;
};

// An open process; closing happens when the object goes.
class OpenProcessMemory {
public:
    virtual ~OpenProcessMemory() = default;
    // Copies length bytes at address in the process into buffer; false when the read failed.
    virtual bool read(std::uint64_t address, void* buffer, std::size_t length) = 0;
    // Copies length bytes from buffer to address in the process; false when the write failed.
    virtual bool write(std::uint64_t address, const void* buffer, std::size_t length) = 0;
    // A 64-bit process (8-byte pointers, addresses above 4 GB); false for a 32-bit one.
    virtual bool is64Bit() = 0;
    // False when this program cannot reach all of the process's memory: a 32-bit program and a
    // 64-bit game.
    virtual bool reachable() = 0;
    // Whether the memory at address is there (committed, not a guard page) and may be written.
    virtual MemoryAccess accessAt(std::uint64_t address) = 0;
    // Every committed, writable stretch (no guard pages), in the order of their addresses: the
    // memory where a game keeps what changes.
    virtual std::vector<WritableRegion> writableRegions() = 0;
    // True once the process has ended (its memory is gone with it).
    virtual bool hasEnded() = 0;
};

class ProcessMemory {
public:
    virtual ~ProcessMemory() = default;
    // Opens the process with all access; null when it cannot be opened.
    virtual std::unique_ptr<OpenProcessMemory> openProcess(std::uint32_t processId) = 0;
};

}  // namespace vt2
