#pragma once
// The aim finder's window, frmFindAim: the scan of a game runs on a thread of its own while the
// window shows its step and a bar of how far it is. "Stop" (Esc, or the window's close box) asks
// the scan to stop at its next step; the window closes when the scan has ended.

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

#include "engine/aim_finder_run.h"
#include "ui/stored_form_model.h"

namespace vt2 {

// The scan of a game's memory for its aim (FindAimAddresses with the system's services).
using AimScan = std::function<AimFinderOutcome(const std::string& game, const AimFinderProgress& progress)>;

class AimFinderModel final : public StoredFormModel {
public:
    AimFinderModel(Forms& forms, AimScan scan);
    ~AimFinderModel() override;
    AimFinderModel(const AimFinderModel&) = delete;
    AimFinderModel& operator=(const AimFinderModel&) = delete;

    // Scans the game with the window shown, and returns when the scan has ended: what it found,
    // or why not. The other windows wait meanwhile.
    AimFinderOutcome run(const std::string& game);

    void timerTicked() override;
    void clicked(const std::string& control) override;
    void closed() override;

    static constexpr unsigned kRefreshMs = 100;

private:
    void waitForTheScan();

    Forms& forms_;
    AimScan scan_;
    std::thread worker_;
    std::atomic<bool> stopAsked_{false};
    // What the scan's thread tells the window's.
    std::mutex mutex_;
    int percent_ = 0;
    std::string step_;
    bool ended_ = false;
    AimFinderOutcome outcome_;
};

}  // namespace vt2
