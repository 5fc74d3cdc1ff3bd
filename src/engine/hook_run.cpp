#include "engine/hook_run.h"

#include <exception>
#include <optional>
#include <vector>

#include "common/ini.h"
#include "common/text.h"
#include "engine/aim_area_step.h"
#include "engine/code_patches_step.h"
#include "engine/debug_text.h"
#include "engine/engine.h"
#include "engine/game_writes.h"
#include "engine/gun_feedback_step.h"
#include "engine/input_devices.h"
#include "engine/input_map.h"
#include "engine/key_injection.h"
#include "engine/outputs_step.h"
#include "engine/running_game_check.h"
#include "engine/stop_program.h"
#include "engine/window_caption.h"
#include "engine/window_style.h"
#include "input/device_reading.h"

namespace vt2 {

namespace {
constexpr unsigned kSetUpPauseMs = 2000;  // gives the game time to set itself up

// Window messages (raw mouse input, tray, menus, debug window), then the joystick events: so the
// device handlers run on this thread, between the loop's own steps.
void HandlePendingMessages(Engine& engine) {
    // After a wait that ended on the tick, there is no message to look for: each look crosses
    // into the system (the Wine server), which the input's own delivery then waits behind. The
    // paced loop takes one message a pass: a second look would only find the queue empty before
    // the aim is written, and a message left waiting ends the next wait at once.
    const HookState& s = engine.state;
    if (s.messagesMayWait && s.pacedLoop) engine.os.messages.pumpNextMessage();
    if (s.messagesMayWait && !s.pacedLoop) engine.os.messages.pumpPendingMessages();
    HandleJoystickEvents(engine);
}

std::string GameTitle(const HookState& s) { return s.descriptor.Name.empty() ? s.gameName : s.descriptor.Name; }

// Whether this pass reads what is read once in intervalMs; a read that is due is noted as made.
bool ReadDue(Engine& engine, std::optional<std::uint64_t>& readAtMs, std::uint64_t intervalMs) {
    if (!engine.state.pacedLoop) return true;
    const std::uint64_t now = engine.os.clock.nowMs();
    if (readAtMs && now - *readAtMs < intervalMs) return false;
    readAtMs = now;
    return true;
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
            if (s.gameWindow != 0) {
                d.WinCaption = GetWindowCaption(engine.os.windows, s.gameWindow);
                s.captionAdopted = true;
            }
        }
        if (s.gameWindow != 0) return;
        WaitForNextPass(engine);
    }
}

void HookGame(Engine& engine) {
    HookState& s = engine.state;
    const std::uint32_t processId = engine.os.windows.windowProcessId(s.gameWindow);
    // A window that is gone before it could be hooked is a game that has ended.
    if (processId == 0) StopProgram(engine);
    s.memory = std::make_unique<MemoryManager>(engine.os.memory);
    s.memory->PID(static_cast<std::int32_t>(processId));
    // A hook that can read and write nothing would look hooked and do nothing.
    if (!s.memory->isOpen()) {
        engine.os.messageBoxes.showMessage(GameNotOpenedMessage(GameTitle(s)));
        StopProgram(engine, ExitCode::GameNotOpened);
    }
    // A 32-bit program would write a 64-bit game's addresses cut to 32 bits: nothing at all instead.
    if (!s.memory->reachable()) {
        engine.os.messageBoxes.showMessage(GameOutOfReachMessage(GameTitle(s)));
        StopProgram(engine, ExitCode::GameOutOfReach);
    }
    engine.os.clock.sleepMs(kSetUpPauseMs);

    LoadInputMap(engine, s.gameName);
    WarnOfAnotherBuild(engine);
    LoadOutputs(engine, s.gameName);
    ApplyCodePatches(engine, s.gameName);
    NoteUnfollowedChains(engine);
    StartAimArea(engine);
    for (const std::string& note : s.settings.aim.notes) AddDebugNote(engine, note);
    s.hooked = true;

    engine.os.mainWindow.setLabelText(MainWindowLabel::Status, "Status:  Hooked " + s.descriptor.Name);
}

void NoteUnfollowedChains(Engine& engine) {
    const HookState& s = engine.state;
    if (s.chainsNotFollowed == 0) return;
    AddDebugNote(engine, ProgramModuleNotFoundNote(s.descriptor.ExeName, s.chainsNotFollowed));
}

std::string ProgramModuleNotFoundNote(const std::string& exeName, int chains) {
    return "Descriptor: the game's program module (" + (exeName.empty() ? std::string("no ExeName") : exeName) +
           ") was not found: its " + std::to_string(chains) + " pointer chain" + (chains == 1 ? " is" : "s are") +
           " not followed, and nothing is written through " + (chains == 1 ? "it" : "them");
}

void WarnOfAnotherBuild(Engine& engine) {
    HookState& s = engine.state;
    const GameDescriptor& d = s.descriptor;
    if (d.ExeSize.empty() && d.ExeSha256.empty()) return;  // nothing pinned: no file is read
    const auto program = FindProgramModule(engine.os.modules, static_cast<std::uint32_t>(s.memory->PID()), d.ExeName);
    // A warning at most: nothing about the game's program file ends a run.
    try {
        if (const auto mismatch = BuildMismatch(engine.os.files, program ? program->path : std::string(), d.ExeSize, d.ExeSha256)) {
            AddDebugNote(engine, "Descriptor: " + *mismatch);
        }
    } catch (const std::exception&) {
        AddDebugNote(engine, "Descriptor: the game's program file could not be read, so its build was not compared");
    }
}

std::string GameNotOpenedMessage(const std::string& game) {
    return "VT2 cannot read and write the memory of " + game +
           ".\r\n\r\nStart VT2 with the same rights as the game: when the game runs as administrator, "
           "run VT2 as administrator too.";
}

std::string GameOutOfReachMessage(const std::string& game) {
    return game + " is a 64-bit program, and this VT2 is a 32-bit one, which cannot reach all of its memory. "
                  "VT2 writes nothing into it.\r\n\r\nStart the 64-bit VT2 for this game.";
}

bool FollowGameToANewWindow(Engine& engine) {
    HookState& s = engine.state;
    WindowSystem& windows = engine.os.windows;
    // A window that still stands with an empty caption, or a game that has ended, is the end.
    if (windows.windowExists(s.gameWindow) || !s.memory || s.memory->processEnded()) return false;
    const auto processId = static_cast<std::uint32_t>(s.memory->PID());
    const std::optional<std::string> caption =
        s.captionAdopted ? std::nullopt : std::optional<std::string>(s.descriptor.WinCaption);
    const std::uint64_t deadline = engine.os.clock.nowMs() + kNewWindowWaitMs;
    for (;;) {
        HandlePendingMessages(engine);
        const WindowHandle window = windows.findWindowOfProcess(processId, s.descriptor.WinClass, caption);
        if (window != 0) {
            s.gameWindow = window;
            if (s.captionAdopted) s.descriptor.WinCaption = GetWindowCaption(windows, window);
            if (s.inputMap.NoBorder != 0) RemoveWindowBorder(engine);
            return true;
        }
        if (s.memory->processEnded() || engine.os.clock.nowMs() >= deadline) return false;
        engine.os.clock.sleepMs(kNewWindowPollMs);
    }
}

void RunPass(Engine& engine) {
    HookState& s = engine.state;
    ++s.passes;
    const bool twinStick = IsTwinStickGame(s);
    FollowAimArea(engine);
    HandlePendingMessages(engine);
    ReadKeyboardKeys(engine.os.keyboard, s.settings, twinStick, s.players);
    s.joysticks.pollIfAsked(engine.os.joysticks, s.settings);
    CombineButtonSources(s.settings, twinStick, s.players);
    WritePlayerInputs(engine);
    if (twinStick) WriteTwinStickBanks(engine);
    GunFeedbackPass(engine);
    InjectKeys(engine);
    AgePlayerState(s.players);
    if (ReadDue(engine, s.outputsReadAtMs, kOutputsReadMs)) PollOutputs(engine);
    BuildDebugText(engine);
    const bool captionRead = ReadDue(engine, s.captionReadAtMs, kCaptionReadMs);
    const std::string caption = captionRead ? GetWindowCaption(engine.os.windows, s.gameWindow) : std::string();
    CheckExitButtons(engine);
    // The game has gone, unless it only put up a new window; the stop tells the output server.
    if (captionRead && caption.empty() && !FollowGameToANewWindow(engine)) StopProgram(engine);
}

bool BusyLoopChosen(IniFiles& ini, const std::string& programFolder) {
    return TrimBlanks(ReadIniValue(ini, programFolder + "\\vt2.ini", "Loop", "Busy", false)) == "1";
}

unsigned PassTickMs(const PlayerSettings& settings) {
    return Joysticks::PollingAsked(settings) ? kPolledJoystickTickMs : kPassTickMs;
}

void StartPacing(Engine& engine) {
    HookState& s = engine.state;
    if (BusyLoopChosen(engine.os.ini, s.programFolder)) return;
    s.pacedLoop = engine.os.pacer.begin(PassTickMs(s.settings));
    if (!s.pacedLoop) AddDebugNote(engine, kNoTimerNote);
}

void WaitForNextPass(Engine& engine) {
    HookState& s = engine.state;
    if (!s.pacedLoop) return;
    std::vector<std::uintptr_t> events;
    for (std::uintptr_t e : s.joysticks.events()) {
        if (e != 0) events.push_back(e);
    }
    s.messagesMayWait = engine.os.pacer.waitForNextPass(events);
}

void StopPacing(Engine& engine) {
    if (!engine.state.pacedLoop) return;
    engine.state.pacedLoop = false;
    engine.state.messagesMayWait = true;
    engine.os.pacer.end();
}

void RunGameHook(Engine& engine) {
    StartPacing(engine);
    WaitForGameWindow(engine);
    HookGame(engine);
    for (;;) {
        RunPass(engine);
        WaitForNextPass(engine);
    }
}

}  // namespace vt2
