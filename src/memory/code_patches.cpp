#include "memory/code_patches.h"

#include <algorithm>
#include <vector>

#include "common/ini.h"
#include "common/numbers.h"
#include "common/text.h"
#include "engine/engine.h"
#include "memory/address_resolution.h"

namespace vt2 {

void ApplyCodePatches(Engine& engine, const std::string& gameName) {
    HookState& s = engine.state;
    const auto file = ChooseMemoryDescriptorFile(engine.os.files, s.programFolder, gameName);
    if (!file || !s.memory) return;
    EnsureModuleBase(engine);  // may adopt the program's name as ExeName, which names the section

    const std::string section = "NOP_" + s.descriptor.ExeName;
    auto read = [&](const std::string& key) { return ReadIniValue(engine.os.ini, *file, section, key, false); };
    const auto count = ToInt32Field(read("NumberNOPs"));
    if (!count || *count < 1) return;

    // Patches go in one byte at a time while the game runs; with its threads held still, none of
    // them can execute an instruction that is half old bytes and half new. A game whose threads
    // cannot be held is patched all the same.
    const auto paused = engine.os.threads.pause(static_cast<std::uint32_t>(s.memory->PID()));
    for (std::int32_t n = 1; n <= *count; ++n) {
        const std::string entry = "NOP" + std::to_string(n);
        const GameAddress start = ResolveTargetAddress(engine, read(entry + "PTR"), read(entry + "Addr"));
        const auto length = ToInt32Field(read(entry + "Len"));
        if (start == 0 || !length || *length < 1) continue;
        const std::size_t bytes = std::min<std::size_t>(static_cast<std::size_t>(*length), kMaxPatchLength);

        const std::string replace = read(entry + "Replace");
        const std::vector<std::string> fields = SplitText(replace, '|');
        for (std::size_t k = 0; k < bytes; ++k) {
            const GameAddress at = start + static_cast<GameAddress>(k);
            if (replace.empty()) {
                s.memory->writeByte(at, 0x90);
            } else if (k < fields.size()) {
                // A field that is no byte value leaves that one byte as it is.
                if (const auto value = ToByteField(fields[k])) s.memory->writeByte(at, *value);
            }
        }
    }
}

}  // namespace vt2
