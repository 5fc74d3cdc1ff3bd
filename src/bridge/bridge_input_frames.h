#pragma once
// A mouse's or gun's input events, as the kernel sends them, made into the bridge's reports: the
// events of one frame (up to kSynReport) are one report. Portable: the event codes are the
// kernel's numbers, named here as the kernel names them.

#include <cstdint>
#include <optional>

#include "input/bridge_protocol.h"

namespace vt2::bridge {

inline constexpr std::uint16_t kEvSyn = 0, kEvKey = 1, kEvRel = 2, kEvAbs = 3;
inline constexpr std::uint16_t kSynReport = 0, kSynDropped = 3;
inline constexpr std::uint16_t kRelX = 0, kRelY = 1, kAbsX = 0, kAbsY = 1;
inline constexpr std::uint16_t kBtnLeft = 0x110, kBtnRight = 0x111, kBtnMiddle = 0x112, kBtnSide = 0x113,
                               kBtnExtra = 0x114, kBtnTrigger = 0x120, kBtnThumb = 0x121, kBtnThumb2 = 0x122;

struct InputEvent {
    std::uint16_t type = 0;
    std::uint16_t code = 0;
    std::int32_t value = 0;
};

// The bridge's button bit of a key code, 0 for a key that is no mouse or gun button. A gun that
// reports as a joystick pulls kBtnTrigger: its trigger is the left button, as a mouse gun's is.
std::uint8_t ButtonOf(std::uint16_t code);

// One device's frames. The sequence is left to whoever sends the report.
class FrameAssembler {
public:
    explicit FrameAssembler(std::uint32_t device) : device_(device) {}
    // The frame's report at its kSynReport when it moved or changed a button; nothing otherwise.
    // After kSynDropped the kernel lost events: up to the next kSynReport (the device's state read
    // again) the relative counts are left out; buttons and position are as the device says.
    std::optional<BridgeReport> take(const InputEvent& event);
    // The state as it is now (for a new connection): the buttons held, the last position.
    BridgeReport state() const;
    // The device is gone: a report letting go of every button it held, when it held any.
    std::optional<BridgeReport> releaseAll();

private:
    std::uint32_t device_;
    std::uint8_t buttons_ = 0;
    std::uint8_t reportedButtons_ = 0;
    std::int32_t dx_ = 0, dy_ = 0;
    bool positioned_ = false;  // an absolute position came in, ever
    bool moved_ = false;       // ...in this frame
    std::int32_t x_ = 0, y_ = 0;
    bool dropping_ = false;
};

}  // namespace vt2::bridge
