// The demo game: a window with a known class and caption whose aim, button and output variables
// live at fixed addresses. It draws both players' crosshairs from its own variables, so what the
// hook writes into its memory shows on screen.
//
// Options: --caption TEXT   use another window caption (an empty one as well)
//          --watch-aim      time-stamp every change of player 1's aim (for latency measurements)
//          --blink          toggle the output vt2demo_blink on every frame, and run the lamp panel vt2demo_panel
//          --follow-mouse   follow the system mouse into an object on the heap (DemoMouse) and draw and
//                           shoot player 1 from it
// Posting it kRecreateWindowMessage has it close its window and open a new one, as a game that
// switches to full screen does.

#include <windows.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "demo_variables.h"

namespace {

constexpr UINT_PTR kFrameTimer = 1;
constexpr UINT kFrameMs = 16;

struct Options {
    std::string caption = vt2demo::kWindowCaption;
    bool watchAim = false;
    bool blink = false;
    bool followMouse = false;
};
bool g_blink = false;
bool g_recreating = false;  // the window closes to be opened again: the game goes on
HWND CreateGameWindow(HINSTANCE instance, const std::string& caption);

Options ReadOptions() {
    Options options;
    for (int i = 1; i < __argc; ++i) {
        if (std::strcmp(__argv[i], "--caption") == 0 && i + 1 < __argc) options.caption = __argv[++i];
        if (std::strcmp(__argv[i], "--watch-aim") == 0) options.watchAim = true;
        if (std::strcmp(__argv[i], "--blink") == 0) options.blink = true;
        if (std::strcmp(__argv[i], "--follow-mouse") == 0) options.followMouse = true;
    }
    return options;
}

// The game's own mouse code: player 1 aims where the system cursor is. It overwrites whatever
// the hook wrote, so the demo descriptor patches this store out (the two labels mark its bytes).
// The hook patches one byte at a time. It holds the game's threads still meanwhile, but where it
// cannot, a half-patched site is run as it is: so every byte of this one is a whole instruction,
// and each half-patched state still writes only inside p1_x and p1_y. Each movsb copies one byte
// of the aim from rsi/esi to rdi/edi, which p1_x and p1_y lying side by side allow; full-width
// registers, so the same bytes work at any address of a 64-bit game.
__attribute__((noinline)) void StoreOwnAim(std::int16_t x, std::int16_t y) {
    volatile std::int16_t aim[2] = {x, y};
    const volatile void* source = aim;
    volatile void* target = vt2demo_p1_aim;
    asm volatile(
        ".globl " VT2DEMO_SYMBOL(vt2demo_patch_site) "\n"
        VT2DEMO_SYMBOL(vt2demo_patch_site) ":\n\t"
        "movsb\n\t"
        "movsb\n\t"
        "movsb\n\t"
        "movsb\n"
        ".globl " VT2DEMO_SYMBOL(vt2demo_patch_site_end) "\n"
        VT2DEMO_SYMBOL(vt2demo_patch_site_end) ":\n"
        : "+S"(source), "+D"(target)
        :
        : "memory");
}

void ReadOwnMouse(HWND window) {
    POINT cursor{};
    if (!GetCursorPos(&cursor) || !ScreenToClient(window, &cursor)) return;
    const LONG x = cursor.x < 0 ? 0 : (cursor.x >= vt2demo::kWidth ? vt2demo::kWidth - 1 : cursor.x);
    const LONG y = cursor.y < 0 ? 0 : (cursor.y >= vt2demo::kHeight ? vt2demo::kHeight - 1 : cursor.y);
    StoreOwnAim(static_cast<std::int16_t>(x), static_cast<std::int16_t>(y));
}

// A mouse message over the window, in the mouse-following mode.
void FollowMouse(UINT message, LPARAM lParam) {
    DemoMouse& mouse = *vt2demo_mouse;
    const int x = static_cast<short>(LOWORD(lParam)), y = static_cast<short>(HIWORD(lParam));
    mouse.messages = mouse.messages + 1;
    mouse.x = x < 0 ? 0 : (x >= vt2demo::kWidth ? vt2demo::kWidth - 1 : x);
    mouse.y = static_cast<float>(y < 0 ? 0 : (y >= vt2demo::kHeight ? vt2demo::kHeight - 1 : y)) / vt2demo::kHeight;
    mouse.mixed = x + 2 * y;
    if (message == WM_LBUTTONDOWN) mouse.buttons = mouse.buttons | 1;
    if (message == WM_LBUTTONUP) mouse.buttons = mouse.buttons & ~1;
    if (message == WM_RBUTTONDOWN) mouse.buttons = mouse.buttons | 2;
    if (message == WM_RBUTTONUP) mouse.buttons = mouse.buttons & ~2;
}

// Game logic of one frame: the lamp follows player 1's trigger, each pull is a recoil and heat.
void UpdateGame() {
    static bool wasPulled = false;
    const bool pulled = vt2demo_mouse ? (vt2demo_mouse->buttons & 1) != 0 : (vt2demo_buttons & vt2demo::kP1Trigger) != 0;
    vt2demo_lamp = pulled ? 1 : 0;
    if (pulled && !wasPulled) {
        vt2demo_recoil = static_cast<std::int16_t>(vt2demo_recoil + 1);
        vt2demo_heat = vt2demo_heat + 10.0f;
        vt2demo_shots = vt2demo_shots + 1;
    }
    wasPulled = pulled;
    vt2demo_heat = vt2demo_heat * 0.98f;
    if (vt2demo_heat < 0.01f) vt2demo_heat = 0.0f;
    vt2demo_frame = vt2demo_frame + 1;
    if (g_blink) {
        vt2demo_blink = vt2demo_blink ? 0 : 1;
        vt2demo_blink_toggles = vt2demo_blink_toggles + 1;
        for (int i = 0; i < 16; ++i) vt2demo_panel[i] = static_cast<std::uint8_t>((vt2demo_frame >> i) & 1);
    }
}

// The arcade's keys: 5 and 6 are coins, 1 and 2 start player 1 and 2 when there is a credit.
void OnKey(WPARAM key) {
    if (key == '5' || key == '6') vt2demo_credits = vt2demo_credits + 1;
    auto start = [](volatile std::uint8_t& in) {
        if (in || vt2demo_credits <= 0) return;
        vt2demo_credits = vt2demo_credits - 1;
        in = 1;
    };
    if (key == '1') start(vt2demo_p1_in);
    if (key == '2') start(vt2demo_p2_in);
}

// Watches player 1's aim as closely as the machine allows and time-stamps each change.
DWORD WINAPI WatchAim(LPVOID) {
    std::int16_t last = vt2demo_p1_x;
    for (;;) {
        const std::int16_t now = vt2demo_p1_x;
        if (now != last) {
            LARGE_INTEGER at;
            QueryPerformanceCounter(&at);
            vt2demo_aim_changed_at = at.QuadPart;
            vt2demo_aim_changes = vt2demo_aim_changes + 1;
            last = now;
        }
        YieldProcessor();
    }
}

void DrawCrosshair(HDC dc, int x, int y, COLORREF colour, bool firing) {
    HPEN pen = CreatePen(PS_SOLID, firing ? 3 : 2, colour);
    HGDIOBJ oldPen = SelectObject(dc, pen);
    HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
    Ellipse(dc, x - 14, y - 14, x + 15, y + 15);
    MoveToEx(dc, x - 22, y, nullptr);
    LineTo(dc, x + 23, y);
    MoveToEx(dc, x, y - 22, nullptr);
    LineTo(dc, x, y + 23);
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    DeleteObject(pen);
}

void DrawText(HDC dc, int x, int y, const char* text, COLORREF colour) {
    SetTextColor(dc, colour);
    TextOutA(dc, x, y, text, static_cast<int>(std::strlen(text)));
}

void DrawFrame(HDC dc) {
    RECT all{0, 0, vt2demo::kWidth, vt2demo::kHeight};
    HBRUSH background = CreateSolidBrush(RGB(18, 24, 36));
    FillRect(dc, &all, background);
    DeleteObject(background);
    SetBkMode(dc, TRANSPARENT);

    const std::uint8_t buttons = vt2demo_buttons;
    const DemoMouse* mouse = vt2demo_mouse;
    const bool p1Trigger = mouse ? (mouse->buttons & 1) != 0 : (buttons & vt2demo::kP1Trigger) != 0;
    const bool p1Reload = mouse ? (mouse->buttons & 2) != 0 : (buttons & vt2demo::kP1Reload) != 0;
    const bool p2Trigger = (buttons & vt2demo::kP2TriggerReleased) == 0;
    const bool p2Reload = (buttons & vt2demo::kP2Reload) != 0;

    const int p1x = mouse ? static_cast<int>(mouse->x) : vt2demo_p1_x;
    const int p1y = mouse ? static_cast<int>(std::lround(mouse->y * vt2demo::kHeight)) : vt2demo_p1_y;
    const DemoPlayer& p2 = *vt2demo_world->player2;
#if defined(VT2DEMO_ABOVE_4GB)
    const double p2AimX = p2.wideX;
    const double p2AimY = p2.wideY;
#else
    const double p2AimX = p2.x;
    const double p2AimY = p2.y;
#endif
    const int p2x = static_cast<int>(std::lround(p2AimX * vt2demo::kWidth));
    const int p2y = static_cast<int>(std::lround(p2AimY * vt2demo::kHeight));
    DrawCrosshair(dc, p1x, p1y, p1Trigger ? RGB(255, 230, 90) : RGB(255, 70, 70), p1Trigger);
    DrawCrosshair(dc, p2x, p2y, p2Trigger ? RGB(120, 255, 255) : RGB(80, 140, 255), p2Trigger);

    char line[160];
    std::snprintf(line, sizeof line, "P1  x %d  y %d  trigger %d  reload %d", p1x, p1y, p1Trigger, p1Reload);
    DrawText(dc, 10, 8, line, RGB(255, 110, 110));
    std::snprintf(line, sizeof line, "P2  x %.3f  y %.3f  trigger %d  reload %d", p2AimX, p2AimY,
                  p2Trigger, p2Reload);
    DrawText(dc, 10, 26, line, RGB(120, 170, 255));
    std::snprintf(line, sizeof line, "recoil %d  heat %.1f  last key %d  keys %d", vt2demo_recoil, vt2demo_heat,
                  vt2demo_last_key, vt2demo_key_presses);
    DrawText(dc, 10, vt2demo::kHeight - 24, line, RGB(200, 200, 200));
    std::snprintf(line, sizeof line, "CREDITS %d   %s   %s", vt2demo_credits, vt2demo_p1_in ? "P1 IN" : "P1 --",
                  vt2demo_p2_in ? "P2 IN" : "P2 --");
    DrawText(dc, 10, vt2demo::kHeight - 44, line, RGB(255, 220, 120));
    if (p1Reload) DrawText(dc, p1x + 18, p1y + 16, "RELOAD", RGB(255, 110, 110));
    if (p2Reload) DrawText(dc, p2x + 18, p2y + 16, "RELOAD", RGB(120, 170, 255));

    // The lamp, top right.
    HBRUSH lamp = CreateSolidBrush(vt2demo_lamp ? RGB(255, 60, 40) : RGB(70, 30, 30));
    HGDIOBJ oldBrush = SelectObject(dc, lamp);
    Ellipse(dc, vt2demo::kWidth - 40, 10, vt2demo::kWidth - 12, 38);
    SelectObject(dc, oldBrush);
    DeleteObject(lamp);
}

void Paint(HWND window) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    HDC buffer = CreateCompatibleDC(dc);
    HBITMAP bitmap = CreateCompatibleBitmap(dc, vt2demo::kWidth, vt2demo::kHeight);
    HGDIOBJ oldBitmap = SelectObject(buffer, bitmap);
    DrawFrame(buffer);
    BitBlt(dc, 0, 0, vt2demo::kWidth, vt2demo::kHeight, buffer, 0, 0, SRCCOPY);
    SelectObject(buffer, oldBitmap);
    DeleteObject(bitmap);
    DeleteDC(buffer);
    EndPaint(window, &paint);
}

LRESULT CALLBACK GameWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_TIMER:
            if (!vt2demo_mouse) ReadOwnMouse(window);  // following the mouse, player 1 is the heap object
            UpdateGame();
            InvalidateRect(window, nullptr, FALSE);
            return 0;
        case WM_PAINT:
            Paint(window);
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_MOUSEMOVE:
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
        case WM_RBUTTONDOWN:
        case WM_RBUTTONUP:
            if (vt2demo_mouse) FollowMouse(message, lParam);
            return DefWindowProcA(window, message, wParam, lParam);
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
            if ((lParam & (1 << 30)) == 0) {  // not an auto-repeat
                vt2demo_last_key = static_cast<std::int32_t>(wParam);
                vt2demo_key_presses = vt2demo_key_presses + 1;
                OnKey(wParam);
            }
            return DefWindowProcA(window, message, wParam, lParam);
        case WM_DESTROY:
            if (!g_recreating) PostQuitMessage(0);
            return 0;
        default:
            if (message == vt2demo::kRecreateWindowMessage) {
                char caption[256] = {};
                GetWindowTextA(window, caption, sizeof caption);
                const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(window, GWLP_HINSTANCE));
                g_recreating = true;
                DestroyWindow(window);
                CreateGameWindow(instance, caption);
                g_recreating = false;
                return 0;
            }
            return DefWindowProcA(window, message, wParam, lParam);
    }
}

void RecordStartupShowState() {
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    GetStartupInfoA(&startup);
    vt2demo_startup_show = (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : -1;
}

HWND CreateGameWindow(HINSTANCE instance, const std::string& caption) {
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    RECT frame{0, 0, vt2demo::kWidth, vt2demo::kHeight};
    AdjustWindowRect(&frame, style, FALSE);
    HWND window = CreateWindowExA(0, vt2demo::kWindowClass, caption.c_str(), style, 40, 40, frame.right - frame.left,
                                  frame.bottom - frame.top, nullptr, nullptr, instance, nullptr);
    if (!window) return nullptr;
    // Like a full-screen game, the demo shows its window whatever state it was started with.
    ShowWindow(window, SW_SHOWNORMAL);
    if (!IsWindowVisible(window)) ShowWindow(window, SW_SHOW);
    SetForegroundWindow(window);
    SetTimer(window, kFrameTimer, kFrameMs, nullptr);
    return window;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    const Options options = ReadOptions();
    RecordStartupShowState();
    vt2demo::CreateWorld();
    if (options.followMouse) vt2demo::CreateMouse();
    g_blink = options.blink;
    if (options.watchAim) CloseHandle(CreateThread(nullptr, 0, WatchAim, nullptr, 0, nullptr));

    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = GameWindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursor(nullptr, IDC_CROSS);
    windowClass.lpszClassName = vt2demo::kWindowClass;
    RegisterClassExA(&windowClass);

    if (!CreateGameWindow(instance, options.caption)) return 1;

    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}
