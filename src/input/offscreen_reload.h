#pragma once
// Off-screen reload: a trigger pulled while the aim is off the picture reloads instead of firing,
// for as long as it is held, wherever the aim goes meanwhile. A trigger pulled on the picture
// fires until released, even when the aim leaves the picture (a shot is never turned into a
// reload half way).

#include <cstdint>

namespace vt2 {

struct OffscreenReloadLatch {
    bool triggerHeld = false;  // the device's trigger, as the last report left it
    bool reloading = false;    // the held trigger was pulled off the picture
};

// Takes the device's trigger and reload for one report and gives what the game is to get.
void ApplyOffscreenReload(OffscreenReloadLatch& latch, bool offPicture, std::int16_t& trigger, std::int16_t& reload);

}  // namespace vt2
