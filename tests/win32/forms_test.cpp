// The forms host against real windows of this process: a window built from its design, the
// keyboard's ways through it, and every action reaching the model.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <atomic>
#include <thread>

#include "adapters/win32/win32_forms.h"
#include "support/ui_driver.h"
#include "support/win32_harness.h"
#include "ui/layouts.h"
#include "ui/stored_form_model.h"

namespace vt2::test {
namespace {

// Short, for the many rows below.
ControlDesign C(auto&&... row) { return MakeControl(std::forward<decltype(row)>(row)...); }

FormDesign TestDesign(bool dialog) {
    FormDesign d;
    d.name = dialog ? "TestDialog" : "TestForm";
    d.caption = dialog ? "Test Dialog" : "Test Form";
    d.clientWidth = 6000;
    d.clientHeight = 3000;
    d.escapeCloses = dialog;
    d.controls = {C("fraBox", ControlKind::Frame, "Box", 120, 120, 5760, 1500),
                  C("lblName", ControlKind::Label, "Name:", 240, 420, 900, 255, "fraBox"),
                  C("txtName", ControlKind::Edit, "start", 1200, 390, 1500, 315, "fraBox"),
                  C("chkOn", ControlKind::CheckBox, "&Enabled", 2880, 420, 1500, 255, "fraBox"),
                  C("optA", ControlKind::OptionButton, "A", 240, 900, 900, 255, "fraBox"),
                  C("optB", ControlKind::OptionButton, "B", 1200, 900, 900, 255, "fraBox"),
                  C("cmbList", ControlKind::DropDownList, "", 2880, 870, 1500, 315, "fraBox"),
                  C("cmdGo", ControlKind::Button, "&Go", 240, 2040, 1500, 375),
                  C("cmdStop", ControlKind::Button, "Stop", 1920, 2040, 1500, 375)};
    d.controls.back().cancelButton = !dialog;  // the form's Esc presses Stop; the dialog's closes it
    d.controls[7].defaultButton = true;
    return d;
}

class TestModel final : public StoredFormModel {
public:
    explicit TestModel(bool dialog) : StoredFormModel(TestDesign(dialog)) {
        control("cmbList").items = {"one", "two", "three"};
        control("cmbList").selected = 0;
    }
    void clicked(const std::string& name) override { events.push_back("clicked " + name); }
    void closed() override { events.push_back("closed"); }
    void timerTicked() override { events.push_back("tick"); }
    ControlState& set(const std::string& name) { return control(name); }
    std::vector<std::string> events;

protected:
    void onChanged(const std::string& name, const ControlState&) override {
        const ControlState& now = state(name);
        events.push_back("changed " + name + " " + now.text + " " + std::to_string(now.checked) + " " + std::to_string(now.selected));
    }
};

class Forms : public ::testing::Test {
protected:
    // Lets the windows handle their messages, the keyboard's through the host as the program's loop does.
    void pump() {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (forms.preTranslate(message)) continue;
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
    bool pumpUntil(const std::function<bool()>& condition) {
        return WaitUntil([&] {
            pump();
            return condition();
        });
    }
    // A key as the loop gets it: to the control that has the keyboard.
    void key(UINT virtualKey, bool alt = false) {
        HWND focus = GetFocus();
        MSG down{focus, static_cast<UINT>(alt ? WM_SYSKEYDOWN : WM_KEYDOWN), virtualKey, 0, 0, {}};
        if (!forms.preTranslate(down)) {
            TranslateMessage(&down);
            DispatchMessageA(&down);
        }
        pump();
    }
    void mnemonic(char letter) {
        MSG sysChar{GetFocus(), WM_SYSCHAR, static_cast<WPARAM>(letter), static_cast<LPARAM>(1 << 29), 0, {}};
        if (!forms.preTranslate(sysChar)) DispatchMessageA(&sysChar);
        pump();
    }
    HWND window(const char* caption) const { return FindWindowA(nullptr, caption); }

    win32::Win32Forms forms{GetModuleHandleA(nullptr)};
};

TEST_F(Forms, AWindowIsBuiltFromItsDesignInStandardControlsAtItsDpi) {
    TestModel model(false);
    forms.show(model);
    const HWND form = window("Test Form");
    ASSERT_NE(form, nullptr);
    char name[64] = {};
    GetClassNameA(form, name, sizeof name);
    EXPECT_STREQ(name, "VT2TestForm");
    const UINT dpi = [] {
        HDC screen = GetDC(nullptr);
        const int value = GetDeviceCaps(screen, LOGPIXELSY);
        ReleaseDC(nullptr, screen);
        return static_cast<UINT>(value);
    }();
    RECT client{};
    GetClientRect(form, &client);
    EXPECT_EQ(client.right, MulDiv(6000, static_cast<int>(dpi), 1440));
    EXPECT_EQ(client.bottom, MulDiv(3000, static_cast<int>(dpi), 1440));
    const UiWindow ui(form);
    const std::pair<const char*, const char*> kinds[] = {
        {"Box", "Button"}, {"Name:", "Static"}, {"&Enabled", "Button"}, {"&Go", "Button"}, {"A", "Button"}};
    for (const auto& [caption, windowClass] : kinds) {
        const HWND c = ui.control(caption);
        ASSERT_NE(c, nullptr) << caption;
        GetClassNameA(c, name, sizeof name);
        EXPECT_EQ(lstrcmpiA(name, windowClass), 0) << caption << " is " << name;
    }
    EXPECT_EQ(UiWindow::text(ui.field("Name:")), "start");
    RECT go{};
    GetWindowRect(ui.control("&Go"), &go);
    MapWindowPoints(HWND_DESKTOP, form, reinterpret_cast<POINT*>(&go), 2);
    EXPECT_EQ(go.left, MulDiv(240, static_cast<int>(dpi), 1440));
    EXPECT_EQ(go.top, MulDiv(2040, static_cast<int>(dpi), 1440));
    forms.close(model);
    EXPECT_EQ(window("Test Form"), nullptr);
}

TEST_F(Forms, TabGoesThroughTheControlsInReadingOrderEnterAndEscPressTheirButtons) {
    TestModel model(false);
    model.set("chkOn").enabled = false;  // skipped by Tab
    forms.show(model);
    forms.focus(model, "txtName");
    pump();
    const HWND form = window("Test Form");
    ASSERT_TRUE(pumpUntil([&] { return GetFocus() == UiWindow(form).field("Name:"); }));
    std::vector<std::string> order;
    for (int i = 0; i < 4; ++i) {
        key(VK_TAB);
        order.push_back(UiWindow::text(GetFocus()));
    }
    EXPECT_EQ(order, (std::vector<std::string>{"A", "one", "&Go", "Stop"}));
    forms.focus(model, "txtName");
    pump();
    key(VK_RETURN);
    EXPECT_TRUE(pumpUntil([&] { return !model.events.empty() && model.events.back() == "clicked cmdGo"; }));
    key(VK_ESCAPE);
    EXPECT_TRUE(pumpUntil([&] { return model.events.back() == "clicked cmdStop"; }));
    mnemonic('g');
    EXPECT_TRUE(pumpUntil([&] { return model.events.back() == "clicked cmdGo"; }));
}

TEST_F(Forms, EscClosesADialogAndTheModelHearsOfIt) {
    TestModel model(true);
    forms.show(model);
    forms.focus(model);
    pump();
    key(VK_ESCAPE);
    EXPECT_TRUE(pumpUntil([&] { return !forms.isOpen(model); }));
    EXPECT_EQ(model.events, (std::vector<std::string>{"closed"}));
    EXPECT_EQ(window("Test Dialog"), nullptr);
}

TEST_F(Forms, WhatTheUserDoesReachesTheModelAndWhatTheModelSaysShows) {
    TestModel model(false);
    forms.show(model);
    const UiWindow ui(window("Test Form"));
    ui.click(ui.control("&Enabled"));
    ASSERT_TRUE(pumpUntil([&] { return model.events.size() >= 2; }));
    EXPECT_EQ(model.events[0], "changed chkOn &Enabled 1 -1");
    EXPECT_EQ(model.events[1], "clicked chkOn");
    model.events.clear();
    ui.type(ui.field("Name:"), "typed");
    ASSERT_TRUE(pumpUntil([&] { return !model.events.empty(); }));
    EXPECT_EQ(model.events.back(), "changed txtName typed 0 -1");
    const HWND list = GetDlgItem(ui.handle(), 1006);  // the seventh control of the design
    ui.choose(list, "three");
    ASSERT_TRUE(pumpUntil([&] { return model.events.back().rfind("changed cmbList", 0) == 0; }));
    EXPECT_EQ(model.events.back(), "changed cmbList three 0 2");
    ui.click(ui.control("B"));
    ASSERT_TRUE(pumpUntil([&] { return model.events.back() == "clicked optB"; }));

    // The model's side: text, checks, lists, enabled and shown.
    model.set("txtName").text = "from the model";
    model.set("chkOn").checked = false;
    model.set("cmbList").items = {"x", "y"};
    model.set("cmbList").selected = 1;
    model.set("cmdStop").enabled = false;
    model.set("cmdGo").visible = false;
    forms.refresh(model);
    pump();
    EXPECT_EQ(UiWindow::text(ui.field("Name:")), "from the model");
    EXPECT_FALSE(UiWindow::checked(ui.control("&Enabled")));
    EXPECT_EQ(UiWindow::entries(list), (std::vector<std::string>{"x", "y"}));
    EXPECT_EQ(UiWindow::chosen(list), "y");
    EXPECT_FALSE(IsWindowEnabled(ui.control("Stop")));
    EXPECT_EQ(ui.control("&Go"), nullptr);  // hidden
    forms.close(model);
}

TEST_F(Forms, AModalWindowHoldsTheOthersUntilItClosesAndATimerTicks) {
    TestModel owner(false);
    TestModel dialog(true);
    forms.show(owner);
    forms.startTimer(dialog, 20);  // no window yet: nothing to tick
    bool ownerWasDisabled = false;
    const HWND ownerWindow = window("Test Form");
    // The dialog runs modally; another thread closes it once it has seen the owner disabled.
    std::thread closer([&] {
        WaitUntil([&] { return FindWindowA(nullptr, "Test Dialog") != nullptr; });
        ownerWasDisabled = IsWindowEnabled(ownerWindow) == FALSE;
        PostMessageA(FindWindowA(nullptr, "Test Dialog"), WM_CLOSE, 0, 0);
    });
    forms.runModal(dialog, 0);
    closer.join();
    EXPECT_TRUE(ownerWasDisabled);
    EXPECT_TRUE(IsWindowEnabled(ownerWindow));
    EXPECT_FALSE(forms.isOpen(dialog));
    EXPECT_EQ(dialog.events, (std::vector<std::string>{"closed"}));
    forms.startTimer(owner, 20);
    EXPECT_TRUE(pumpUntil([&] { return !owner.events.empty() && owner.events.back() == "tick"; }));
    forms.stopTimer(owner);
    forms.close(owner);
}

// A modal window whose timer runs from its start, filling its bar a fifth at each tick: the bar
// shows what the model said at the tick before.
class ProgressModel final : public StoredFormModel {
public:
    explicit ProgressModel(win32::Win32Forms& forms) : StoredFormModel(Design()), forms_(forms) {}
    static FormDesign Design() {
        FormDesign d;
        d.name = "TestProgress";
        d.caption = "Test Progress";
        d.clientWidth = 3000;
        d.clientHeight = 900;
        d.controls = {C("barWork", ControlKind::ProgressBar, "", 120, 120, 2760, 300)};
        return d;
    }
    void timerTicked() override {
        const HWND bar = FindWindowExA(FindWindowA("VT2TestProgress", nullptr), nullptr, PROGRESS_CLASSA, nullptr);
        shown.push_back(bar ? static_cast<int>(SendMessageA(bar, PBM_GETPOS, 0, 0)) : -1);
        if (control("barWork").progress == 60) {
            forms_.close(*this);
            return;
        }
        control("barWork").progress += 20;
    }
    std::vector<int> shown;

private:
    win32::Win32Forms& forms_;
};

TEST_F(Forms, AModalWindowsOwnTimerRunsFromItsStartAndItsBarShowsTheModelsProgress) {
    ProgressModel model(forms);
    // Should the timer never tick, the window is closed from outside after a while.
    std::atomic<bool> done{false};
    std::thread guard([&] {
        WaitUntil([&] { return done.load(); }, 10000);
        if (!done) PostMessageA(FindWindowA("VT2TestProgress", nullptr), WM_CLOSE, 0, 0);
    });
    forms.runModal(model, 20);
    done = true;
    guard.join();
    EXPECT_EQ(model.shown, (std::vector<int>{0, 20, 40, 60}));
    EXPECT_FALSE(forms.isOpen(model));
}

// A model that shows a design as it is, every control visible.
class PlainModel final : public StoredFormModel {
public:
    explicit PlainModel(const FormDesign& design) : StoredFormModel(design) {}
};

RECT RectIn(HWND control, HWND form) {
    RECT r{};
    GetWindowRect(control, &r);
    MapWindowPoints(HWND_DESKTOP, form, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

TEST_F(Forms, EveryCaptionOfEveryWindowFitsItsControlAndNoControlCoversAnother) {
    for (const FormDesign* design : {&ConfigWindowDesign(), &KeyDetectorDesign(), &DeviceDetectorDesign(1),
                                     &TwinStickDesign(), &Model2SetupDesign(), &InputBoxDesign(), &FindAimDesign()}) {
        PlainModel model(*design);
        forms.show(model);
        const HWND form = FindWindowA(("VT2" + design->name).c_str(), nullptr);
        ASSERT_NE(form, nullptr) << design->name;
        RECT client{};
        GetClientRect(form, &client);
        std::vector<std::pair<const ControlDesign*, HWND>> controls;
        for (HWND c = GetWindow(form, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
            const ControlDesign& d = design->controls[static_cast<std::size_t>(GetDlgCtrlID(c) - 1000)];
            controls.emplace_back(&d, c);
            const bool oneLine = d.kind == ControlKind::Button || d.kind == ControlKind::CheckBox ||
                                 d.kind == ControlKind::OptionButton || (d.kind == ControlKind::Label && d.height <= 300);
            if (!oneLine || d.caption.empty()) continue;
            std::string text = d.caption;
            if (d.kind != ControlKind::Label) text.erase(std::remove(text.begin(), text.end(), '&'), text.end());
            HDC dc = GetDC(c);
            const HGDIOBJ before = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(c, WM_GETFONT, 0, 0)));
            SIZE size{};
            GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
            SelectObject(dc, before);
            ReleaseDC(c, dc);
            // The room the text needs besides itself: a check box's box, a button's edges.
            const int extra = d.kind == ControlKind::Button ? 8
                              : d.kind == ControlKind::Label ? 0
                                                             : GetSystemMetrics(SM_CXMENUCHECK) + 2;
            const RECT r = RectIn(c, form);
            EXPECT_LE(size.cx + extra, r.right - r.left) << design->name << ": \"" << d.caption << "\" is cut";
            if (d.top < design->clientHeight) {
                EXPECT_LE(r.right, client.right) << design->name << ": " << d.name;
            }
        }
        // Controls of one frame (or of the window) never cover each other; frames lie under theirs.
        for (std::size_t i = 0; i < controls.size(); ++i) {
            for (std::size_t j = i + 1; j < controls.size(); ++j) {
                const ControlDesign& a = *controls[i].first;
                const ControlDesign& b = *controls[j].first;
                if (a.kind == ControlKind::Frame || b.kind == ControlKind::Frame || a.frame != b.frame) continue;
                RECT overlap{};
                RECT ra = RectIn(controls[i].second, form);
                RECT rb = RectIn(controls[j].second, form);
                // A list's window reaches down over its entries: only its closed box counts.
                HDC screen = GetDC(nullptr);
                const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
                ReleaseDC(nullptr, screen);
                if (a.kind == ControlKind::DropDownList || a.kind == ControlKind::EditableList) ra.bottom = ra.top + MulDiv(a.height, dpi, 1440);
                if (b.kind == ControlKind::DropDownList || b.kind == ControlKind::EditableList) rb.bottom = rb.top + MulDiv(b.height, dpi, 1440);
                EXPECT_FALSE(IntersectRect(&overlap, &ra, &rb)) << design->name << ": " << a.name << " covers " << b.name;
            }
        }
        forms.close(model);
    }
}

}  // namespace
}  // namespace vt2::test
