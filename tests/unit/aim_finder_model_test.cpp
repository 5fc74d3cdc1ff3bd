// The aim finder's window: the scan on its own thread, its progress shown, Stop and the close box
// stopping it, and the configuration window's "Find Addresses..." around it.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <thread>

#include "support/fake_forms.h"
#include "support/fake_platform.h"
#include "ui/config_tool.h"

namespace vt2::test {
namespace {

using namespace std::chrono_literals;

// Ticks the window's timer, as the host does, until the condition holds (at most 10 s).
bool TickUntil(FormModel& model, const std::function<bool()>& condition) {
    for (int i = 0; i < 1000; ++i) {
        model.timerTicked();
        if (condition()) return true;
        std::this_thread::sleep_for(10ms);
    }
    return false;
}

TEST(AimFinderWindow, ShowsTheScansStepAndBarWhileItRunsAndClosesWithWhatItFound) {
    EventLog log;
    FakeForms forms(log);
    std::atomic<bool> release{false};
    AimFinderModel model(forms, [&](const std::string& game, const AimFinderProgress& progress) {
        progress(30, "cursor at place 2 of 7 in " + game);
        while (!release) std::this_thread::sleep_for(1ms);
        return AimFinderOutcome{0, "P1X: found\r\n"};
    });
    bool sawProgress = false, closedEarly = true;
    forms.onModal = [&](FormModel& shown) {
        sawProgress = TickUntil(shown, [&] {
            return shown.state("lblStep").text == "cursor at place 2 of 7 in hotd" && shown.state("barScan").progress == 30;
        });
        closedEarly = !forms.isOpen(shown);
        release = true;
        TickUntil(shown, [&] { return !forms.isOpen(shown); });
    };
    const AimFinderOutcome found = model.run("hotd");
    EXPECT_TRUE(sawProgress);
    EXPECT_FALSE(closedEarly);
    EXPECT_EQ(found.exitCode, 0);
    EXPECT_EQ(found.report, "P1X: found\r\n");
    EXPECT_EQ(log, (EventLog{"modal frmFindAim timer 100", "close frmFindAim"}));
}

// Stop, and the window closed by the user, ask the scan to stop at its next step; run() returns
// only when it has.
TEST(AimFinderWindow, StopAndTheCloseBoxStopTheScanAtItsNextStep) {
    for (const bool closeBox : {false, true}) {
        EventLog log;
        FakeForms forms(log);
        std::atomic<bool> toldToStop{false};
        AimFinderModel model(forms, [&](const std::string&, const AimFinderProgress& progress) {
            for (int step = 0; step < 10000; ++step) {
                if (!progress(step % 100, "step")) {
                    toldToStop = true;
                    return AimFinderOutcome{1, "Stopped\r\n"};
                }
                std::this_thread::sleep_for(1ms);
            }
            return AimFinderOutcome{0, "ran to its end\r\n"};
        });
        std::string shownAfterStop;
        forms.onModal = [&](FormModel& shown) {
            if (closeBox) {
                shown.closed();  // the host takes the window down: no more ticks
                return;
            }
            Click(shown, "cmdStop");
            shown.timerTicked();
            shownAfterStop = shown.state("lblStep").text;
            EXPECT_FALSE(shown.state("cmdStop").enabled);
            TickUntil(shown, [&] { return !forms.isOpen(shown); });
        };
        const AimFinderOutcome found = model.run("hotd");
        EXPECT_TRUE(toldToStop) << closeBox;
        EXPECT_EQ(found.report, "Stopped\r\n") << closeBox;
        if (!closeBox) {
            EXPECT_EQ(shownAfterStop, "Stopping...");
        }
    }
}

TEST(AimFinderWindow, AScanThatFailsEndsWithItsReasonAndASecondRunStartsAfresh) {
    EventLog log;
    FakeForms forms(log);
    int runs = 0;
    AimFinderModel model(forms, [&](const std::string&, const AimFinderProgress& progress) -> AimFinderOutcome {
        if (++runs == 1) throw std::runtime_error("no memory here");
        progress(50, "half");
        return {0, "done\r\n"};
    });
    forms.onModal = [&](FormModel& shown) { TickUntil(shown, [&] { return !forms.isOpen(shown); }); };
    const AimFinderOutcome failed = model.run("hotd");
    EXPECT_EQ(failed.exitCode, 1);
    EXPECT_EQ(failed.report, "The scan failed: no memory here\r\n");
    const AimFinderOutcome second = model.run("hotd");
    EXPECT_EQ(second.report, "done\r\n");
    EXPECT_TRUE(model.state("cmdStop").enabled);
}

// The configuration window: the button is there only with a scan, asks before the mouse is taken,
// and scans the game shown.
TEST(AimFinderWindow, FindAddressesAsksFirstThenScansTheGameShownAndShowsItsReport) {
    FakeSystem sys;
    sys.folder.writeFile("memcfg\\demo.ini", "[Info]\r\nName=Demo\r\nWinClass=D\r\n");
    FakeForms forms(sys.log);
    FakeInputBoxes inputs(sys.log);
    std::vector<std::string> scanned;
    ConfigServices withScan{sys.ini, sys.files, sys.messageBoxes, inputs, sys.launcher, forms, sys.folder.path()};
    withScan.findAim = [&](const std::string& game, const AimFinderProgress&) {
        scanned.push_back(game);
        return AimFinderOutcome{1, "P1X: nothing follows the cursor\r\n"};
    };
    ConfigServices withoutScan = withScan;
    withoutScan.findAim = nullptr;

    ConfigTool without(withoutScan, sys.keyboard);
    without.open();
    without.config().timerTicked();
    EXPECT_FALSE(without.config().state("cmdFindAim").enabled);

    ConfigTool tool(withScan, sys.keyboard);
    tool.open();
    tool.config().timerTicked();
    ASSERT_TRUE(tool.config().state("cmdFindAim").enabled);
    forms.onModal = [&](FormModel& shown) { TickUntil(shown, [&] { return !forms.isOpen(shown); }); };
    sys.messageBoxes.answers = {MessageAnswer::No};
    Click(tool.config(), "cmdFindAim");
    EXPECT_TRUE(scanned.empty());
    sys.messageBoxes.answers = {MessageAnswer::Yes};
    Click(tool.config(), "cmdFindAim");
    EXPECT_EQ(scanned, (std::vector<std::string>{"demo"}));
    EXPECT_NE(sys.indexOf("box Find Addresses|P1X: nothing follows the cursor\r\n|exclamation"), -1);
    EXPECT_GT(sys.indexOf("box Find Addresses|P1X: nothing follows the cursor\r\n|exclamation"),
              sys.indexOf("modal frmFindAim timer 100"));
}

}  // namespace
}  // namespace vt2::test
