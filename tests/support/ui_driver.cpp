#include "support/ui_driver.h"

#include <algorithm>
#include <climits>

#include "support/win32_harness.h"

namespace vt2::test {

namespace {

std::string WithoutAmpersands(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c != '&') out.push_back(c);
    }
    return out;
}

struct TopSearch {
    DWORD processId;
    std::string caption;
    std::string windowClass;  // empty: any
    HWND found = nullptr;
};

BOOL CALLBACK MatchTop(HWND window, LPARAM parameter) {
    auto& search = *reinterpret_cast<TopSearch*>(parameter);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search.processId || !IsWindowVisible(window)) return TRUE;
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    if (!search.windowClass.empty() && search.windowClass != name) return TRUE;
    if (UiWindow::text(window) != search.caption) return TRUE;
    search.found = window;
    return FALSE;
}

HWND FindTop(DWORD processId, const std::string& caption, const std::string& windowClass) {
    TopSearch search{processId, caption, windowClass};
    EnumWindows(&MatchTop, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

BOOL CALLBACK Collect(HWND control, LPARAM parameter) {
    reinterpret_cast<std::vector<HWND>*>(parameter)->push_back(control);
    return TRUE;
}

RECT RectOf(HWND control) {
    RECT r{};
    GetWindowRect(control, &r);
    return r;
}

bool SameRow(const RECT& a, const RECT& b) { return a.top < b.bottom && b.top < a.bottom; }

bool IsFrame(HWND control) {
    char name[32] = {};
    GetClassNameA(control, name, sizeof name);
    return lstrcmpiA(name, "Button") == 0 && (GetWindowLongA(control, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX;
}

}  // namespace

UiWindow UiWindow::WaitFor(DWORD processId, const std::string& caption, int timeoutMs) {
    HWND found = nullptr;
    WaitUntil([&] { return (found = FindTop(processId, caption, "")) != nullptr; }, timeoutMs);
    return UiWindow(found);
}

std::vector<HWND> UiWindow::controls() const {
    std::vector<HWND> all;
    EnumChildWindows(window_, &Collect, reinterpret_cast<LPARAM>(&all));
    return all;
}

HWND UiWindow::control(const std::string& caption) const {
    for (HWND c : controls()) {
        if (IsWindowVisible(c) && WithoutAmpersands(text(c)) == WithoutAmpersands(caption)) return c;
    }
    return nullptr;
}

HWND UiWindow::field(const std::string& labelCaption) const {
    const HWND label = control(labelCaption);
    if (!label) return nullptr;
    const RECT l = RectOf(label);
    HWND nearest = nullptr;
    LONG distance = LONG_MAX;
    for (HWND c : controls()) {
        if (c == label || !IsWindowVisible(c) || IsFrame(c) || GetParent(c) != window_) continue;
        const RECT r = RectOf(c);
        if (!SameRow(l, r) || r.left < l.right - 2) continue;
        if (r.left - l.right < distance) {
            distance = r.left - l.right;
            nearest = c;
        }
    }
    return nearest;
}

HWND UiWindow::fieldLeftOf(const std::string& caption) const {
    const HWND anchor = control(caption);
    if (!anchor) return nullptr;
    const RECT a = RectOf(anchor);
    HWND nearest = nullptr;
    LONG distance = LONG_MAX;
    for (HWND c : controls()) {
        if (c == anchor || !IsWindowVisible(c) || IsFrame(c) || GetParent(c) != window_) continue;
        const RECT r = RectOf(c);
        if (!SameRow(a, r) || r.right > a.left + 2) continue;
        if (a.left - r.right < distance) {
            distance = a.left - r.right;
            nearest = c;
        }
    }
    return nearest;
}

void UiWindow::click(HWND control) const { PostMessageA(control, BM_CLICK, 0, 0); }

void UiWindow::clickInto(HWND field) const {
    PostMessageA(field, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
    PostMessageA(field, WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
}

void UiWindow::type(HWND field, const std::string& text) const {
    SendMessageA(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));  // the field tells its window
}

void UiWindow::choose(HWND list, const std::string& entry) const {
    const std::vector<std::string> all = entries(list);
    const auto it = std::find(all.begin(), all.end(), entry);
    if (it == all.end()) return;
    SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(it - all.begin()), 0);
    // A choice of the user's tells the window; a choice made by message does not by itself.
    PostMessageA(GetParent(list), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(list), CBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
}

std::string UiWindow::text(HWND control) {
    char buffer[1024] = {};
    const LRESULT length = SendMessageA(control, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer));
    return std::string(buffer, static_cast<std::size_t>(std::max<LRESULT>(length, 0)));
}

bool UiWindow::checked(HWND control) { return SendMessageA(control, BM_GETCHECK, 0, 0) == BST_CHECKED; }

std::vector<std::string> UiWindow::entries(HWND list) {
    // The wide forms, converted here: the narrow ones are not converted across processes.
    std::vector<std::string> all;
    const LRESULT count = SendMessageW(list, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        const LRESULT length = SendMessageW(list, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0);
        std::wstring wide(static_cast<std::size_t>(std::max<LRESULT>(length, 0)) + 1, L'\0');
        SendMessageW(list, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(wide.data()));
        wide.resize(static_cast<std::size_t>(std::max<LRESULT>(length, 0)));
        std::string narrow(wide.size() * 2 + 1, '\0');
        const int n = WideCharToMultiByte(CP_ACP, 0, wide.c_str(), static_cast<int>(wide.size()), narrow.data(),
                                          static_cast<int>(narrow.size()), nullptr, nullptr);
        narrow.resize(static_cast<std::size_t>(std::max(n, 0)));
        all.push_back(narrow);
    }
    return all;
}

std::string UiWindow::chosen(HWND list) {
    const LRESULT selected = SendMessageW(list, CB_GETCURSEL, 0, 0);
    const std::vector<std::string> all = entries(list);
    if (selected < 0 || static_cast<std::size_t>(selected) >= all.size()) return text(list);
    return all[static_cast<std::size_t>(selected)];
}

HWND WaitForMessageBox(DWORD processId, const std::string& title, int timeoutMs) {
    HWND found = nullptr;
    WaitUntil([&] { return (found = FindTop(processId, title, "#32770")) != nullptr; }, timeoutMs);
    return found;
}

std::string MessageBoxText(HWND box) {
    std::string all;
    for (HWND c : UiWindow(box).controls()) {
        char name[32] = {};
        GetClassNameA(c, name, sizeof name);
        if (lstrcmpiA(name, "Static") == 0) all += UiWindow::text(c);
    }
    return all;
}

void PressButton(HWND box, const std::string& caption) {
    if (const HWND button = UiWindow(box).control(caption)) PostMessageA(button, BM_CLICK, 0, 0);
}

std::string AnswerMessageBox(DWORD processId, const std::string& title, const std::string& button) {
    const HWND box = WaitForMessageBox(processId, title);
    if (!box) return "(no box titled " + title + ")";
    const std::string text = MessageBoxText(box);
    PressButton(box, button);
    WaitUntil([&] { return !IsWindow(box); });
    return text;
}

bool NoWindowTitled(DWORD processId, const std::string& title) { return FindTop(processId, title, "") == nullptr; }

UiWindow ConfigurationPage2(DWORD processId, const std::string& player1Device) {
    UiWindow config = UiWindow::WaitFor(processId, "Vantor 2 Configuration");
    if (!config || !WaitUntil([&] { return config.control("Settings Page 2   >>") != nullptr; })) return UiWindow();
    config.click(config.control("Settings Page 2   >>"));
    const bool shown = WaitUntil([&] {
        const HWND device = config.field("Device #:");
        return device && UiWindow::chosen(device) == player1Device;
    });
    return shown ? config : UiWindow();
}

}  // namespace vt2::test
