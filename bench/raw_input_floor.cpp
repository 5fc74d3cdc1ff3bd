// The floor of the input path: a bare program that registers for raw mouse input as VT2 does (a
// hidden window, input also while another program is in front) and adds each move to a variable
// of its own, time-stamping it with the performance counter. The latency benchmark moves the
// mouse and times the change as it does VT2's.
//   vt2_raw_input_floor ADDRESS_FILE [--paced]
// With --paced it waits between messages as VT2's paced loop does (for a message or the tick of a
// 1 ms high-resolution timer) instead of in GetMessage, which tells what that wait alone costs.
// It writes the addresses of its three variables (sum, changes, changed at) to ADDRESS_FILE, in
// hexadecimal on one line, once it is registered; it runs until it is ended.

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstring>

namespace {

volatile std::int32_t g_sum = 0;
volatile std::int32_t g_changes = 0;
volatile std::int64_t g_changedAt = 0;

LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INPUT) {
        RAWINPUT input{};
        UINT size = sizeof input;
        if (GetRawInputData(reinterpret_cast<HRAWINPUT>(lParam), RID_INPUT, &input, &size, sizeof(RAWINPUTHEADER)) !=
                static_cast<UINT>(-1) &&
            input.header.dwType == RIM_TYPEMOUSE && input.data.mouse.lLastX != 0) {
            LARGE_INTEGER now;
            QueryPerformanceCounter(&now);
            g_sum = g_sum + input.data.mouse.lLastX;
            g_changedAt = now.QuadPart;
            g_changes = g_changes + 1;
        }
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    WNDCLASSA c{};
    c.lpfnWndProc = Procedure;
    c.hInstance = GetModuleHandleA(nullptr);
    c.lpszClassName = "VT2RawInputFloor";
    RegisterClassA(&c);
    HWND window = CreateWindowExA(0, c.lpszClassName, "", WS_OVERLAPPED, 0, 0, 0, 0, nullptr, nullptr, c.hInstance, nullptr);
    RAWINPUTDEVICE mouse{1, 2, RIDEV_INPUTSINK, window};
    if (!window || !RegisterRawInputDevices(&mouse, 1, sizeof mouse)) return 1;
    FILE* out = std::fopen(argv[1], "w");
    if (!out) return 1;
    std::fprintf(out, "%p %p %p\n", static_cast<void*>(const_cast<std::int32_t*>(&g_sum)),
                 static_cast<void*>(const_cast<std::int32_t*>(&g_changes)),
                 static_cast<void*>(const_cast<std::int64_t*>(&g_changedAt)));
    std::fclose(out);
    MSG message;
    if (argc > 2 && std::strcmp(argv[2], "--paced") == 0) {
        HANDLE timer = CreateWaitableTimerExW(nullptr, nullptr, 0x00000002 /* high resolution */, TIMER_ALL_ACCESS);
        if (!timer) timer = CreateWaitableTimerExW(nullptr, nullptr, 0, TIMER_ALL_ACCESS);
        LARGE_INTEGER due;
        due.QuadPart = -10000;
        if (!timer || !SetWaitableTimer(timer, &due, 1, nullptr, nullptr, FALSE)) return 1;
        for (;;) {
            while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
                if (message.message == WM_QUIT) return 0;
                DispatchMessageA(&message);
            }
            MsgWaitForMultipleObjectsEx(1, &timer, 10, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        }
    }
    while (GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
    return 0;
}
