#pragma once
// The main window: hidden while a game is hooked, shown as the debug window from the tray icon.
// Its events go to the portable Form1 behaviour.

#include <windows.h>

#include <array>
#include <functional>
#include <memory>
#include <string>

#include "platform/main_window_view.h"
#include "adapters/win32/unique_handle.h"

namespace vt2::win32 {

class Form1Window final : public MainWindowView {
public:
    explicit Form1Window(HINSTANCE instance);
    ~Form1Window() override;

    void attach(MainWindowEvents& behaviour) { behaviour_ = &behaviour; }
    // What showing the configuration window does (the configuration tool opens it).
    void onShowConfiguration(std::function<void()> open) { openConfiguration_ = std::move(open); }
    HWND handle() const { return window_.get(); }

    void setLabelText(MainWindowLabel label, const std::string& text) override;
    std::string labelText(MainWindowLabel label) override;
    void setMinimised() override;
    void setNormal() override;
    bool isMinimised() override;
    void show() override;
    void hide() override;
    void bringToForeground() override;
    void openPopupMenu() override;
    void addTrayIcon() override;
    void removeTrayIcon() override;
    void stripSystemMenu() override;
    void armStartTimer(unsigned milliseconds) override;
    void disarmStartTimer() override;
    void showConfigurationWindow() override;

private:
    struct Label {
        HWND control = nullptr;
        int designWidth = 0;   // pixels
        int designHeight = 0;  // pixels
        bool grows = false;
        std::string text;
    };

    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void createLabels();
    Label& label(MainWindowLabel which);
    // Keeps the notes below the other labels as they grow, and the window big enough for all.
    void layOutNotes();
    bool notifyTray(DWORD operation);

    HINSTANCE instance_;
    unique_window window_;
    unique_menu popupMenu_;
    HICON icon_ = nullptr;  // the program's own icon resource, shared, not destroyed
    std::array<Label, 5> labels_{};
    UINT taskbarCreatedMessage_ = 0;
    bool trayIconShown_ = false;
    MainWindowEvents* behaviour_ = nullptr;
    std::function<void()> openConfiguration_;
};

}  // namespace vt2::win32
