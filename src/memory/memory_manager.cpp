#include "memory/memory_manager.h"

#include <cstring>


namespace vt2 {

namespace {
// A run of bytes that would go past the top of the game's address space and on from address 0.
bool WrapsPastTheTop(GameAddress address, std::size_t length, AddressWidth width) {
    const std::uint64_t top = TopAddress(width);
    return length > 0 && (address > top || length - 1 > top - address);
}
}  // namespace

void MemoryManager::PID(std::int32_t dwPid) {
    processId_ = dwPid;
    process_ = processes_.openProcess(static_cast<std::uint32_t>(dwPid));
    width_ = process_ && process_->is64Bit() ? AddressWidth::Bits64 : AddressWidth::Bits32;
    reachable_ = !process_ || process_->reachable();
}

std::int32_t MemoryManager::WritePtr(GameAddress lngAddress, const void* destPtr, std::size_t length) {
    ++writes_;
    snapshots_.clear();  // a copy taken before a write may no longer be what the game holds
    if (process_ && reachable_ && length > 0 && !WrapsPastTheTop(lngAddress, length, width_)) {
        process_->write(lngAddress, destPtr, length);
    }
    return 0;
}

bool MemoryManager::copyToType(void* destPtr, std::size_t length, GameAddress lngAddr) {
    bool copied = false;
    if (process_ && reachable_ && !WrapsPastTheTop(lngAddr, length, width_)) {
        for (const Snapshot& snapshot : snapshots_) {
            const std::uint64_t offset = lngAddr - snapshot.start;
            if (lngAddr >= snapshot.start && offset + length <= snapshot.bytes.size()) {
                if (length > 0) std::memcpy(destPtr, snapshot.bytes.data() + offset, length);
                return true;
            }
        }
        ++processReads_;
        copied = process_->read(lngAddr, destPtr, length);
    }
    if (!copied) ++failedReads_;
    return copied;
}

bool MemoryManager::takeSnapshot(GameAddress start, std::size_t length) {
    if (!process_ || !reachable_ || length == 0 || WrapsPastTheTop(start, length, width_)) return false;
    Snapshot snapshot{start, std::vector<std::uint8_t>(length)};
    ++processReads_;
    if (!process_->read(start, snapshot.bytes.data(), length)) return false;
    snapshots_.push_back(std::move(snapshot));
    return true;
}

void MemoryManager::writeByte(GameAddress lngAddress, std::uint8_t bVal) { WritePtr(lngAddress, &bVal, 1); }

void MemoryManager::write2Byte(GameAddress lngAddress, std::int16_t intVal) {
    const int v = intVal;
    const auto pattern = static_cast<std::uint16_t>(v >= 0 ? v : (0x8001 - v) % 0x10000);
    WritePtr(lngAddress, &pattern, 2);
}

void MemoryManager::writeInteger(GameAddress lngAddress, std::int16_t intValue) { WritePtr(lngAddress, &intValue, 2); }

void MemoryManager::writeSingle(GameAddress lngAddress, float sngValue) { WritePtr(lngAddress, &sngValue, 4); }

void MemoryManager::writeLong(GameAddress lngAddress, std::int32_t lngValue) { WritePtr(lngAddress, &lngValue, 4); }

void MemoryManager::writeInt64(GameAddress address, std::int64_t value) { WritePtr(address, &value, 8); }

void MemoryManager::writeDouble(GameAddress address, double value) { WritePtr(address, &value, 8); }

void MemoryManager::WriteString(GameAddress lngAddress, const std::string& strValue) {
    WritePtr(lngAddress, strValue.data(), strValue.size());
}

std::int32_t MemoryManager::readLong(GameAddress lngAddr) { return readValue<std::int32_t>(lngAddr); }
std::int16_t MemoryManager::readInteger(GameAddress lngAddr) { return readValue<std::int16_t>(lngAddr); }
float MemoryManager::readSingle(GameAddress lngAddr) { return readValue<float>(lngAddr); }
std::uint8_t MemoryManager::readByte(GameAddress lngAddr) { return readValue<std::uint8_t>(lngAddr); }

std::string MemoryManager::readString(std::size_t length, GameAddress lngAddr) {
    std::string text = readStringN(length, lngAddr);
    const std::size_t nul = text.find('\0');
    if (nul != std::string::npos) text.resize(nul);
    return text;
}

std::string MemoryManager::readStringN(std::size_t length, GameAddress lngAddr) {
    std::string buffer(length, '\0');
    if (length == 0 || !copyToType(buffer.data(), length, lngAddr)) return {};
    return buffer;
}

}  // namespace vt2
