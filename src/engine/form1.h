#pragma once
// The behaviour of the main window "Form1": the start-up in its two modes, the game-start timer,
// the tray icon's events and the tray menu. The window itself is a MainWindowView.

#include <cstdint>
#include <string>

namespace vt2 {

struct Engine;

class Form1 {
public:
    explicit Form1(Engine& engine) : engine_(engine) {}

    // An empty command line opens the configuration window; any other text is the game's name.
    void Form_Load(const std::string& commandLineArguments);
    // The one-shot game-start timer: starts the devices and the hook run, which never returns.
    void timGameStart_Timer();
    // The tray icon's callback: x carries the mouse message that happened on the icon.
    void Form_MouseMove(int x);
    void Form_Resize();
    void mnuPopDebug_Click();
    void mnuPopExit_Click();

    // For measurements: passes of the main loop and writes into the game so far.
    std::uint64_t passCount() const;
    std::uint64_t memoryWriteCount() const;

private:
    Engine& engine_;
};

inline constexpr unsigned kGameStartDelayMs = 500;

}  // namespace vt2
