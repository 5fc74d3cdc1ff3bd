#include "memory/code_patches.h"

#include "common/file_schema.h"

#include <algorithm>
#include <cstdio>

#include "common/ini.h"
#include "common/numbers.h"
#include "common/text.h"
#include "platform/process_threads.h"

namespace vt2 {

namespace {


}  // namespace

CodePatchSection ReadCodePatches(IniFiles& ini, const std::string& file, GameModule& module) {
    EnsureModuleBase(module);  // may adopt the program's name as ExeName, which names the section
    const std::string section = PatchSectionName(module.exeName);
    auto read = [&](const std::string& key) { return ReadIniValue(ini, file, section, key, false); };
    CodePatchSection result;
    const std::string countText = read("NumberNOPs");
    const auto count = ToInt32Field(countText);
    if (!count || *count < 1) return result;
    if (*count > kMaxPatchEntries) {
        result.problems.push_back(section + ": NumberNOPs " + countText + " is more than " +
                                  std::to_string(kMaxPatchEntries) + ": no patch is written");
        return result;
    }

    // The entries in one read of the section: key by key, a long section costs a pass over the
    // file for every key.
    const IniSection entries = IniSection::Read(ini, file, section);
    auto entryValue = [&](const std::string& key) { return entries.value(key, false); };
    for (std::int32_t n = 1; n <= *count; ++n) {
        const std::string entry = "NOP" + std::to_string(n);
        const GameAddress start = ResolveTargetAddress(module, entryValue(entry + "PTR"), entryValue(entry + "Addr"));
        const std::string lengthText = entryValue(entry + "Len");
        const auto length = ToInt32Field(lengthText);
        if (start == 0 || !length || *length < 1) continue;
        const std::string notWritten = ": patch " + std::to_string(n) + " is not written";
        if (static_cast<std::size_t>(*length) > kMaxPatchLength) {
            result.problems.push_back(section + ": " + entry + "Len " + lengthText + " is more than " +
                                      std::to_string(kMaxPatchLength) + " bytes" + notWritten);
            continue;
        }

        CodePatch patch{start, {}};
        const std::string replace = entryValue(entry + "Replace");
        if (replace.empty()) {
            patch.bytes.assign(static_cast<std::size_t>(*length), std::uint8_t{0x90});
        } else {
            // A field that is no byte value leaves that one byte as it is; bytes beyond the
            // listed fields are not written.
            const std::vector<std::string> fields = SplitText(replace, '|');
            const std::size_t bytes = std::min(static_cast<std::size_t>(*length), fields.size());
            for (std::size_t k = 0; k < bytes; ++k) patch.bytes.push_back(ToByteField(fields[k]));
        }
        const std::uint64_t top = TopAddress(AddressWidthOf(module));
        if (!patch.bytes.empty() && (start > top || patch.bytes.size() - 1 > top - start)) {
            result.problems.push_back(section + ": " + entry + " at " + HexAddress(start) +
                                      " runs past the top of the address space" + notWritten);
            continue;
        }
        result.patches.push_back(std::move(patch));
    }
    return result;
}

void WriteCodePatches(MemoryManager& memory, ProcessThreads& threads, const std::vector<CodePatch>& patches) {
    if (patches.empty()) return;
    // With its threads held still, no thread of the game can run an instruction that is half old
    // bytes and half new. A game whose threads cannot be held is patched all the same.
    const auto paused = threads.pause(static_cast<std::uint32_t>(memory.PID()));
    std::vector<std::uint8_t> run;
    for (const CodePatch& patch : patches) {
        // Each stretch of bytes to write goes in one write; a byte to leave alone ends a stretch.
        std::size_t k = 0;
        while (k < patch.bytes.size()) {
            if (!patch.bytes[k]) {
                ++k;
                continue;
            }
            const std::size_t first = k;
            run.clear();
            while (k < patch.bytes.size() && patch.bytes[k]) run.push_back(*patch.bytes[k++]);
            memory.WritePtr(patch.start + static_cast<GameAddress>(first), run.data(), run.size());
        }
    }
}

}  // namespace vt2
