#include "engine/tray_icon.h"

#include "platform/main_window_view.h"

namespace vt2 {

namespace {
constexpr int kLeftButtonUp = 0x0202;
constexpr int kLeftButtonDoubleClick = 0x0203;
constexpr int kRightButtonUp = 0x0205;
}  // namespace

void CreateIcon(MainWindowView& window) {
    window.addTrayIcon();
    window.setMinimised();
}

void killIcon(MainWindowView& window) {
    window.removeTrayIcon();
    window.setMinimised();
}

TrayAction TrayActionForMouseMessage(int mouseMessage) {
    switch (mouseMessage) {
        case kLeftButtonUp: return TrayAction::BringToForeground;
        case kLeftButtonDoubleClick: return TrayAction::ShowWindow;
        case kRightButtonUp: return TrayAction::OpenMenu;
        default: return TrayAction::None;
    }
}

}  // namespace vt2
