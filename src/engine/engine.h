#pragma once
// The process-wide state of a run, in one place, together with the operating-system seam.
// The hook run owns it and every step receives it by reference.

#include <memory>
#include <string>

#include "common/player_state.h"
#include "engine/game_descriptor.h"
#include "engine/input_map.h"
#include "memory/memory_manager.h"
#include "platform/platform.h"

namespace vt2 {

struct HookState {
    std::string programFolder;  // the folder that holds the program, without a trailing backslash
    std::string gameName;       // the whole command line in game mode
    GameDescriptor descriptor;
    WindowHandle gameWindow = 0;
    std::unique_ptr<MemoryManager> memory;  // exists once the game's window has been found
    GameAddress moduleBase = 0;              // of the game's program module; 0 until found
    InputMap inputMap;
    PlayerState players;
};

struct Engine {
    Platform& os;
    HookState state;
};

}  // namespace vt2
