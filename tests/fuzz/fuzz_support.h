#pragma once
// What the fuzz targets share: a game process of sparse memory that checks every write, and a
// way to take the fuzzer's bytes apart.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "platform/process_memory.h"

namespace vt2::fuzz {

// An invariant of the program that did not hold: the fuzzer reports it as a crash.
[[noreturn]] inline void Violated(const char* what) {
    std::fprintf(stderr, "invariant violated: %s\n", what);
    std::abort();
}
inline void Check(bool holds, const char* what) {
    if (!holds) Violated(what);
}

// The bytes, taken from the front: numbers first, the rest as text.
class Bytes {
public:
    Bytes(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    std::uint8_t byte() { return size_ ? (--size_, *data_++) : 0; }
    std::uint32_t u32() {
        std::uint32_t v = 0;
        for (int i = 0; i < 4; ++i) v |= static_cast<std::uint32_t>(byte()) << (8 * i);
        return v;
    }
    // Up to the next NUL (or the end) as text.
    std::string text() {
        std::string t;
        while (size_ && *data_ != 0) t.push_back(static_cast<char>(byte()));
        byte();  // the NUL
        return t;
    }
    std::string rest() {
        std::string t(reinterpret_cast<const char*>(data_), size_);
        size_ = 0;
        return t;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
};

// A 32-bit game's memory that exists only where mapped; every write is checked against the run's
// rules: never at address 0, never past the top of its address space, never outside
// [allowedFrom, allowedTo).
class CheckedProcess final : public OpenProcessMemory {
public:
    bool read(std::uint64_t address, void* buffer, std::size_t length) override {
        auto* out = static_cast<std::uint8_t*>(buffer);
        for (std::size_t i = 0; i < length; ++i) {
            const auto it = bytes.find(address + i);
            if (it == bytes.end()) return false;
            out[i] = it->second;
        }
        return true;
    }
    bool write(std::uint64_t address, const void* buffer, std::size_t length) override {
        Check(address != 0, "a write at address 0");
        Check(address < 0x100000000ull && length <= 0x100000000ull - address, "a write past the top of the address space");
        Check(address >= allowedFrom && address + length <= allowedTo, "a write outside its bound");
        ++writes;
        const auto* in = static_cast<const std::uint8_t*>(buffer);
        for (std::size_t i = 0; i < length; ++i) bytes[address + i] = in[i];
        return true;
    }
    bool is64Bit() override { return false; }
    bool reachable() override { return true; }
    bool hasEnded() override { return false; }
    MemoryAccess accessAt(std::uint64_t address) override {
        return bytes.count(address) ? MemoryAccess::Writable : MemoryAccess::Unmapped;
    }
    std::vector<WritableRegion> writableRegions() override { return {}; }

    std::map<std::uint64_t, std::uint8_t> bytes;
    std::uint64_t allowedFrom = 1;
    std::uint64_t allowedTo = 0x100000000ull;
    std::size_t writes = 0;
};

// Hands out the one checked process.
class CheckedProcesses final : public ProcessMemory {
public:
    std::unique_ptr<OpenProcessMemory> openProcess(std::uint32_t) override {
        auto process = std::make_unique<CheckedProcess>();
        opened = process.get();
        return process;
    }
    CheckedProcess* opened = nullptr;
};

}  // namespace vt2::fuzz
