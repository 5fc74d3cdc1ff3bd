// The paced loop's wait against the real system: what ends it, what it says about messages, and
// what it gives back at the end.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "adapters/win32/pass_trace.h"
#include "adapters/win32/unique_handle.h"
#include "adapters/win32/win32_loop_pacer.h"
#include "adapters/win32/win32_thread_services.h"

namespace vt2::test {
namespace {

bool MessageWaiting() {
    MSG message;
    return PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE) != FALSE;
}

void DrainMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    }
}

TEST(LoopPacer, AMessageEndsTheWaitAndSaysSoATickOrAnEventDoesNot) {
    DrainMessages();
    win32::Win32LoopPacer pacer;
    ASSERT_TRUE(pacer.begin(1));
    // Nothing waiting: the tick ends the wait, with no message to look for.
    EXPECT_FALSE(pacer.waitForNextPass({}));

    // A wait that ends on a message says so. The 1 ms tick may have come in the same instant and
    // then wins (the timer comes before the messages): the next wait ends on the message at once.
    const auto endsOnTheMessage = [&] {
        bool onMessage = false;
        for (int i = 0; i < 3 && !onMessage; ++i) onMessage = pacer.waitForNextPass({});
        return onMessage;
    };
    PostThreadMessageA(GetCurrentThreadId(), WM_USER + 7, 0, 0);
    EXPECT_TRUE(endsOnTheMessage());
    EXPECT_TRUE(MessageWaiting());  // the wait leaves it to the pass
    EXPECT_TRUE(endsOnTheMessage());  // still unread: a later wait ends on it as well
    DrainMessages();

    // An event that ends the wait stays signalled for the joystick step.
    const win32::unique_kernel_handle event(CreateEventA(nullptr, FALSE, TRUE, nullptr));
    const auto id = reinterpret_cast<std::uintptr_t>(event.get());
    bool sawEvent = false;
    for (int i = 0; i < 3 && !sawEvent; ++i) {
        EXPECT_FALSE(pacer.waitForNextPass({id}));
        sawEvent = WaitForSingleObject(event.get(), 0) == WAIT_OBJECT_0;  // takes the signal
    }
    EXPECT_TRUE(sawEvent);
    pacer.end();
}

TEST(LoopPacer, TheThreadsPriorityIsRaisedForTheRunAndGivenBack) {
    const HANDLE self = GetCurrentThread();
    ASSERT_TRUE(SetThreadPriority(self, THREAD_PRIORITY_BELOW_NORMAL));
    {
        win32::Win32LoopPacer pacer;
        ASSERT_TRUE(pacer.begin(1));
        EXPECT_EQ(GetThreadPriority(self), THREAD_PRIORITY_HIGHEST);
        pacer.end();
        EXPECT_EQ(GetThreadPriority(self), THREAD_PRIORITY_BELOW_NORMAL);
        ASSERT_TRUE(pacer.begin(1));
        pacer.begin(1);  // a second begin starts afresh: the priority of before still comes back
    }  // the end comes with the pacer's end of life
    EXPECT_EQ(GetThreadPriority(self), THREAD_PRIORITY_BELOW_NORMAL);
    SetThreadPriority(self, THREAD_PRIORITY_NORMAL);

    // After the end, a wait returns at once and says a message may be there.
    win32::Win32LoopPacer ended;
    EXPECT_TRUE(ended.waitForNextPass({}));
}

// The trace the latency benchmark lays each move against: nothing before the environment names a
// file, then every wait's beginning and end (with what ended it) and every message taken, in order
// on the counter, written out when asked.
TEST(PassTrace, RecordsTheWaitsAndTheMessageTakenInOrderOnceTheEnvironmentAsks) {
    DrainMessages();
    char folder[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, folder);
    const std::string file = std::string(folder) + "vt2-pass-trace-" + std::to_string(GetCurrentProcessId()) + ".txt";
    win32::pass_trace::Mark(win32::pass_trace::Point::MessageTaken, 1);  // not started: not kept
    ASSERT_TRUE(SetEnvironmentVariableA("VT2_PASS_TRACE", file.c_str()));
    win32::pass_trace::StartFromEnvironment();
    win32::Win32LoopPacer pacer;
    ASSERT_TRUE(pacer.begin(1));
    PostThreadMessageA(GetCurrentThreadId(), WM_USER + 7, 0, 0);
    while (!pacer.waitForNextPass({})) {
    }
    win32::Win32MessagePump().pumpNextMessage();
    pacer.end();
    win32::pass_trace::WriteOut();

    std::ifstream in(file);
    std::vector<std::string> points;
    long long at = 0, previous = 0;
    int point = 0;
    unsigned long detail = 0;
    std::string line;
    while (std::getline(in, line) && std::sscanf(line.c_str(), "%lld %d %lu", &at, &point, &detail) == 3) {
        EXPECT_GE(at, previous);
        previous = at;
        points.push_back(std::to_string(point) + ":" + std::to_string(detail));
    }
    in.close();
    DeleteFileA(file.c_str());
    // Waits that ended on the tick (1) may come first; the last wait ended on the message (0),
    // which the pass then looked for (2) and took (3, WM_USER + 7).
    ASSERT_GE(points.size(), 4u);
    EXPECT_EQ(std::vector<std::string>(points.end() - 4, points.end()),
              (std::vector<std::string>{"0:0", "1:0", "2:0", "3:" + std::to_string(WM_USER + 7)}));
    EXPECT_EQ(points.size() % 2, 0u);  // each tick's wait: a beginning and an end
}

}  // namespace
}  // namespace vt2::test
