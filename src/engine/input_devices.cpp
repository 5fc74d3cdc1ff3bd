#include "engine/input_devices.h"

#include "engine/debug_text.h"
#include "engine/engine.h"

namespace vt2 {

void StartInputDevices(Engine& engine) {
    HookState& s = engine.state;
    const bool p1Joystick = s.settings.players[kPlayer1].InputType == "joystick";
    const bool p2Joystick = s.settings.players[kPlayer2].InputType == "joystick";
    engine.os.joysticks.createDirectX();
    if (p1Joystick || p2Joystick) LoadJoysticks(engine);
    if (!(p1Joystick && p2Joystick)) {
        StopRawInput(engine.os.rawInput);
        s.rawMouse.noteLateBindings([&engine](const std::string& note) { AddDebugNote(engine, note); });
        StartRawInput(engine.os.rawInput, engine.os.messageBoxes, s.rawMouse, s.settings, s.players);
        for (const std::string& note : s.rawMouse.bindingNotes()) AddDebugNote(engine, note);
    }
}

void LoadJoysticks(Engine& engine) {
    HookState& s = engine.state;
    if (s.joysticks.loadJoystick(engine.os.joysticks, engine.os.messageBoxes, s.settings)) BuildDebugText(engine);
}

void HandleJoystickEvents(Engine& engine) {
    HookState& s = engine.state;
    for (std::uintptr_t event : engine.os.joysticks.signalledEvents()) {
        if (s.joysticks.DirectXEvent8_DXCallback(engine.os.joysticks, s.settings, IsTwinStickGame(s), s.players, event)) {
            BuildDebugText(engine);
        }
    }
}

void StopInputDevices(Engine& engine) {
    StopRawInput(engine.os.rawInput);
    engine.os.joysticks.release();
}

}  // namespace vt2
