#include "demo_variables.h"

#include <windows.h>

#include <new>

#define VT2DEMO_VARIABLE __attribute__((used))

extern "C" {
VT2DEMO_VARIABLE DemoWorld* vt2demo_world = nullptr;
VT2DEMO_VARIABLE DemoMouse* vt2demo_mouse = nullptr;
VT2DEMO_VARIABLE volatile std::int16_t vt2demo_p1_aim[2] = {vt2demo::kWidth / 2, vt2demo::kHeight / 2};
VT2DEMO_VARIABLE volatile std::uint8_t vt2demo_buttons = vt2demo::kP2TriggerReleased;

VT2DEMO_VARIABLE volatile std::int32_t vt2demo_last_key = 0;
VT2DEMO_VARIABLE volatile std::int32_t vt2demo_key_presses = 0;
VT2DEMO_VARIABLE volatile std::int32_t vt2demo_startup_show = -1;

VT2DEMO_VARIABLE volatile std::uint8_t vt2demo_lamp = 0;
VT2DEMO_VARIABLE volatile std::int16_t vt2demo_recoil = 0;
VT2DEMO_VARIABLE volatile float vt2demo_heat = 0.0f;
VT2DEMO_VARIABLE volatile std::int64_t vt2demo_shots = vt2demo::kFirstShot;

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

// The names of player 1's aim, each a half of vt2demo_p1_aim, for the symbol table.
asm(".globl " VT2DEMO_SYMBOL(vt2demo_p1_x) "\n"
    ".set " VT2DEMO_SYMBOL(vt2demo_p1_x) ", " VT2DEMO_SYMBOL(vt2demo_p1_aim) "\n"
    ".globl " VT2DEMO_SYMBOL(vt2demo_p1_y) "\n"
    ".set " VT2DEMO_SYMBOL(vt2demo_p1_y) ", " VT2DEMO_SYMBOL(vt2demo_p1_aim) " + 2\n");

namespace vt2demo {
// The world is made when the game starts, so its address is known only by following the pointer.
void CreateWorld() {
#if defined(VT2DEMO_ABOVE_4GB)
    // From the top of the address space, far above 4 GB: a reader of 4-byte pointers loses it.
    void* block = VirtualAlloc(nullptr, 4096, MEM_RESERVE | MEM_COMMIT | MEM_TOP_DOWN, PAGE_READWRITE);
    auto* player = new (block) DemoPlayer{0.75f, 0.5f, 0.75, 0.5};
    vt2demo_world = new (static_cast<char*>(block) + 256) DemoWorld{kWorldMagic, 2, player};
#else
    vt2demo_world = new DemoWorld{kWorldMagic, 2, new DemoPlayer{0.75f, 0.5f, 0.75, 0.5}};
#endif
}

void CreateMouse() {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    const auto padding = 64 + static_cast<std::size_t>((now.QuadPart ^ GetCurrentProcessId()) % 4096) * 16;
    static_cast<void>(new char[padding]);  // kept: the object lands after it
    vt2demo_mouse = new DemoMouse{0, 0.5f, kWidth / 2, 0, kWidth / 2 + kHeight};
}
}  // namespace vt2demo
