#pragma once
// The input part of the game's memory descriptor: where each player's aim and buttons live in
// the game, which keys stand for the buttons, and the modes. Read once after hooking.

#include <cstdint>
#include <optional>
#include <string>

#include "memory/address_resolution.h"
#include "memory/typed_values.h"

namespace vt2 {

struct Engine;
class FileSystem;
class IniFiles;

// One writable location of the game.
struct InputTarget {
    GameAddress address = 0;  // 0: not mapped
    ValueType type = ValueType::Unknown;
    std::int16_t Multi = 0;     // axes: value = Multi * position + Offset
    std::int16_t Offset = 0;
    std::int16_t BitMask = 0;   // buttons
};

struct InputMap {
    std::int32_t Persistent = 0;  // 1: every value is written on every pass
    std::int32_t ExitMode = 0;    // 0 escape does nothing, 1 Alt+F4, else a quit message
    std::string ReloadMode;       // "", "M2L", "M2VC", "VCOP" or any other text
    GameAddress Bank1 = 0, Bank2 = 0, Bank3 = 0;  // the twin-stick game only
    InputTarget P1X, P1Y, P2X, P2Y;
    InputTarget P1Trigger, P1Reload, P2Trigger, P2Reload;
    InputTarget P1Start, P1Coin, P2Start, P2Coin;  // read, never written: start and coin go as keys
    std::int16_t KeyInjection = 0;                 // non-zero: buttons are also sent as keys
    std::int16_t P1TriggerKey = 0, P1ReloadKey = 0, P1StartKey = 0, P1CoinKey = 0, P1ExitKey = 0;
    std::int16_t P2TriggerKey = 0, P2ReloadKey = 0, P2StartKey = 0, P2CoinKey = 0, P2ExitKey = 0;
    std::int32_t NoBorder = 0;  // not 0: the game window loses its border at load
};

// The game's own descriptor, else memcfg\default.ini; none when neither exists.
std::optional<std::string> ChooseMemoryDescriptorFile(FileSystem& files, const std::string& programFolder,
                                                      const std::string& gameName);

// The input map of the descriptor file; pointer chains are followed now, once. A value that
// cannot be converted leaves its field at 0. The twin-stick game type ("VON") reads only its
// modes and bank addresses.
InputMap ReadInputMap(IniFiles& ini, const std::string& file, const std::string& gameType, GameModule& module);

// The run's input map, from the game's descriptor or default.ini (empty when neither exists);
// removes the game window's border when NoBorder asks for it.
void LoadInputMap(Engine& engine, const std::string& gameName);

}  // namespace vt2
