// Typed values and bit masks over a game's memory: a write touches only the bytes of its type at
// its address (never address 0, never past the top), a masked byte write changes only the mask's
// bits, a value that is no finite number is never written, and a read gives what the type can hold.
#include <cmath>
#include <cstring>

#include "common/numbers.h"
#include "fuzz_support.h"
#include "memory/memory_manager.h"
#include "memory/typed_values.h"

using namespace vt2;

namespace {
const char* const kTypes[] = {"byte", "2byte", "integer", "long", "single", "float", "8byte", "double", "Byte", "", "Double"};
std::size_t WidthOf(const std::string& type) {
    if (type == "byte") return 1;
    if (type == "2byte" || type == "integer") return 2;
    if (type == "long" || type == "single" || type == "float") return 4;
    if (type == "8byte" || type == "double") return 8;
    return 0;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Bytes in(data, size);
    const std::uint32_t address = in.u32();
    const std::string type = kTypes[in.byte() % (sizeof kTypes / sizeof kTypes[0])];
    double value = 0;
    const std::uint32_t low = in.u32();
    const std::uint32_t high = in.u32();
    const std::uint64_t bits = static_cast<std::uint64_t>(high) << 32 | low;
    std::memcpy(&value, &bits, sizeof value);
    const auto mask = static_cast<std::int16_t>(in.u32());
    const std::string maskText = in.text();

    fuzz::CheckedProcesses processes;
    MemoryManager memory(processes);
    memory.PID(7);
    fuzz::CheckedProcess& game = *processes.opened;
    for (std::uint32_t i = 0; i < 8; ++i) game.bytes[address + i - 2] = static_cast<std::uint8_t>(0xA5 + i);  // may wrap: fine
    const auto before = game.bytes;

    const std::size_t width = WidthOf(type);
    game.allowedFrom = address;
    game.allowedTo = static_cast<std::uint64_t>(address) + (width == 0 ? 0 : width);
    WriteMemValue(memory, address, type, value, mask);
    if (!std::isfinite(value) || width == 0 || address == 0) fuzz::Check(game.writes == 0, "a write that must not happen");
    if (mask != 0 && type != "byte") fuzz::Check(game.writes == 0, "a masked write of a wider type");
    if (mask != 0 && type == "byte" && game.writes == 1) {
        const int m = mask < 0 ? -mask : mask;
        const std::uint8_t was = before.at(address);
        const std::uint8_t now = game.bytes.at(address);
        fuzz::Check(((was ^ now) & ~m) == 0, "a masked write changed bits outside its mask");
    }

    game.allowedFrom = game.allowedTo = 0;  // reads write nothing
    const MemValue read = ReadMemValue(memory, address, type, maskText);
    fuzz::Check(!read.isFloat || type == "single" || type == "float" || type == "double", "a float from a whole type");
    if (!read.isFloat) fuzz::Check(read.number == std::floor(read.number), "a whole type read a fraction");
    if (type == "byte" && maskText.empty()) fuzz::Check(read.number >= 0 && read.number <= 255, "a byte out of range");
    if (!maskText.empty() && maskText.find('|') == std::string::npos && read.number != 0) {
        fuzz::Check(read.number == 1 || !ToInt16Field(maskText) || *ToInt16Field(maskText) == 0, "a bit test gave more than 1");
    }
    const std::int16_t merged = MergeMaskedBits(static_cast<std::int16_t>(low & 0xFF), mask, static_cast<std::int16_t>(high % 3));
    if (high % 3 == 2 && mask >= 0) fuzz::Check(merged == static_cast<std::int16_t>(low & 0xFF), "a value other than 0 or 1 changed bits");
    return 0;
}
