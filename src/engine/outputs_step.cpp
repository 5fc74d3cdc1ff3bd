#include "engine/outputs_step.h"

#include "engine/debug_text.h"
#include "engine/engine.h"
#include "engine/gun_feedback_step.h"
#include "outputs/output_messages.h"

namespace vt2 {

namespace {

// The servers of whole numbers, the guns among them when VT2 drives them.
OutputChannels ChannelsOf(Engine& engine) {
    HookState& s = engine.state;
    return {engine.os.outputs, s.feedback ? static_cast<NumericOutputs&>(s.numericWithGuns) : engine.os.numericOutputs};
}

void LoadOutputTable(Engine& engine, const std::string& gameName) {
    HookState& s = engine.state;
    const auto file = ChooseMemoryDescriptorFile(engine.os.files, s.programFolder, gameName);
    if (!file) {
        s.OutputsActive = 0;
        return;
    }
    GameModule module = GameModuleOf(engine);
    OutputsSection section = ReadOutputsSection(engine.os.ini, *file, module);
    // An Enable missing or not a number leaves the outputs off for the run.
    s.OutputsActive = section.Enable;
    if (s.OutputsActive != 1) return;
    if (!section.usable()) {
        s.OutputsActive = 0;
        if (!section.problem.empty()) AddDebugNote(engine, section.problem);
        return;
    }
    s.outputs = std::move(section.table);
    OutputChannels to = ChannelsOf(engine);
    SendStartMessage(to, s.gameName, s.outputs);
}

}  // namespace

void LoadOutputs(Engine& engine, const std::string& gameName) {
    HookState& s = engine.state;
    if (s.OutputsActive == 0) return;
    LoadGunFeedback(engine, gameName);
    LoadOutputTable(engine, gameName);
    // A game without outputs of its own still starts the guns: for recoil made from the triggers.
    if (s.feedback && !s.feedback->running()) s.feedback->start(s.gameName, {});
}

void PollOutputs(Engine& engine) {
    HookState& s = engine.state;
    if (s.OutputsActive == 0 || !s.memory) return;
    OutputChannels to = ChannelsOf(engine);
    SendOutputChanges(s.outputs, *s.memory, to, engine.os.locale.decimalSeparator());
}

void SendStopMessageIfActive(Engine& engine) {
    if (engine.state.OutputsActive != 1) return;
    OutputChannels to = ChannelsOf(engine);
    SendStopMessage(to);
}

}  // namespace vt2
