#include "demo_variables.h"

#define VT2DEMO_VARIABLE __attribute__((used))

extern "C" {
VT2DEMO_VARIABLE DemoWorld* vt2demo_world = nullptr;
VT2DEMO_VARIABLE volatile std::int16_t vt2demo_p1_x = vt2demo::kWidth / 2;
VT2DEMO_VARIABLE volatile std::int16_t vt2demo_p1_y = vt2demo::kHeight / 2;
VT2DEMO_VARIABLE volatile std::uint8_t vt2demo_buttons = vt2demo::kP2TriggerReleased;

VT2DEMO_VARIABLE volatile std::int32_t vt2demo_last_key = 0;
VT2DEMO_VARIABLE volatile std::int32_t vt2demo_key_presses = 0;
VT2DEMO_VARIABLE volatile std::int32_t vt2demo_startup_show = -1;

VT2DEMO_VARIABLE volatile std::uint8_t vt2demo_lamp = 0;
VT2DEMO_VARIABLE volatile std::int16_t vt2demo_recoil = 0;
VT2DEMO_VARIABLE volatile float vt2demo_heat = 0.0f;

VT2DEMO_VARIABLE volatile std::int32_t vt2demo_credits = 0;
VT2DEMO_VARIABLE volatile std::uint8_t vt2demo_p1_in = 0;
VT2DEMO_VARIABLE volatile std::uint8_t vt2demo_p2_in = 0;
VT2DEMO_VARIABLE volatile std::int64_t vt2demo_aim_changed_at = 0;
VT2DEMO_VARIABLE volatile std::int32_t vt2demo_aim_changes = 0;

VT2DEMO_VARIABLE volatile std::uint8_t vt2demo_blink = 0;
VT2DEMO_VARIABLE volatile std::int32_t vt2demo_blink_toggles = 0;
VT2DEMO_VARIABLE volatile std::uint8_t vt2demo_panel[16] = {};

VT2DEMO_VARIABLE volatile std::int32_t vt2demo_frame = 0;
}

namespace vt2demo {
// The world is made when the game starts, so its address is known only by following the pointer.
void CreateWorld() {
    vt2demo_world = new DemoWorld{kWorldMagic, 2, new DemoPlayer{0.75f, 0.5f}};
}
}  // namespace vt2demo
