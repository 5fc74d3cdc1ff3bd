#include "engine/code_patches_step.h"

#include "engine/debug_text.h"
#include "engine/engine.h"
#include "memory/code_patches.h"

namespace vt2 {

void ApplyCodePatches(Engine& engine, const std::string& gameName) {
    HookState& s = engine.state;
    const auto file = ChooseMemoryDescriptorFile(engine.os.files, s.programFolder, gameName);
    if (!file || !s.memory) return;
    GameModule module = GameModuleOf(engine);
    const CodePatchSection section = ReadCodePatches(engine.os.ini, *file, module);
    for (const std::string& problem : section.problems) AddDebugNote(engine, problem);
    WriteCodePatches(*s.memory, engine.os.threads, section.patches);
}

}  // namespace vt2
