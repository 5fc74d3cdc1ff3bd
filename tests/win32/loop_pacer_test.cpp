// The paced loop's wait against the real system: what ends it, what it says about messages, and
// what it gives back at the end.
#include <gtest/gtest.h>

#include <windows.h>

#include "adapters/win32/unique_handle.h"
#include "adapters/win32/win32_loop_pacer.h"

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

}  // namespace
}  // namespace vt2::test
