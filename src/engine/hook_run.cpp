#include "engine/hook_run.h"

#include <optional>

#include "engine/code_patches_step.h"
#include "engine/debug_text.h"
#include "engine/engine.h"
#include "engine/game_writes.h"
#include "engine/input_devices.h"
#include "engine/input_map.h"
#include "engine/key_injection.h"
#include "engine/outputs_step.h"
#include "engine/stop_program.h"
#include "engine/window_caption.h"
#include "input/device_reading.h"

namespace vt2 {

namespace {
constexpr unsigned kSetUpPauseMs = 2000;  // gives the game time to set itself up

// Window messages (raw mouse input, tray, menus, debug window), then the joystick events: so the
// device handlers run on this thread, between the loop's own steps.
void HandlePendingMessages(Engine& engine) {
    engine.os.messages.pumpPendingMessages();
    HandleJoystickEvents(engine);
}
}  // namespace

void WaitForGameWindow(Engine& engine) {
    HookState& s = engine.state;
    GameDescriptor& d = s.descriptor;
    for (;;) {
        HandlePendingMessages(engine);
        if (!d.WinCaption.empty()) {
            s.gameWindow = engine.os.windows.findWindow(d.WinClass, d.WinCaption);
        } else {
            s.gameWindow = engine.os.windows.findWindow(d.WinClass, std::nullopt);
            // The found window's caption becomes the one the run reports and compares.
            if (s.gameWindow != 0) d.WinCaption = GetWindowCaption(engine.os.windows, s.gameWindow);
        }
        if (s.gameWindow != 0) return;
    }
}

void HookGame(Engine& engine) {
    HookState& s = engine.state;
    const std::uint32_t processId = engine.os.windows.windowProcessId(s.gameWindow);
    s.memory = std::make_unique<MemoryManager>(engine.os.memory);
    s.memory->PID(static_cast<std::int32_t>(processId));
    engine.os.clock.sleepMs(kSetUpPauseMs);

    LoadInputMap(engine, s.gameName);
    LoadOutputs(engine, s.gameName);
    ApplyCodePatches(engine, s.gameName);

    engine.os.mainWindow.setLabelText(MainWindowLabel::Status, "Status:  Hooked " + s.descriptor.Name);
}

void RunPass(Engine& engine) {
    HookState& s = engine.state;
    ++s.passes;
    const bool twinStick = IsTwinStickGame(s);
    HandlePendingMessages(engine);
    ReadKeyboardKeys(engine.os.keyboard, s.settings, twinStick, s.players);
    s.joysticks.pollIfAsked(engine.os.joysticks, s.settings);
    CombineButtonSources(s.settings, twinStick, s.players);
    WritePlayerInputs(engine);
    if (twinStick) WriteTwinStickBanks(engine);
    InjectKeys(engine);
    AgePlayerState(s.players);
    PollOutputs(engine);
    BuildDebugText(engine);
    const std::string caption = GetWindowCaption(engine.os.windows, s.gameWindow);
    CheckExitButtons(engine);
    if (caption.empty()) {
        SendStopMessageIfActive(engine);
        StopProgram(engine);
    }
}

void RunGameHook(Engine& engine) {
    WaitForGameWindow(engine);
    HookGame(engine);
    for (;;) RunPass(engine);
}

}  // namespace vt2
