#include "adapters/win32/win32_forms.h"

#include <commctrl.h>

#include <algorithm>
#include <map>
#include <vector>

#include "common/form_fitting.h"

namespace vt2::win32 {

namespace {

constexpr UINT_PTR kModelTimer = 1;
constexpr int kFirstControlId = 1000;
constexpr UINT kFieldClicked = WM_APP + 20;  // posted by a field when the user clicks into it
constexpr const char* kFieldProcedure = "VT2.FieldProcedure";

using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
using AdjustForDpiFn = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);

template <typename F>
F User32(const char* name) {
    return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), name)));
}

UINT SystemDpi() {
    HDC screen = GetDC(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
    if (screen) ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<UINT>(dpi) : 96;
}

// The window's own DPI where the system knows it per monitor, else the screen's.
UINT DpiOf(HWND window) {
    static const auto getDpi = User32<GetDpiForWindowFn>("GetDpiForWindow");
    if (getDpi && window) {
        if (const UINT dpi = getDpi(window)) return dpi;
    }
    return SystemDpi();
}

// 1440 twips to the inch: 15 to a pixel at 96 DPI, 10 at 144.
int Px(int twips, UINT dpi) { return MulDiv(twips, static_cast<int>(dpi), 1440); }

RECT FrameFor(int clientWidth, int clientHeight, DWORD style, UINT dpi) {
    RECT frame{0, 0, clientWidth, clientHeight};
    static const auto adjust = User32<AdjustForDpiFn>("AdjustWindowRectExForDpi");
    if (!adjust || !adjust(&frame, style, FALSE, 0, dpi)) AdjustWindowRectEx(&frame, style, FALSE, 0);
    return frame;
}

std::string TextOf(HWND window) {
    const int length = GetWindowTextLengthA(window);
    std::string text(static_cast<std::size_t>(std::max(length, 0)) + 1, '\0');
    const int got = GetWindowTextA(window, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(std::max(got, 0)));
    return text;
}

std::string ItemOf(HWND list, int index) {
    const LRESULT length = SendMessageA(list, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == CB_ERR) return {};
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    SendMessageA(list, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(length));
    return text;
}

// A field tells its window when the user clicks into it (the key boxes open the key detector).
LRESULT CALLBACK FieldProc(HWND field, UINT message, WPARAM wParam, LPARAM lParam) {
    const auto previous = reinterpret_cast<WNDPROC>(GetPropA(field, kFieldProcedure));
    if (message == WM_LBUTTONUP) PostMessageA(GetParent(field), kFieldClicked, static_cast<WPARAM>(GetDlgCtrlID(field)), 0);
    if (message == WM_NCDESTROY) {
        RemovePropA(field, kFieldProcedure);
        SetWindowLongPtrA(field, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
    }
    return CallWindowProcA(previous, field, message, wParam, lParam);
}

}  // namespace

class Win32Forms::Window {
public:
    Window(Win32Forms& host, HINSTANCE instance, FormModel& model) : host_(host), model_(model) { create(instance); }
    ~Window() {
        if (handle_) {
            SetWindowLongPtrA(handle_, GWLP_USERDATA, 0);
            DestroyWindow(handle_);
        }
        deleteFonts();
    }
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    HWND handle() const { return handle_; }
    FormModel& model() { return model_; }
    bool dispatching() const { return depth_ > 0; }
    void requestClose() {
        closeRequested_ = true;
        ShowWindow(handle_, SW_HIDE);
    }
    bool closeRequested() const { return closeRequested_; }
    void cancelClose() {
        closeRequested_ = false;
        ShowWindow(handle_, SW_SHOWNORMAL);
    }

    void apply();
    void focusControl(const std::string& name);
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

private:
    struct Control {
        const ControlDesign* design;
        HWND handle;
        int id;
        std::vector<std::string> items;  // as the list holds them now
    };

    void create(HINSTANCE instance);
    void layOut();
    void fitToCaptions();
    void sizeWindow(bool centre);
    void deleteFonts();
    Control* byId(int id);
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void onCommand(int id, int code);
    void userClosed();
    // Runs one action of the model; then the window shows what the model says, unless the model
    // closed it, in which case it is gone when this returns.
    template <typename F>
    void act(F&& action);

    Win32Forms& host_;
    FormModel& model_;
    FormDesign fitted_;  // the model's design, its controls widened where their captions need it
    HWND handle_ = nullptr;
    std::vector<Control> controls_;
    HFONT messageFont_ = nullptr;
    std::vector<HFONT> ownFonts_;
    UINT dpi_ = 96;
    int depth_ = 0;
    bool closeRequested_ = false;
    bool applying_ = false;
};

namespace {
constexpr DWORD kFormStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;

void RegisterFormClass(HINSTANCE instance, const std::string& name, WNDPROC procedure) {
    WNDCLASSEXA existing{};
    existing.cbSize = sizeof existing;
    if (GetClassInfoExA(instance, name.c_str(), &existing)) return;
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(1));
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = name.c_str();
    RegisterClassExA(&windowClass);
}

DWORD StyleOf(const ControlDesign& c, bool startsGroup) {
    DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
    switch (c.kind) {
        case ControlKind::Button: style |= WS_TABSTOP | (c.defaultButton ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON); break;
        case ControlKind::CheckBox: style |= WS_TABSTOP | BS_AUTOCHECKBOX; break;
        case ControlKind::OptionButton: style |= BS_AUTORADIOBUTTON | (startsGroup ? WS_TABSTOP : 0); break;
        case ControlKind::Frame: style = WS_CHILD | WS_VISIBLE | BS_GROUPBOX; break;
        // A label of one line is cut at its end rather than broken onto a line it has no room for.
        case ControlKind::Label: style |= (c.height <= 300 ? SS_LEFTNOWORDWRAP : SS_LEFT) | SS_NOPREFIX; break;
        case ControlKind::Edit: style |= WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL; break;
        case ControlKind::DropDownList: style |= WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST; break;
        case ControlKind::EditableList: style |= WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL; break;
        case ControlKind::ProgressBar: break;
    }
    if (startsGroup && c.kind != ControlKind::Frame) style |= WS_GROUP;
    return style;
}

const char* ClassOf(ControlKind kind) {
    switch (kind) {
        case ControlKind::Label: return "STATIC";
        case ControlKind::Edit: return "EDIT";
        case ControlKind::DropDownList:
        case ControlKind::EditableList: return "COMBOBOX";
        case ControlKind::ProgressBar: return PROGRESS_CLASSA;
        default: return "BUTTON";
    }
}

bool IsList(ControlKind kind) { return kind == ControlKind::DropDownList || kind == ControlKind::EditableList; }

// The width in pixels a control needs to show its caption whole, in the font it has: the text,
// and a button's margins, a check box's box and gap, a frame's indent. 0 for a control whose
// caption is no single line of its own (fields, lists, labels of several lines).
int CaptionPixels(HWND control, const ControlDesign& d, UINT dpi) {
    const bool oneLineLabel = d.kind == ControlKind::Label && d.height <= 300;
    const bool captioned = d.kind == ControlKind::Button || d.kind == ControlKind::CheckBox ||
                           d.kind == ControlKind::OptionButton || d.kind == ControlKind::Frame || oneLineLabel;
    if (!captioned || d.caption.empty()) return 0;
    HDC dc = GetDC(control);
    if (!dc) return 0;
    const HGDIOBJ before = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(control, WM_GETFONT, 0, 0)));
    RECT text{0, 0, 0, 0};
    DrawTextA(dc, d.caption.c_str(), -1, &text, DT_CALCRECT | DT_SINGLELINE | (oneLineLabel ? DT_NOPREFIX : 0));
    SelectObject(dc, before);
    ReleaseDC(control, dc);
    const int width = text.right - text.left;
    switch (d.kind) {
        case ControlKind::Button: return width + Px(240, dpi);  // 8 pixels a side at 96 DPI
        case ControlKind::CheckBox:
        case ControlKind::OptionButton: return width + Px(360, dpi);  // the box, its gap, and a margin
        case ControlKind::Frame: return width + Px(300, dpi);
        default: return width + Px(15, dpi);
    }
}
}  // namespace

void Win32Forms::Window::create(HINSTANCE instance) {
    fitted_ = model_.design();
    const FormDesign& d = fitted_;
    const std::string windowClass = "VT2" + d.name;
    RegisterFormClass(instance, windowClass, &Window::Procedure);
    dpi_ = SystemDpi();
    const RECT frame = FrameFor(Px(d.clientWidth, dpi_), Px(d.clientHeight, dpi_), kFormStyle, dpi_);
    handle_ = CreateWindowExA(WS_EX_CONTROLPARENT, windowClass.c_str(), d.caption.c_str(), kFormStyle, CW_USEDEFAULT,
                              CW_USEDEFAULT, frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr,
                              instance, this);
    int id = kFirstControlId;
    ControlKind previous = ControlKind::Frame;
    for (const ControlDesign& c : d.controls) {
        // Options in a row of the design are one group; every other control starts its own.
        const bool startsGroup = !(c.kind == ControlKind::OptionButton && previous == ControlKind::OptionButton);
        previous = c.kind;
        const DWORD extra = c.kind == ControlKind::Frame ? WS_EX_TRANSPARENT : 0;
        HWND control = CreateWindowExA(extra, ClassOf(c.kind), c.caption.c_str(), StyleOf(c, startsGroup), 0, 0, 10, 10,
                                       handle_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
        if (c.kind == ControlKind::Edit) {
            SetPropA(control, kFieldProcedure, reinterpret_cast<HANDLE>(GetWindowLongPtrA(control, GWLP_WNDPROC)));
            SetWindowLongPtrA(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&FieldProc));
        }
        controls_.push_back({&c, control, id++, {}});
    }
    // Frames lie under what they hold, which then draws over them.
    for (const Control& c : controls_) {
        if (c.design->kind == ControlKind::Frame) {
            SetWindowPos(c.handle, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        }
    }
    dpi_ = DpiOf(handle_);
    layOut();
    sizeWindow(true);
    apply();
}

// The window's size for its fitted client area at its DPI; centred, when asked, in the middle of
// the screen the program's window in front is on (the work area, clear of the task bar), so that
// a helper window opens over the window that opened it.
void Win32Forms::Window::sizeWindow(bool centre) {
    const RECT atDpi = FrameFor(Px(fitted_.clientWidth, dpi_), Px(fitted_.clientHeight, dpi_), kFormStyle, dpi_);
    const LONG width = atDpi.right - atDpi.left;
    const LONG height = atDpi.bottom - atDpi.top;
    if (!centre) {
        SetWindowPos(handle_, nullptr, 0, 0, width, height, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE);
        return;
    }
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    const HWND front = GetForegroundWindow();
    GetMonitorInfoA(MonitorFromWindow(front ? front : handle_, MONITOR_DEFAULTTOPRIMARY), &monitor);
    const RECT& work = monitor.rcWork;
    SetWindowPos(handle_, nullptr, work.left + std::max(0L, (work.right - work.left - width) / 2),
                 work.top + std::max(0L, (work.bottom - work.top - height) / 2), width, height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32Forms::Window::deleteFonts() {
    if (messageFont_) DeleteObject(messageFont_);
    messageFont_ = nullptr;
    for (HFONT f : ownFonts_) DeleteObject(f);
    ownFonts_.clear();
}

void Win32Forms::Window::layOut() {
    deleteFonts();
    // The system's message font, at this window's DPI.
    NONCLIENTMETRICSA metrics{};
    metrics.cbSize = sizeof metrics;
    if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
        LOGFONTA font = metrics.lfMessageFont;
        font.lfHeight = MulDiv(font.lfHeight, static_cast<int>(dpi_), static_cast<int>(SystemDpi()));
        messageFont_ = CreateFontIndirectA(&font);
    }
    if (!messageFont_) messageFont_ = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    for (Control& c : controls_) {
        const ControlDesign& d = *c.design;
        HFONT font = messageFont_;
        if (d.fontPoints > 0) {
            LOGFONTA own{};
            own.lfHeight = -MulDiv(static_cast<int>(d.fontPoints * 10), static_cast<int>(dpi_), 720);
            own.lfWeight = FW_NORMAL;
            lstrcpynA(own.lfFaceName, d.fontName.c_str(), LF_FACESIZE);
            font = CreateFontIndirectA(&own);
            ownFonts_.push_back(font);
        }
        SendMessageA(c.handle, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    }
    fitToCaptions();
    for (Control& c : controls_) {
        const ControlDesign& d = *c.design;
        // A list's window reaches down over its open entries.
        const int height = IsList(d.kind) ? Px(d.height, dpi_) * 9 : Px(d.height, dpi_);
        SetWindowPos(c.handle, nullptr, Px(d.left, dpi_), Px(d.top, dpi_), Px(d.width, dpi_), height,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

// Measures each caption in the font its control really has, and widens what it does not fit.
void Win32Forms::Window::fitToCaptions() {
    std::map<std::string, int> needed;
    const FormDesign& design = model_.design();
    for (std::size_t i = 0; i < controls_.size(); ++i) {
        const int pixels = CaptionPixels(controls_[i].handle, design.controls[i], dpi_);
        if (pixels > 0) needed[design.controls[i].name] = MulDiv(pixels, 1440, static_cast<int>(dpi_));
    }
    fitted_ = FitDesignToCaptions(design, needed);
    for (std::size_t i = 0; i < controls_.size(); ++i) controls_[i].design = &fitted_.controls[i];
}

Win32Forms::Window::Control* Win32Forms::Window::byId(int id) {
    for (Control& c : controls_) {
        if (c.id == id) return &c;
    }
    return nullptr;
}

void Win32Forms::Window::apply() {
    applying_ = true;  // the changes below are the model's, not the user's
    for (Control& c : controls_) {
        const ControlState s = model_.state(c.design->name);
        const ControlKind kind = c.design->kind;
        if ((IsWindowVisible(c.handle) != FALSE) != s.visible) ShowWindow(c.handle, s.visible ? SW_SHOWNA : SW_HIDE);
        if ((IsWindowEnabled(c.handle) != FALSE) != s.enabled) EnableWindow(c.handle, s.enabled ? TRUE : FALSE);
        if (IsList(kind)) {
            if (c.items != s.items) {
                SendMessageA(c.handle, CB_RESETCONTENT, 0, 0);
                for (const std::string& item : s.items) SendMessageA(c.handle, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
                c.items = s.items;
            }
            if (kind == ControlKind::DropDownList) {
                if (SendMessageA(c.handle, CB_GETCURSEL, 0, 0) != s.selected) {
                    SendMessageA(c.handle, CB_SETCURSEL, static_cast<WPARAM>(s.selected), 0);
                }
            } else if (TextOf(c.handle) != s.text) {
                // An editable list shows its text; while the user types, what they typed stays.
                const bool entry = s.selected >= 0 && static_cast<std::size_t>(s.selected) < s.items.size() &&
                                   s.items[static_cast<std::size_t>(s.selected)] == s.text;
                if (entry) {
                    SendMessageA(c.handle, CB_SETCURSEL, static_cast<WPARAM>(s.selected), 0);
                } else {
                    SetWindowTextA(c.handle, s.text.c_str());
                }
            }
        } else if (kind == ControlKind::ProgressBar) {
            if (SendMessageA(c.handle, PBM_GETPOS, 0, 0) != s.progress) SendMessageA(c.handle, PBM_SETPOS, static_cast<WPARAM>(s.progress), 0);
        } else if (TextOf(c.handle) != s.text) {
            SetWindowTextA(c.handle, s.text.c_str());
        }
        if (kind == ControlKind::CheckBox || kind == ControlKind::OptionButton) {
            const bool checked = SendMessageA(c.handle, BM_GETCHECK, 0, 0) == BST_CHECKED;
            if (checked != s.checked) SendMessageA(c.handle, BM_SETCHECK, s.checked ? BST_CHECKED : BST_UNCHECKED, 0);
        }
    }
    applying_ = false;
}

void Win32Forms::Window::focusControl(const std::string& name) {
    if (IsIconic(handle_)) ShowWindow(handle_, SW_RESTORE);
    SetForegroundWindow(handle_);
    for (const Control& c : controls_) {
        if (!name.empty() && c.design->name != name) continue;
        if (name.empty() && ((GetWindowLongA(c.handle, GWL_STYLE) & WS_TABSTOP) == 0 || !IsWindowEnabled(c.handle) ||
                             !IsWindowVisible(c.handle))) {
            continue;
        }
        SetFocus(c.handle);
        return;
    }
}

template <typename F>
void Win32Forms::Window::act(F&& action) {
    ++depth_;
    host_.acting_.push_back(handle_);
    action();
    host_.acting_.pop_back();
    --depth_;
    if (depth_ > 0) return;
    if (closeRequested_) {
        host_.windows_.erase(&model_);  // this window is gone now
        return;
    }
    apply();
}

void Win32Forms::Window::userClosed() {
    act([&] {
        model_.closed();
        requestClose();
    });
}

void Win32Forms::Window::onCommand(int id, int code) {
    const FormDesign& d = model_.design();
    if (id == IDCANCEL) {
        // Esc: the cancel button, or the dialog's close.
        const auto cancel = std::find_if(d.controls.begin(), d.controls.end(), [](const ControlDesign& c) { return c.cancelButton; });
        if (cancel != d.controls.end()) {
            act([&] { model_.clicked(cancel->name); });
        } else if (d.escapeCloses) {
            userClosed();
        }
        return;
    }
    if (id == IDOK) {
        // Enter where no button is the default: a field takes it as a click into it.
        HWND focused = GetFocus();
        const auto field = std::find_if(controls_.begin(), controls_.end(), [&](const Control& c) {
            return c.handle == focused && c.design->kind == ControlKind::Edit;
        });
        if (field == controls_.end()) return;
        const std::string name = field->design->name;
        act([&] { model_.clicked(name); });
        return;
    }
    Control* c = byId(id);
    if (!c || applying_) return;
    const std::string name = c->design->name;
    ControlState shown = model_.state(name);
    switch (c->design->kind) {
        case ControlKind::Button:
            if (code == BN_CLICKED) act([&] { model_.clicked(name); });
            break;
        case ControlKind::CheckBox:
        case ControlKind::OptionButton:
            if (code == BN_CLICKED) {
                shown.checked = SendMessageA(c->handle, BM_GETCHECK, 0, 0) == BST_CHECKED;
                act([&] {
                    model_.changed(name, shown);
                    model_.clicked(name);
                });
            }
            break;
        case ControlKind::Edit:
            if (code == EN_CHANGE) {
                shown.text = TextOf(c->handle);
                act([&] { model_.changed(name, shown); });
            }
            break;
        case ControlKind::DropDownList:
        case ControlKind::EditableList:
            if (code == CBN_SELCHANGE) {
                shown.selected = static_cast<int>(SendMessageA(c->handle, CB_GETCURSEL, 0, 0));
                shown.text = ItemOf(c->handle, shown.selected);
                act([&] { model_.changed(name, shown); });
            } else if (code == CBN_EDITCHANGE) {
                shown.text = TextOf(c->handle);
                shown.selected = -1;
                act([&] { model_.changed(name, shown); });
            }
            break;
        default:
            break;
    }
}

LRESULT CALLBACK Win32Forms::Window::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self = static_cast<Window*>(reinterpret_cast<const CREATESTRUCTA*>(lParam)->lpCreateParams);
        self->handle_ = window;  // the messages of the creation come before CreateWindowEx returns
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<Window*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!self || self->closeRequested_) return DefWindowProcA(window, message, wParam, lParam);
    return self->handleMessage(message, wParam, lParam);
}

LRESULT Win32Forms::Window::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            if (lParam != 0 || LOWORD(wParam) == IDCANCEL || LOWORD(wParam) == IDOK) {
                onCommand(LOWORD(wParam), HIWORD(wParam));
                return 0;
            }
            break;
        case kFieldClicked:
            if (Control* c = byId(static_cast<int>(wParam))) {
                const std::string name = c->design->name;
                if (IsWindowEnabled(c->handle)) act([&] { model_.clicked(name); });
            }
            return 0;
        case WM_TIMER:
            if (wParam == kModelTimer) act([&] { model_.timerTicked(); });
            return 0;
        case WM_CLOSE:
            userClosed();
            return 0;
        case DM_GETDEFID:
            for (const Control& c : controls_) {
                if (c.design->defaultButton) return MAKELRESULT(c.id, DC_HASDEFID);
            }
            return 0;
        case WM_DPICHANGED: {
            dpi_ = HIWORD(wParam);
            const auto* suggested = reinterpret_cast<const RECT*>(lParam);
            SetWindowPos(handle_, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                         suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
            layOut();
            sizeWindow(false);  // the captions may need another width at this DPI
            return 0;
        }
        default:
            break;
    }
    return DefWindowProcA(handle_, message, wParam, lParam);
}

Win32Forms::Win32Forms(HINSTANCE instance) : instance_(instance) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
}

Win32Forms::~Win32Forms() = default;

Win32Forms::Window* Win32Forms::windowOf(const FormModel& model) {
    const auto it = windows_.find(&model);
    return it == windows_.end() || it->second->closeRequested() ? nullptr : it->second.get();
}

void Win32Forms::show(FormModel& model) {
    Window* window = windowOf(model);
    const auto closing = windows_.find(&model);
    if (!window && closing != windows_.end() && closing->second->dispatching()) {
        // Asked to close while handling a message, and to show again before it was done: it stays.
        window = closing->second.get();
        window->cancelClose();
    }
    if (!window) {
        windows_.erase(&model);
        window = (windows_[&model] = std::make_unique<Window>(*this, instance_, model)).get();
        ShowWindow(window->handle(), SW_SHOWNORMAL);
        window->focusControl({});
    }
    window->apply();
    SetForegroundWindow(window->handle());
}

void Win32Forms::runModal(FormModel& model, unsigned timerMs) {
    // The other windows wait: they take no input until the modal one has closed.
    std::vector<HWND> disabled;
    for (const auto& [other, window] : windows_) {
        if (other != &model && IsWindowEnabled(window->handle())) {
            EnableWindow(window->handle(), FALSE);
            disabled.push_back(window->handle());
        }
    }
    show(model);
    if (timerMs) startTimer(model, timerMs);
    MSG message;
    bool quit = false;
    while (isOpen(model)) {
        if (GetMessageA(&message, nullptr, 0, 0) <= 0) {
            quit = true;
            break;
        }
        if (preTranslate(message)) continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    for (HWND window : disabled) EnableWindow(window, TRUE);
    if (quit) PostQuitMessage(static_cast<int>(message.wParam));
    close(model);
}

void Win32Forms::close(FormModel& model) {
    const auto it = windows_.find(&model);
    if (it == windows_.end()) return;
    Window& window = *it->second;
    KillTimer(window.handle(), kModelTimer);
    // A window that is handling a message of its own goes when that is done.
    if (window.dispatching()) {
        window.requestClose();
        return;
    }
    windows_.erase(it);
}

bool Win32Forms::isOpen(const FormModel& model) { return windowOf(model) != nullptr; }

void Win32Forms::focus(FormModel& model, const std::string& control) {
    if (Window* window = windowOf(model)) window->focusControl(control);
}

void Win32Forms::refresh(FormModel& model) {
    if (Window* window = windowOf(model)) window->apply();
}

void Win32Forms::startTimer(FormModel& model, unsigned intervalMs) {
    if (Window* window = windowOf(model)) SetTimer(window->handle(), kModelTimer, intervalMs, nullptr);
}

void Win32Forms::stopTimer(FormModel& model) {
    if (Window* window = windowOf(model)) KillTimer(window->handle(), kModelTimer);
}

void Win32Forms::endProgram() { ExitProcess(0); }

bool Win32Forms::preTranslate(MSG& message) {
    if (!message.hwnd) return false;
    HWND root = GetAncestor(message.hwnd, GA_ROOT);
    for (const auto& [model, window] : windows_) {
        if (window->handle() == root) return IsDialogMessageA(root, &message) != FALSE;
    }
    return false;
}

}  // namespace vt2::win32
