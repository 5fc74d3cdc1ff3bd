#include "adapters/win32/win32_loop_pacer.h"

#include <windows.h>
#include <mmsystem.h>

#include "adapters/win32/pass_trace.h"

#ifndef CREATE_WAITABLE_TIMER_HIGH_RESOLUTION
#define CREATE_WAITABLE_TIMER_HIGH_RESOLUTION 0x00000002
#endif

namespace vt2::win32 {

bool Win32LoopPacer::begin(unsigned tickMs) {
    end();
    tickMs_ = tickMs;
    // Windows 10 (1803) and later: a timer that keeps its tick without raising the period of the
    // whole system.
    timer_.reset(CreateWaitableTimerExW(nullptr, nullptr, CREATE_WAITABLE_TIMER_HIGH_RESOLUTION, TIMER_ALL_ACCESS));
    if (!timer_) {
        periodRaised_ = timeBeginPeriod(tickMs) == TIMERR_NOERROR;
        timer_.reset(CreateWaitableTimerExW(nullptr, nullptr, 0, TIMER_ALL_ACCESS));
    }
    LARGE_INTEGER due;
    due.QuadPart = -static_cast<LONGLONG>(tickMs) * 10000;  // relative, in 100 ns
    if (!timer_ || !SetWaitableTimer(timer_.get(), &due, static_cast<LONG>(tickMs), nullptr, nullptr, FALSE)) {
        end();
        return false;
    }
    // The thread sleeps nearly all the time; when a move wakes it, it should run before the
    // programs that keep the cores busy (the game among them), so that the aim is written at once.
    thread_ = GetCurrentThread();
    previousPriority_ = GetThreadPriority(thread_);
    priorityRaised_ = previousPriority_ != THREAD_PRIORITY_ERROR_RETURN &&
                      SetThreadPriority(thread_, THREAD_PRIORITY_HIGHEST) != FALSE;
    return true;
}

bool Win32LoopPacer::waitForNextPass(const std::vector<std::uintptr_t>& events) {
    if (!timer_) return true;
    HANDLE handles[MAXIMUM_WAIT_OBJECTS - 1];
    DWORD count = 0;
    handles[count++] = timer_.get();
    for (std::uintptr_t e : events) {
        if (count < MAXIMUM_WAIT_OBJECTS - 1) handles[count++] = reinterpret_cast<HANDLE>(e);
    }
    // A message already waiting (raw input that came during the pass) ends the wait at once. The
    // timeout only guards against a timer that stopped ticking.
    pass_trace::Mark(pass_trace::Point::WaitBegan);
    const DWORD woke = MsgWaitForMultipleObjectsEx(count, handles, 10 * tickMs_, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    pass_trace::Mark(pass_trace::Point::WaitEnded, woke < WAIT_OBJECT_0 + count ? 1 : 0);
    // The wait took an event's signal: it goes back, for the joystick step to see.
    if (woke > WAIT_OBJECT_0 && woke < WAIT_OBJECT_0 + count) SetEvent(handles[woke - WAIT_OBJECT_0]);
    // The tick or an event: no message was waiting when the wait ended. One that comes just after
    // wakes the next wait at once, as it is still unread.
    return !(woke < WAIT_OBJECT_0 + count);
}

void Win32LoopPacer::end() {
    if (priorityRaised_) SetThreadPriority(thread_, previousPriority_);
    priorityRaised_ = false;
    if (timer_) CancelWaitableTimer(timer_.get());
    timer_.reset();
    if (periodRaised_) timeEndPeriod(tickMs_);
    periodRaised_ = false;
}

}  // namespace vt2::win32
