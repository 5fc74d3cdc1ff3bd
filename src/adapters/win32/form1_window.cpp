#include "adapters/win32/form1_window.h"

#include <shellapi.h>
#include <windowsx.h>

#include <algorithm>
#include <cstring>

#include "adapters/win32/main_window_ids.h"
#include "adapters/win32/twips.h"

namespace vt2::win32 {

namespace {

constexpr DWORD kNotifyIconRecordSize = 88;  // the ANSI record of the first shell version
constexpr UINT kTrayCallbackMessage = WM_MOUSEMOVE;
constexpr UINT kTrayFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;

struct LabelDesign {
    MainWindowLabel which;
    int id;
    const char* caption;
    int left, top, width, height;  // twips
    bool grows;
};

constexpr LabelDesign kLabelDesigns[] = {
    {MainWindowLabel::Status, kIdStatusLabel, "Status:", 120, 120, 4815, 255, false},
    {MainWindowLabel::Player1, kIdPlayer1Label, "Player1:  ", 120, 480, 660, 195, true},
    {MainWindowLabel::Player2, kIdPlayer2Label, "Player2:  ", 2160, 480, 660, 195, true},
    {MainWindowLabel::Outputs, kIdOutputsLabel, "Outputs:  ", 3600, 480, 690, 195, true},
    {MainWindowLabel::Notes, kIdNotesLabel, "", 120, 2160, 5025, 195, true},
};
constexpr int kDesignClientWidth = 5265;   // twips
constexpr int kDesignClientHeight = 2655;
constexpr int kNotesGap = 120;

void RegisterMainWindowClass(HINSTANCE instance, HICON icon, WNDPROC procedure) {
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    windowClass.hIcon = icon;
    windowClass.hIconSm = icon;
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kMainWindowClass;
    RegisterClassExA(&windowClass);
}

}  // namespace

Form1Window::Form1Window(HINSTANCE instance) : instance_(instance) {
    icon_ = LoadIconA(instance, MAKEINTRESOURCEA(1));
    if (!icon_) icon_ = LoadIcon(nullptr, IDI_APPLICATION);
    RegisterMainWindowClass(instance, icon_, &Form1Window::WindowProc);
    taskbarCreatedMessage_ = RegisterWindowMessageA("TaskbarCreated");

    RECT frame{0, 0, TwipsToPixels(kDesignClientWidth), TwipsToPixels(kDesignClientHeight)};
    const DWORD style = WS_OVERLAPPEDWINDOW;
    AdjustWindowRect(&frame, style, FALSE);
    window_.reset(CreateWindowExA(0, kMainWindowClass, kMainWindowCaption, style, CW_USEDEFAULT, CW_USEDEFAULT,
                                  frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr, instance,
                                  this));
    createLabels();

    popupMenu_.reset(CreatePopupMenu());
    AppendMenuA(popupMenu_.get(), MF_STRING, kIdMenuShowDebug, "Show &Debug Window");
    AppendMenuA(popupMenu_.get(), MF_STRING, kIdMenuExit, "E&xit");
}

Form1Window::~Form1Window() {
    if (trayIconShown_) notifyTray(NIM_DELETE);
    behaviour_ = nullptr;
}

void Form1Window::createLabels() {
    const HFONT font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    for (const LabelDesign& design : kLabelDesigns) {
        Label& l = label(design.which);
        l.designWidth = TwipsToPixels(design.width);
        l.designHeight = TwipsToPixels(design.height);
        l.grows = design.grows;
        l.text = design.caption;
        l.control = CreateWindowExA(0, "STATIC", design.caption, WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX,
                                    TwipsToPixels(design.left), TwipsToPixels(design.top), l.designWidth,
                                    l.designHeight, window_.get(),
                                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(design.id)), instance_, nullptr);
        SendMessageA(l.control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    }
}

Form1Window::Label& Form1Window::label(MainWindowLabel which) { return labels_[static_cast<std::size_t>(which)]; }

void Form1Window::setLabelText(MainWindowLabel which, const std::string& text) {
    Label& l = label(which);
    // The debug text is rebuilt on every pass; an unchanged caption is not set again.
    if (text == l.text) return;
    l.text = text;
    SetWindowTextA(l.control, text.c_str());
    if (!l.grows) return;
    HDC dc = GetDC(l.control);
    const HGDIOBJ previousFont = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(l.control, WM_GETFONT, 0, 0)));
    RECT needed{0, 0, 0, 0};
    DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &needed, DT_CALCRECT | DT_LEFT | DT_NOPREFIX);
    SelectObject(dc, previousFont);
    ReleaseDC(l.control, dc);
    SetWindowPos(l.control, nullptr, 0, 0, std::max<int>(l.designWidth, needed.right),
                 std::max<int>(l.designHeight, needed.bottom), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    layOutNotes();
}

void Form1Window::layOutNotes() {
    const HWND window = window_.get();
    auto bottomOf = [&](HWND control) {
        RECT r{};
        GetWindowRect(control, &r);
        MapWindowPoints(HWND_DESKTOP, window, reinterpret_cast<POINT*>(&r), 2);
        return static_cast<int>(r.bottom);
    };
    const Label& notes = label(MainWindowLabel::Notes);
    int top = TwipsToPixels(2160);
    for (MainWindowLabel other : {MainWindowLabel::Player1, MainWindowLabel::Player2, MainWindowLabel::Outputs}) {
        top = std::max(top, bottomOf(label(other).control) + TwipsToPixels(kNotesGap));
    }
    SetWindowPos(notes.control, nullptr, TwipsToPixels(120), top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    const int needed = std::max(TwipsToPixels(kDesignClientHeight), bottomOf(notes.control) + TwipsToPixels(kNotesGap));
    RECT client{};
    GetClientRect(window, &client);
    if (client.bottom >= needed) return;
    RECT frame{0, 0, client.right, needed};
    AdjustWindowRect(&frame, static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE)), FALSE);
    SetWindowPos(window, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

std::string Form1Window::labelText(MainWindowLabel which) { return label(which).text; }

void Form1Window::setMinimised() {
    // A hidden window stays hidden: minimising it would show it in the task bar first.
    if (IsWindowVisible(window_.get()) && !IsIconic(window_.get())) ShowWindow(window_.get(), SW_MINIMIZE);
}

void Form1Window::setNormal() {
    if (IsIconic(window_.get())) ShowWindow(window_.get(), SW_RESTORE);
}

bool Form1Window::isMinimised() { return IsIconic(window_.get()) != FALSE; }

void Form1Window::show() { ShowWindow(window_.get(), SW_SHOW); }

void Form1Window::hide() { ShowWindow(window_.get(), SW_HIDE); }

void Form1Window::bringToForeground() { SetForegroundWindow(window_.get()); }

void Form1Window::openPopupMenu() {
    POINT at{};
    GetCursorPos(&at);
    TrackPopupMenu(popupMenu_.get(), TPM_LEFTALIGN | TPM_RIGHTBUTTON, at.x, at.y, 0, window_.get(), nullptr);
    PostMessageA(window_.get(), WM_NULL, 0, 0);  // lets the menu close when the user clicks elsewhere
}

bool Form1Window::notifyTray(DWORD operation) {
    NOTIFYICONDATAA record{};
    record.cbSize = kNotifyIconRecordSize;
    record.hWnd = window_.get();
    record.uID = kTrayIconId;
    record.uFlags = kTrayFlags;
    record.uCallbackMessage = kTrayCallbackMessage;
    record.hIcon = icon_;
    std::strncpy(record.szTip, kMainWindowCaption, sizeof(record.szTip) - 1);
    return Shell_NotifyIconA(operation, &record) != FALSE;
}

void Form1Window::addTrayIcon() {
    notifyTray(NIM_ADD);
    trayIconShown_ = true;
}

void Form1Window::removeTrayIcon() {
    notifyTray(NIM_DELETE);
    trayIconShown_ = false;
}

void Form1Window::stripSystemMenu() {
    HMENU menu = GetSystemMenu(window_.get(), FALSE);
    const int count = GetMenuItemCount(menu);
    // On the standard menu Close and the separator above it are the last two items. Some systems
    // (Wine) add items after Close, so the two are found by Close's position.
    int close = count - 1;
    for (int i = 0; i < count; ++i) {
        if (GetMenuItemID(menu, i) == SC_CLOSE) close = i;
    }
    RemoveMenu(menu, static_cast<UINT>(close), MF_BYPOSITION | MF_REMOVE);
    if (close > 0) RemoveMenu(menu, static_cast<UINT>(close - 1), MF_BYPOSITION | MF_REMOVE);
    DrawMenuBar(window_.get());
}

void Form1Window::armStartTimer(unsigned milliseconds) { SetTimer(window_.get(), kGameStartTimerId, milliseconds, nullptr); }

void Form1Window::disarmStartTimer() { KillTimer(window_.get(), kGameStartTimerId); }

void Form1Window::showConfigurationWindow() {
    if (openConfiguration_) openConfiguration_();
}

LRESULT CALLBACK Form1Window::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<Form1Window*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (self && self->window_.get() == window) return self->handleMessage(message, wParam, lParam);
    return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT Form1Window::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    const HWND window = window_.get();
    if (message == taskbarCreatedMessage_ && taskbarCreatedMessage_ != 0) {
        if (trayIconShown_) notifyTray(NIM_ADD);  // the shell came back: show the icon again
        return 0;
    }
    if (!behaviour_) return DefWindowProcA(window, message, wParam, lParam);
    switch (message) {
        case WM_MOUSEMOVE:
            behaviour_->Form_MouseMove(GET_X_LPARAM(lParam));
            return 0;
        case WM_SIZE:
            behaviour_->Form_Resize();
            return 0;
        case WM_TIMER:
            if (wParam == kGameStartTimerId) behaviour_->timGameStart_Timer();
            return 0;
        case WM_COMMAND:
            if (LOWORD(wParam) == kIdMenuShowDebug) behaviour_->mnuPopDebug_Click();
            if (LOWORD(wParam) == kIdMenuExit) behaviour_->mnuPopExit_Click();
            return 0;
        case kQueryPassCount:
            return static_cast<LRESULT>(behaviour_->passCount() & 0xFFFFFFFFu);
        case kQueryMemoryWriteCount:
            return static_cast<LRESULT>(behaviour_->memoryWriteCount() & 0xFFFFFFFFu);
        case WM_CLOSE:
            // The window has no Close item; Alt+F4 sent to the game must not end the hook either.
            return 0;
        default:
            return DefWindowProcA(window, message, wParam, lParam);
    }
}

}  // namespace vt2::win32
