#include "adapters/win32/win32_target_screen.h"

#include <algorithm>

namespace vt2::win32 {

namespace {
constexpr const char* kTargetScreenClass = "VT2TargetScreen";

void RegisterTargetScreenClass(HINSTANCE instance, WNDPROC procedure) {
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursor(nullptr, IDC_CROSS);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = kTargetScreenClass;
    RegisterClassExA(&windowClass);  // a second registration fails harmlessly
}

// A GDI object selected into a device context for a scope, and deleted after it.
class SelectedObject {
public:
    SelectedObject(HDC dc, HGDIOBJ object, bool owned) : dc_(dc), object_(object), owned_(owned) {
        previous_ = SelectObject(dc, object);
    }
    ~SelectedObject() {
        SelectObject(dc_, previous_);
        if (owned_) DeleteObject(object_);
    }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;

private:
    HDC dc_;
    HGDIOBJ object_;
    HGDIOBJ previous_;
    bool owned_;
};
}  // namespace

void Win32TargetScreen::open(const PixelRect& monitor, TargetScreenKeys& keys) {
    close();
    RegisterTargetScreenClass(instance_, &Win32TargetScreen::WindowProc);
    monitor_ = monitor;
    keys_ = &keys;
    view_ = {};
    window_.reset(CreateWindowExA(WS_EX_TOPMOST, kTargetScreenClass, kTargetScreenCaption, WS_POPUP, monitor.left,
                                  monitor.top, monitor.width(), monitor.height(), nullptr, nullptr, instance_, this));
    if (!window_) return;
    ShowWindow(window_.get(), SW_SHOW);
    SetForegroundWindow(window_.get());
    SetFocus(window_.get());
}

void Win32TargetScreen::show(const TargetScreenView& view) {
    if (!window_ || view == view_) return;
    // A move of the mark repaints the mark alone: a whole screen painted on every report of a
    // mouse keeps the window from reading the reports as fast as they come.
    const bool markAlone = view.target == view_.target && view.text == view_.text;
    if (markAlone) {
        invalidateMark(view_.mark);
        invalidateMark(view.mark);
    }
    view_ = view;
    if (!markAlone) InvalidateRect(window_.get(), nullptr, TRUE);
}

void Win32TargetScreen::invalidateMark(const std::optional<DesktopPixel>& mark) const {
    if (!mark) return;
    const POINT at = inWindow(*mark);
    const RECT around{at.x - kMarkReach, at.y - kMarkReach, at.x + kMarkReach + 1, at.y + kMarkReach + 1};
    InvalidateRect(window_.get(), &around, TRUE);
}

void Win32TargetScreen::close() {
    keys_ = nullptr;
    window_.reset();
}

void Win32TargetScreen::paint(HDC dc) const {
    SetBkMode(dc, TRANSPARENT);
    if (view_.target) {
        const POINT at = inWindow(*view_.target);
        const SelectedObject pen(dc, CreatePen(PS_SOLID, 3, RGB(255, 255, 255)), true);
        const SelectedObject brush(dc, GetStockObject(NULL_BRUSH), false);
        for (int radius : {40, 24, 8}) Ellipse(dc, at.x - radius, at.y - radius, at.x + radius + 1, at.y + radius + 1);
        MoveToEx(dc, at.x - 56, at.y, nullptr);
        LineTo(dc, at.x + 57, at.y);
        MoveToEx(dc, at.x, at.y - 56, nullptr);
        LineTo(dc, at.x, at.y + 57);
    }
    if (view_.mark) {
        const POINT at = inWindow(*view_.mark);
        const SelectedObject pen(dc, CreatePen(PS_SOLID, 3, RGB(0, 220, 0)), true);
        const int arm = kMarkReach - 4;  // inside its repainted square, pen width included
        MoveToEx(dc, at.x - arm, at.y - arm, nullptr);
        LineTo(dc, at.x + arm + 1, at.y + arm + 1);
        MoveToEx(dc, at.x + arm, at.y - arm, nullptr);
        LineTo(dc, at.x - arm - 1, at.y + arm + 1);
    }
    NONCLIENTMETRICSA metrics{};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    metrics.lfMessageFont.lfHeight = -std::max(16, monitor_.height() / 40);
    const SelectedObject font(dc, CreateFontIndirectA(&metrics.lfMessageFont), true);
    SetTextColor(dc, RGB(255, 255, 255));
    // The text in the middle, a little above it so that the check's target stays clear.
    RECT box{0, monitor_.height() / 2 - monitor_.height() / 5, monitor_.width(), monitor_.height() / 2 - 60};
    RECT measured = box;
    DrawTextA(dc, view_.text.c_str(), -1, &measured, DT_CENTER | DT_WORDBREAK | DT_NOPREFIX | DT_CALCRECT);
    box.top = box.bottom - (measured.bottom - measured.top);
    DrawTextA(dc, view_.text.c_str(), -1, &box, DT_CENTER | DT_WORDBREAK | DT_NOPREFIX);
}

LRESULT CALLBACK Win32TargetScreen::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<Win32TargetScreen*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT paint{};
        const HDC dc = BeginPaint(window, &paint);
        if (self) self->paint(dc);
        EndPaint(window, &paint);
        return 0;
    }
    case WM_KEYDOWN:
        // The model may close this window from inside the call.
        if (self && self->keys_ && wParam == VK_ESCAPE) self->keys_->escapePressed();
        if (self && self->keys_ && wParam == VK_RETURN) self->keys_->enterPressed();
        return 0;
    case WM_CLOSE:
        // Alt+F4 is Esc: the model closes the window.
        if (self && self->keys_) self->keys_->escapePressed();
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

}  // namespace vt2::win32
