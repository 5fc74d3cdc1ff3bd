// Every loader of the memory descriptor ([Info], the input map with its keys for both game
// types, the outputs, the patches) over one fuzzed file, with a game whose memory checks every
// write: the patches stay within their bounds and never reach address 0 or wrap, the output
// table within its, and a pass's writes of the map go only where the map says.
#include "engine/game_descriptor.h"
#include "engine/input_map.h"
#include "fuzz_support.h"
#include "memory/code_patches.h"
#include "memory/typed_values.h"
#include "outputs/output_table.h"
#include "platform/module_list.h"
#include "adapters/portable/portable_ini_files.h"
#include "platform/process_threads.h"

using namespace vt2;

namespace {

class OneModule final : public ModuleList {
public:
    std::vector<ModuleEntry> modulesOf(std::uint32_t) override { return {{"game.exe", 0x400000}}; }
};

class NoThreads final : public ProcessThreads {
public:
    std::unique_ptr<PausedThreads> pause(std::uint32_t) override { return nullptr; }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    MemoryIniFiles ini;
    const std::string path = "C:\\vt2\\memcfg\\game.ini";
    ini.files[path] = std::string(reinterpret_cast<const char*>(data), size);

    fuzz::CheckedProcesses processes;
    MemoryManager memory(processes);
    memory.PID(7);
    fuzz::CheckedProcess& game = *processes.opened;
    for (std::uint32_t a = 0x400000; a < 0x400100; a += 4) game.bytes[a] = static_cast<std::uint8_t>(a >> 4);
    OneModule modules;
    GameAddress base = 0;

    const GameDescriptor d = ReadGameDescriptor(ini, path);
    std::string exeName = d.ExeName;
    GameModule module{modules, &memory, base, exeName};
    for (const char* type : {"", "VON"}) {
        const InputMap map = ReadInputMap(ini, path, type, module);
        for (const InputTarget* t : {&map.P1X, &map.P1Y, &map.P2X, &map.P2Y, &map.P1Trigger, &map.P1Reload, &map.P2Trigger,
                                     &map.P2Reload}) {
            // What a pass writes for this target goes to its own bytes alone.
            game.allowedFrom = t->address;
            game.allowedTo = static_cast<std::uint64_t>(t->address) + 4;
            WriteMemValue(memory, t->address, t->type, 0.5 * t->Multi + t->Offset, t->BitMask);
        }
        if (std::string(type) == "VON") fuzz::Check(map.P1X.address == 0 && map.KeyInjection == 0, "a twin-stick map with more");
        if (map.KeyInjection == 0) fuzz::Check(map.P1StartKey == 0 && map.P2CoinKey == 0, "keys read while off");
    }

    const OutputsSection outputs = ReadOutputsSection(ini, path, module);
    fuzz::Check(outputs.table.rows.size() <= static_cast<std::size_t>(kMaxOutputs), "more output rows than the bound");
    if (outputs.Enable != 1) fuzz::Check(outputs.table.rows.empty(), "rows read while outputs are off");
    game.allowedFrom = game.allowedTo = 0;  // reading outputs writes nothing
    for (const OutputRow& row : outputs.table.rows) {
        ReadMemValue(memory, row.address, row.type, row.mask);
    }

    const CodePatchSection patches = ReadCodePatches(ini, path, module);
    fuzz::Check(patches.patches.size() <= static_cast<std::size_t>(kMaxPatchEntries), "more patches than the bound");
    for (const CodePatch& patch : patches.patches) {
        fuzz::Check(patch.start != 0, "a patch at address 0");
        fuzz::Check(!patch.bytes.empty() && patch.bytes.size() <= kMaxPatchLength, "a patch beyond its length bound");
        fuzz::Check(static_cast<std::uint64_t>(patch.start) + patch.bytes.size() <= 0x100000000ull, "a patch that wraps");
        for (std::size_t k = 0; k < patch.bytes.size(); ++k) game.bytes[patch.start + static_cast<std::uint32_t>(k)] = 0xCC;
        game.allowedFrom = patch.start;
        game.allowedTo = static_cast<std::uint64_t>(patch.start) + patch.bytes.size();
        NoThreads threads;
        WriteCodePatches(memory, threads, {patch});
    }
    return 0;
}
