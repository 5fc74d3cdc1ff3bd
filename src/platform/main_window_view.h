#pragma once
// The controls of the main window ("Form1"): what the engine changes on it.

#include <string>

namespace vt2 {

enum class MainWindowLabel { Status, Player1, Player2, Outputs };

class MainWindowView {
public:
    virtual ~MainWindowView() = default;
    virtual void setLabelText(MainWindowLabel label, const std::string& text) = 0;
    virtual std::string labelText(MainWindowLabel label) = 0;

    virtual void setMinimised() = 0;  // the window state; a minimised main window is hidden
    virtual void setNormal() = 0;
    virtual bool isMinimised() = 0;
    virtual void show() = 0;
    virtual void hide() = 0;
    virtual void bringToForeground() = 0;
    virtual void openPopupMenu() = 0;  // the tray menu, at the mouse position

    virtual void addTrayIcon() = 0;
    virtual void removeTrayIcon() = 0;
    virtual void stripSystemMenu() = 0;  // removes the last two items (Close and its separator)

    virtual void armStartTimer(unsigned milliseconds) = 0;
    virtual void disarmStartTimer() = 0;
    virtual void showConfigurationWindow() = 0;
};

}  // namespace vt2
