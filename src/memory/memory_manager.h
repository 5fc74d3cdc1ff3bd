#pragma once
// The one accessor of the hooked game's memory: values of fixed widths copied between this program
// and absolute addresses of the game process, little-endian as the processor stores them. It knows
// nothing of type names, masks or pointer chains. Failures are silent: a failed read gives 0 (or
// the empty text), a failed write changes nothing. A value that would run past the top of the
// game's address space (and wrap round to address 0) is neither read nor written.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "common/numbers.h"
#include "platform/process_memory.h"

namespace vt2 {

// An address of the game: below 2^32 in a 32-bit game (0x80000000 and above keep their bit
// pattern), anywhere in a 64-bit one.
using GameAddress = std::uint64_t;

class MemoryManager {
public:
    explicit MemoryManager(ProcessMemory& processes) : processes_(processes) {}

    // Stores the id and opens that process with all access. A process that cannot be opened leaves
    // no handle: every access after that reads 0 and writes nothing. The handle closes with the object.
    void PID(std::int32_t dwPid);
    std::int32_t PID() const { return processId_; }
    bool isOpen() const { return process_ != nullptr; }
    // The width of the game's addresses and pointers: 32 bits until a 64-bit process is open.
    AddressWidth addressWidth() const { return width_; }
    // False when the process is open but this program cannot reach all of it (a 32-bit program
    // and a 64-bit game): it then reads 0 and writes nothing.
    bool reachable() const { return reachable_; }
    // True once the game's process has ended; false while it runs or when it was never opened.
    bool processEnded() const { return process_ && process_->hasEnded(); }
    // Whether the game's memory at address is there and writable (Unmapped without a process).
    MemoryAccess accessAt(GameAddress address) const {
        return process_ ? process_->accessAt(address) : MemoryAccess::Unmapped;
    }
    // Writes asked of the game so far (for the measurements of the loop's cost).
    std::uint64_t writeCount() const { return writes_; }
    // Reads that failed so far: how a caller tells a value of 0 from a value it could not read.
    std::uint64_t failedReadCount() const { return failedReads_; }
    // Reads that went to the game's process so far (each one a call into the system).
    std::uint64_t processReadCount() const { return processReads_; }

    // Copies length bytes at start in one read, and answers every later read that lies wholly
    // within them from that copy, until forgetSnapshots (or any write): for a caller that reads
    // many values close together at one moment. False, and no copy kept, when the read failed;
    // the reads then go to the game one by one as before.
    bool takeSnapshot(GameAddress start, std::size_t length);
    void forgetSnapshots() { snapshots_.clear(); }

    void writeByte(GameAddress lngAddress, std::uint8_t bVal);
    // A negative value is written as (0x8001 - v) mod 0x10000: -1 as 02 80, -32768 as 01 00.
    void write2Byte(GameAddress lngAddress, std::int16_t intVal);
    void writeInteger(GameAddress lngAddress, std::int16_t intValue);
    void writeSingle(GameAddress lngAddress, float sngValue);
    void writeLong(GameAddress lngAddress, std::int32_t lngValue);
    void writeInt64(GameAddress address, std::int64_t value);
    void writeDouble(GameAddress address, double value);
    // As many bytes as the text has characters, no terminator.
    void WriteString(GameAddress lngAddress, const std::string& strValue);
    // Copies length bytes to the game; always 0.
    std::int32_t WritePtr(GameAddress lngAddress, const void* destPtr, std::size_t length);
    // Copies length bytes of the game into destPtr; true when the read succeeded.
    bool copyToType(void* destPtr, std::size_t length, GameAddress lngAddr);

    std::int32_t readLong(GameAddress lngAddr);
    std::int16_t readInteger(GameAddress lngAddr);
    float readSingle(GameAddress lngAddr);
    std::uint8_t readByte(GameAddress lngAddr);
    std::int64_t readInt64(GameAddress address) { return readValue<std::int64_t>(address); }
    double readDouble(GameAddress address) { return readValue<double>(address); }
    // length bytes as text, cut at the first NUL; empty when the read failed.
    std::string readString(std::size_t length, GameAddress lngAddr);
    // length bytes as text, NULs included; empty when the read failed.
    std::string readStringN(std::size_t length, GameAddress lngAddr);

private:
    template <typename T>
    T readValue(GameAddress address) {
        T value{};
        // A read that fails part way may have copied some bytes: a failed read is 0 as a whole.
        if (!copyToType(&value, sizeof value, address)) return T{};
        return value;
    }

    struct Snapshot {
        GameAddress start;
        std::vector<std::uint8_t> bytes;
    };

    ProcessMemory& processes_;
    std::int32_t processId_ = 0;
    AddressWidth width_ = AddressWidth::Bits32;
    bool reachable_ = true;
    std::uint64_t writes_ = 0;
    std::uint64_t failedReads_ = 0;
    std::uint64_t processReads_ = 0;
    std::vector<Snapshot> snapshots_;
    std::unique_ptr<OpenProcessMemory> process_;
};

}  // namespace vt2
