#pragma once

#include <cstdint>

// When the main loop's steps happened, on the performance counter that other programs read too:
// the latency benchmark lays a move's way through VT2 against the moment it was sent and the
// moment the game saw it. Off unless the environment names a file (VT2_PASS_TRACE); the points
// are kept in memory during the run and written when the program ends.
namespace vt2::win32::pass_trace {

enum class Point : std::uint8_t {
    WaitBegan,      // the pass is over; the loop waits for the next
    WaitEnded,      // detail: what ended the wait (0 a message, 1 the tick or an event)
    MessageLook,    // the pass looks for a message
    MessageTaken,   // detail: the message's number
    WriteIssued,    // detail: the address
    WriteReturned,  // detail: 1 when the write succeeded
};

// Starts recording when VT2_PASS_TRACE names a file.
void StartFromEnvironment();
void Mark(Point point, std::uint32_t detail = 0);
// Writes what was recorded, one point a line: counter, point, detail.
void WriteOut();

}  // namespace vt2::win32::pass_trace
