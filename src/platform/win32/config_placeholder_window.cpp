#include "platform/win32/config_placeholder_window.h"

#include "platform/win32/main_window_ids.h"
#include "platform/win32/twips.h"

namespace vt2::win32 {

namespace {

LRESULT CALLBACK ConfigWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

ConfigPlaceholderWindow::ConfigPlaceholderWindow(HINSTANCE instance) {
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = ConfigWindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(1));
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kConfigWindowClass;
    RegisterClassExA(&windowClass);

    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    RECT frame{0, 0, TwipsToPixels(6765), TwipsToPixels(6090)};
    AdjustWindowRect(&frame, style, FALSE);
    window_.reset(CreateWindowExA(0, kConfigWindowClass, kConfigWindowCaption, style, CW_USEDEFAULT, CW_USEDEFAULT,
                                  frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr, instance,
                                  nullptr));
    ShowWindow(window_.get(), SW_SHOWNORMAL);
}

}  // namespace vt2::win32
