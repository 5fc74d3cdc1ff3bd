#pragma once
// The controls of the main window ("Form1"): what the engine changes on it.

#include <cstdint>
#include <string>

namespace vt2 {

// Status, the players' and the outputs' state, and notes on what the run could not do as asked.
enum class MainWindowLabel { Status, Player1, Player2, Outputs, Notes };

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

// What the main window's events ask of the program; the window forwards each event here.
class MainWindowEvents {
public:
    virtual ~MainWindowEvents() = default;
    virtual void timGameStart_Timer() = 0;
    // The tray icon's callback: x carries the mouse message that happened on the icon.
    virtual void Form_MouseMove(int x) = 0;
    virtual void Form_Resize() = 0;
    virtual void mnuPopDebug_Click() = 0;
    virtual void mnuPopExit_Click() = 0;
    // For measurements: passes of the main loop and writes into the game so far.
    virtual std::uint64_t passCount() const = 0;
    virtual std::uint64_t memoryWriteCount() const = 0;
};

}  // namespace vt2
