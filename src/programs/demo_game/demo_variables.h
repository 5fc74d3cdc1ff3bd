#pragma once
// The demo game's variables, each a named global whose address the build reads from the program's
// symbol table to write the demo's memory descriptor. Another process writes the inputs, so every
// variable is volatile: the game must read the memory, not a copy in a register.

#include <cstddef>
#include <cstdint>

// Player 2's aim lives on the heap, behind two pointers, as in many real games:
// vt2demo_world -> DemoWorld, whose player2 (at offset 8) -> DemoPlayer {x at 0, y at 4}, or, in
// the 64-bit game above 4 GB, {wideX at 8, wideY at 16}.
struct DemoPlayer {
    volatile float x;  // the aim as a fraction, 0..1 ("single")
    volatile float y;
    volatile double wideX;  // the same as 64-bit floats ("double"), which the 64-bit game uses
    volatile double wideY;
};
struct DemoWorld {
    std::int32_t magic;  // "WRLD"
    std::int32_t players;
    DemoPlayer* player2;
};
// The pointer lies at offset 8 in a 32-bit and a 64-bit build alike, so one descriptor template
// serves both.
static_assert(offsetof(DemoWorld, player2) == 8);
static_assert(offsetof(DemoPlayer, wideX) == 8 && offsetof(DemoPlayer, wideY) == 16);

// A C name as the assembler knows it: with an underscore in front in a 32-bit program, as it is
// in a 64-bit one.
#if defined(__x86_64__)
#define VT2DEMO_SYMBOL(name) #name
#else
#define VT2DEMO_SYMBOL(name) "_" #name
#endif

// With --follow-mouse, the game follows the system mouse itself, as most PC games do, into an
// object on its heap whose place changes from start to start and that no descriptor names: what
// VT2's aim finder is tried on. The mouse's messages over the window update it.
struct DemoMouse {
    volatile std::int32_t messages;  // mouse messages seen: moves with the mouse, and is no aim
    volatile float y;                // the cursor's height as a fraction, 0 at the top
    volatile std::int32_t x;         // across, in pixels 0..639
    volatile std::uint8_t buttons;   // bit 0 the left button, bit 1 the right one
    volatile std::int32_t mixed;     // x + 2 * y in pixels: moves with x, and is no aim either
};

extern "C" {
extern DemoWorld* vt2demo_world;
extern DemoMouse* vt2demo_mouse;  // none unless --follow-mouse

// Inputs, written by the hook.
// Player 1's aim in window pixels ("integer"): x 0..639 and y 0..479, side by side in memory as
// the two halves of vt2demo_p1_aim, so that the game's own store of them is four one-byte copies.
extern volatile std::int16_t vt2demo_p1_aim[2];
extern volatile std::int16_t vt2demo_p1_x;
extern volatile std::int16_t vt2demo_p1_y;
// Button bits: 1 player 1 trigger, 2 player 1 reload, 4 player 2 trigger (active low, so it rests
// set), 8 player 2 reload.
extern volatile std::uint8_t vt2demo_buttons;

// What the game saw of the keyboard and of its own start.
extern volatile std::int32_t vt2demo_last_key;     // virtual-key code of the last key pressed
extern volatile std::int32_t vt2demo_key_presses;  // keys pressed since the start
extern volatile std::int32_t vt2demo_startup_show; // the window state it was started with, -1 none

// Outputs, read by the hook.
extern volatile std::uint8_t vt2demo_lamp;    // 1 while player 1's trigger is held
extern volatile std::int16_t vt2demo_recoil;  // player 1's trigger pulls so far
extern volatile float vt2demo_heat;           // rises with each shot, cools down by itself
// Player 1's trigger pulls too, counted on from 2^32: a reader of only four of its eight bytes
// ("8byte") gets a wrong number.
extern volatile std::int64_t vt2demo_shots;

// What the keys did: coins give credits, a start with a credit puts the player in.
extern volatile std::int32_t vt2demo_credits;
extern volatile std::uint8_t vt2demo_p1_in;
extern volatile std::uint8_t vt2demo_p2_in;

// With --watch-aim: when player 1's aim last changed (QueryPerformanceCounter), and how often.
extern volatile std::int64_t vt2demo_aim_changed_at;
extern volatile std::int32_t vt2demo_aim_changes;

// With --blink: an output that toggles on every frame (about 60 times a second), and its toggles.
extern volatile std::uint8_t vt2demo_blink;
extern volatile std::int32_t vt2demo_blink_toggles;
// With --blink too: a panel of 16 lamps side by side, lamp i on while bit i of the frame count is set.
extern volatile std::uint8_t vt2demo_panel[16];

extern volatile std::int32_t vt2demo_frame;   // frames drawn so far
}

namespace vt2demo {
inline constexpr std::int32_t kWorldMagic = 0x444C5257;  // "WRLD"
inline constexpr std::int64_t kFirstShot = 0x100000000;
inline constexpr std::uint8_t kP1Trigger = 1;
inline constexpr std::uint8_t kP1Reload = 2;
inline constexpr std::uint8_t kP2TriggerReleased = 4;
inline constexpr std::uint8_t kP2Reload = 8;
inline constexpr int kWidth = 640;
inline constexpr int kHeight = 480;
inline constexpr const char* kWindowClass = "VT2DemoGame";
// The 64-bit game whose memory lies above 4 GB has a caption of its own, so that a run for one
// demo game never hooks the other.
#if defined(VT2DEMO_ABOVE_4GB)
inline constexpr const char* kWindowCaption = "VT2 Demo Game (64-bit)";
#else
inline constexpr const char* kWindowCaption = "VT2 Demo Game";
#endif
// Posted to the game window: the game closes its window and opens a new one of the same class and
// caption, as games do when they switch to full screen.
inline constexpr unsigned kRecreateWindowMessage = 0x8000 + 7;  // WM_APP + 7
void CreateWorld();
// The mouse object, after a block of a size that differs from start to start.
void CreateMouse();
}  // namespace vt2demo
