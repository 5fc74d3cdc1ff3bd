#include "input/offscreen_reload.h"

namespace vt2 {

void ApplyOffscreenReload(OffscreenReloadLatch& latch, bool offPicture, std::int16_t& trigger, std::int16_t& reload) {
    const bool pulled = trigger != 0;
    if (pulled && !latch.triggerHeld) latch.reloading = offPicture;
    if (!pulled) latch.reloading = false;
    latch.triggerHeld = pulled;
    if (!latch.reloading) return;
    trigger = 0;
    reload = 1;
}

}  // namespace vt2
