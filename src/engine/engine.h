#pragma once
// The process-wide state of a run, in one place, together with the operating-system seam.
// The hook run owns it and every step receives it by reference.

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "common/player_state.h"
#include "engine/game_descriptor.h"
#include "engine/input_map.h"
#include "input/joysticks.h"
#include "input/player_settings.h"
#include "input/raw_mouse.h"
#include "memory/memory_manager.h"
#include "memory/outputs.h"
#include "platform/platform.h"

namespace vt2 {

// The keyboard keys of the player settings as the last pass read them, 1 while down.
struct KeyStates {
    std::int16_t P1Start = 0, P2Start = 0, P1Coin = 0, P2Coin = 0, P1Esc = 0, P2Esc = 0;
};

struct HookState {
    std::string programFolder;  // the folder that holds the program, without a trailing backslash
    std::string gameName;       // the whole command line in game mode
    GameDescriptor descriptor;
    WindowHandle gameWindow = 0;
    std::unique_ptr<MemoryManager> memory;  // exists once the game's window has been found
    GameAddress moduleBase = 0;              // of the game's program module; 0 until found
    InputMap inputMap;
    PlayerState players;
    PlayerSettings settings;
    KeyStates keyStates;
    std::int16_t OutputsActive = 0;  // outputs are forwarded while not 0
    OutputTable outputs;
    std::array<std::int16_t, 3> previousBanks{};  // the twin-stick bank bytes of the previous pass
    std::uint64_t passes = 0;                    // passes of the main loop so far
    RawMouse rawMouse;
    Joysticks joysticks;
};

struct Engine {
    Platform& os;
    HookState state;
};

}  // namespace vt2
