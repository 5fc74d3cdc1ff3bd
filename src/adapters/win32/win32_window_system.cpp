#include "adapters/win32/win32_window_system.h"

#include <windows.h>

#include <algorithm>
#include <vector>

namespace vt2::win32 {

namespace {
HWND ToHwnd(WindowHandle window) { return reinterpret_cast<HWND>(window); }
}  // namespace

WindowHandle Win32WindowSystem::findWindow(const std::string& windowClass,
                                           const std::optional<std::string>& caption) {
    // No class: any window of that caption (a class of "" would match none).
    const HWND found = FindWindowA(windowClass.empty() ? nullptr : windowClass.c_str(), caption ? caption->c_str() : nullptr);
    return reinterpret_cast<WindowHandle>(found);
}

std::string Win32WindowSystem::windowText(WindowHandle window, std::size_t bufferChars) {
    if (bufferChars == 0) return {};
    std::vector<char> buffer(bufferChars, '\0');
    const HWND hwnd = ToHwnd(window);
    const int length = GetWindowTextA(hwnd, buffer.data(), static_cast<int>(bufferChars));
    // Under Wine, the caption of another process's window that has just been destroyed can come
    // back as stale heap bytes, over and over. A window that no longer exists has no caption; the
    // check comes after the read so that a window destroyed during it counts as gone.
    if (length <= 0 || !IsWindow(hwnd)) return {};
    return std::string(buffer.data(), std::min(static_cast<std::size_t>(length), bufferChars - 1));
}

std::uint32_t Win32WindowSystem::windowProcessId(WindowHandle window) {
    DWORD processId = 0;
    GetWindowThreadProcessId(ToHwnd(window), &processId);
    return processId;
}

bool Win32WindowSystem::windowExists(WindowHandle window) { return window != 0 && IsWindow(ToHwnd(window)) != FALSE; }

namespace {
struct WindowSearch {
    DWORD processId;
    const std::string* windowClass;
    const std::optional<std::string>* caption;
    HWND found = nullptr;
};

BOOL CALLBACK MatchWindowOfProcess(HWND window, LPARAM lParam) {
    auto& search = *reinterpret_cast<WindowSearch*>(lParam);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    if (processId != search.processId) return TRUE;
    char name[256] = {};
    GetClassNameA(window, name, sizeof name);
    if (!search.windowClass->empty() && *search.windowClass != name) return TRUE;
    if (*search.caption) {
        char text[256] = {};
        GetWindowTextA(window, text, sizeof text);
        if (**search.caption != text) return TRUE;
    }
    search.found = window;
    return FALSE;
}
}  // namespace

WindowHandle Win32WindowSystem::findWindowOfProcess(std::uint32_t processId, const std::string& windowClass,
                                                    const std::optional<std::string>& caption) {
    if (processId == 0) return 0;
    WindowSearch search{processId, &windowClass, &caption};
    EnumWindows(&MatchWindowOfProcess, reinterpret_cast<LPARAM>(&search));
    return reinterpret_cast<WindowHandle>(search.found);
}

std::uint32_t Win32WindowSystem::windowStyle(WindowHandle window) {
    return static_cast<std::uint32_t>(GetWindowLongA(ToHwnd(window), GWL_STYLE));
}

void Win32WindowSystem::setWindowStyle(WindowHandle window, std::uint32_t style) {
    SetWindowLongA(ToHwnd(window), GWL_STYLE, static_cast<LONG>(style));
}

void Win32WindowSystem::moveToTopLeftWithNewFrame(WindowHandle window) {
    SetWindowPos(ToHwnd(window), HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_FRAMECHANGED);
}

std::optional<PixelRect> Win32WindowSystem::clientAreaOnDesktop(WindowHandle window) {
    const HWND hwnd = ToHwnd(window);
    RECT client{};
    if (!IsWindow(hwnd) || !GetClientRect(hwnd, &client)) return std::nullopt;
    if (IsIconic(hwnd)) return PixelRect{};
    POINT corner{0, 0};
    if (!ClientToScreen(hwnd, &corner)) return std::nullopt;
    return PixelRect{corner.x, corner.y, corner.x + client.right, corner.y + client.bottom};
}

PixelRect Win32WindowSystem::virtualDesktop() {
    const int left = GetSystemMetrics(SM_XVIRTUALSCREEN);
    const int top = GetSystemMetrics(SM_YVIRTUALSCREEN);
    return PixelRect{left, top, left + GetSystemMetrics(SM_CXVIRTUALSCREEN), top + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
}

PixelRect Win32WindowSystem::monitorOf(WindowHandle window) {
    const HMONITOR monitor = window != 0 ? MonitorFromWindow(ToHwnd(window), MONITOR_DEFAULTTOPRIMARY)
                                         : MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY);
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (!GetMonitorInfoA(monitor, &info)) {
        return PixelRect{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    }
    return PixelRect{info.rcMonitor.left, info.rcMonitor.top, info.rcMonitor.right, info.rcMonitor.bottom};
}

void Win32WindowSystem::postQuit(WindowHandle window) { PostMessageA(ToHwnd(window), WM_QUIT, 0, 0); }

void Win32WindowSystem::bringToFront(WindowHandle window) {
    const HWND hwnd = ToHwnd(window);
    if (IsIconic(hwnd)) ShowWindow(hwnd, SW_RESTORE);
    BringWindowToTop(hwnd);
    SetForegroundWindow(hwnd);
}

}  // namespace vt2::win32
