#pragma once
// The behaviour of the main window "Form1": the start-up in its two modes, the game-start timer,
// the tray icon's events and the tray menu. The window itself is a MainWindowView.

#include <cstdint>
#include <string>

#include "platform/main_window_view.h"

namespace vt2 {

struct Engine;

class Form1 final : public MainWindowEvents {
public:
    explicit Form1(Engine& engine) : engine_(engine) {}

    // An empty command line opens the configuration window; any other text is the game's name
    // (one pair of quotes around it taken off).
    void Form_Load(const std::string& commandLineArguments);
    // The one-shot game-start timer: starts the devices and the hook run, which never returns.
    void timGameStart_Timer() override;
    void Form_MouseMove(int x) override;
    void Form_Resize() override;
    void mnuPopDebug_Click() override;
    void mnuPopExit_Click() override;

    std::uint64_t passCount() const override;
    std::uint64_t memoryWriteCount() const override;

private:
    Engine& engine_;
};

inline constexpr unsigned kGameStartDelayMs = 500;

}  // namespace vt2
