#include "memory/code_patches.h"

#include <algorithm>

#include "common/ini.h"
#include "common/numbers.h"
#include "common/text.h"
#include "platform/process_threads.h"

namespace vt2 {

std::vector<CodePatch> ReadCodePatches(IniFiles& ini, const std::string& file, GameModule& module) {
    EnsureModuleBase(module);  // may adopt the program's name as ExeName, which names the section
    const std::string section = "NOP_" + module.exeName;
    auto read = [&](const std::string& key) { return ReadIniValue(ini, file, section, key, false); };
    std::vector<CodePatch> patches;
    const auto count = ToInt32Field(read("NumberNOPs"));
    if (!count || *count < 1) return patches;

    for (std::int32_t n = 1; n <= *count; ++n) {
        const std::string entry = "NOP" + std::to_string(n);
        const GameAddress start = ResolveTargetAddress(module, read(entry + "PTR"), read(entry + "Addr"));
        const auto length = ToInt32Field(read(entry + "Len"));
        if (start == 0 || !length || *length < 1) continue;
        const std::size_t bytes = std::min<std::size_t>(static_cast<std::size_t>(*length), kMaxPatchLength);

        CodePatch patch{start, {}};
        const std::string replace = read(entry + "Replace");
        if (replace.empty()) {
            patch.bytes.assign(bytes, std::uint8_t{0x90});
        } else {
            // A field that is no byte value leaves that one byte as it is; bytes beyond the
            // listed fields are not written.
            const std::vector<std::string> fields = SplitText(replace, '|');
            for (std::size_t k = 0; k < bytes && k < fields.size(); ++k) patch.bytes.push_back(ToByteField(fields[k]));
        }
        patches.push_back(std::move(patch));
    }
    return patches;
}

void WriteCodePatches(MemoryManager& memory, ProcessThreads& threads, const std::vector<CodePatch>& patches) {
    if (patches.empty()) return;
    // Patches go in one byte at a time while the game runs; with its threads held still, none of
    // them can execute an instruction that is half old bytes and half new. A game whose threads
    // cannot be held is patched all the same.
    const auto paused = threads.pause(static_cast<std::uint32_t>(memory.PID()));
    for (const CodePatch& patch : patches) {
        for (std::size_t k = 0; k < patch.bytes.size(); ++k) {
            if (patch.bytes[k]) memory.writeByte(patch.start + static_cast<GameAddress>(k), *patch.bytes[k]);
        }
    }
}

}  // namespace vt2
