#include "ui/aim_finder_model.h"

#include <exception>
#include <utility>

#include "ui/layouts.h"

namespace vt2 {

AimFinderModel::AimFinderModel(Forms& forms, AimScan scan) : StoredFormModel(FindAimDesign()), forms_(forms), scan_(std::move(scan)) {}

AimFinderModel::~AimFinderModel() {
    stopAsked_ = true;
    waitForTheScan();
}

AimFinderOutcome AimFinderModel::run(const std::string& game) {
    waitForTheScan();
    resetControls();
    stopAsked_ = false;
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        percent_ = 0;
        step_ = "Looking for the window of " + game;
        ended_ = false;
        outcome_ = {};
        control("lblStep").text = step_;
    }
    worker_ = std::thread([this, game] {
        AimFinderOutcome outcome;
        try {
            outcome = scan_(game, [this](int percent, const std::string& step) {
                const std::lock_guard<std::mutex> lock(mutex_);
                percent_ = percent;
                step_ = step;
                return !stopAsked_;
            });
        } catch (const std::exception& e) {
            outcome = {1, std::string("The scan failed: ") + e.what() + "\r\n"};
        }
        const std::lock_guard<std::mutex> lock(mutex_);
        outcome_ = std::move(outcome);
        ended_ = true;
    });
    forms_.runModal(*this, kRefreshMs);  // until the scan has ended, or the user closed the window
    stopAsked_ = true;                   // a window closed early stops the scan at its next step
    waitForTheScan();
    const std::lock_guard<std::mutex> lock(mutex_);
    return outcome_;
}

void AimFinderModel::timerTicked() {
    bool ended = false;
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        control("barScan").progress = percent_;
        control("lblStep").text = stopAsked_ ? "Stopping..." : step_;
        ended = ended_;
    }
    if (ended) forms_.close(*this);
}

void AimFinderModel::clicked(const std::string& control) {
    if (control != "cmdStop") return;
    stopAsked_ = true;
    this->control("cmdStop").enabled = false;
    this->control("lblStep").text = "Stopping...";
}

void AimFinderModel::closed() { stopAsked_ = true; }

void AimFinderModel::waitForTheScan() {
    if (worker_.joinable()) worker_.join();
}

}  // namespace vt2
