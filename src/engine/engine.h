#pragma once
// The process-wide state of a run, in one place, together with the operating-system seam.
// The hook run owns it and every step receives it by reference.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "common/player_state.h"
#include "engine/game_descriptor.h"
#include "engine/input_map.h"
#include "input/aim_mapping.h"
#include "input/joysticks.h"
#include "input/player_settings.h"
#include "input/raw_mouse.h"
#include "memory/address_resolution.h"
#include "memory/memory_manager.h"
#include "outputs/gun_feedback.h"
#include "outputs/numeric_output_values.h"
#include "outputs/output_table.h"
#include "platform/platform.h"

namespace vt2 {

struct HookState {
    std::string programFolder;  // the folder that holds the program, without a trailing backslash
    std::string gameName;       // the whole command line in game mode
    GameDescriptor descriptor;
    std::unique_ptr<RunLock> runLock;  // one run per game at a time
    WindowHandle gameWindow = 0;
    bool captionAdopted = false;  // the descriptor sets no caption: the game window's own was taken
    std::unique_ptr<MemoryManager> memory;  // exists once the game's window has been found
    GameAddress moduleBase = 0;              // of the game's program module; 0 until found
    int chainsNotFollowed = 0;               // pointer chains given up on: the program module was not found
    InputMap inputMap;
    PlayerSettings settings;  // as read, then normalised for the run
    PlayerState players;      // what the passes change
    std::int16_t OutputsActive = 0;  // outputs are forwarded while not 0
    OutputTable outputs;
    std::unique_ptr<GunFeedback> feedback;  // the guns VT2 drives itself, when a feedback file applies
    NumericOutputsFan numericWithGuns;      // with the guns: the platform's servers of whole numbers, then the guns
    bool hooked = false;  // the game's process is open and the descriptor's map, outputs and patches loaded
    std::uint64_t passes = 0;  // passes of the main loop so far
    bool pacedLoop = false;    // the loop waits between passes (for input or the next tick)
    bool messagesMayWait = true;  // false after a wait that ended with no message waiting
    std::optional<std::uint64_t> captionReadAtMs;  // when a pass last read the game's caption
    std::optional<std::uint64_t> outputsReadAtMs;  // when a pass last read the outputs
    AimGeometry aim;                               // where the players' aim lies, as last read
    std::optional<std::uint64_t> aimAreaReadAtMs;  // when the aim's area was last read
    std::optional<std::uint64_t> cursorCheckedAtMs;  // when player 1's cursor was last looked at
    std::optional<PixelRect> cursorConfinement;      // where player 1's cursor is kept, when it is
    std::optional<std::uint64_t> cursorConfinedAtMs; // when that was last told the system
    std::vector<std::string> notes;  // what the run could not do as asked, shown in the debug window
    RawMouse rawMouse;
    Joysticks joysticks;
};

struct Engine {
    Platform& os;
    HookState state;
};

// The game's program module of the run: where the descriptor's pointer chains start.
inline GameModule GameModuleOf(Engine& engine) {
    HookState& s = engine.state;
    return GameModule{engine.os.modules, s.memory.get(), s.moduleBase, s.descriptor.ExeName, &s.chainsNotFollowed};
}

// The twin-stick game ("VON") has its own layout of settings, states and debug text.
inline bool IsTwinStickGame(const HookState& state) { return state.descriptor.GameType == "VON"; }

}  // namespace vt2
