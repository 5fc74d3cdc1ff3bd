#include "bridge/bridge_input_frames.h"

#include <algorithm>
#include <cstdint>

namespace vt2::bridge {

std::uint8_t ButtonOf(std::uint16_t code) {
    switch (code) {
        case kBtnLeft:
        case kBtnTrigger: return kBridgeLeft;
        case kBtnRight:
        case kBtnThumb: return kBridgeRight;
        case kBtnMiddle:
        case kBtnThumb2: return kBridgeMiddle;
        case kBtnSide: return kBridgeSide;
        case kBtnExtra: return kBridgeExtra;
        default: return 0;
    }
}

std::optional<BridgeReport> FrameAssembler::take(const InputEvent& event) {
    if (event.type == kEvSyn && event.code == kSynDropped) {
        dropping_ = true;
        return std::nullopt;
    }
    if (event.type == kEvSyn && event.code == kSynReport) {
        if (dropping_) {  // counts were lost: no move at all rather than part of one
            dropping_ = false;
            dx_ = dy_ = 0;
        }
        const bool changed = dx_ != 0 || dy_ != 0 || moved_ || buttons_ != reportedButtons_;
        if (!changed) return std::nullopt;
        BridgeReport report = state();
        report.dx = dx_;
        report.dy = dy_;
        report.hasPosition = moved_;
        dx_ = dy_ = 0;
        moved_ = false;
        reportedButtons_ = buttons_;
        return report;
    }
    if (event.type == kEvRel) {
        // Held at the ends of 32 bits: a device or recording that floods counts cannot overflow them.
        auto add = [](std::int32_t sum, std::int32_t value) {
            return static_cast<std::int32_t>(std::clamp<std::int64_t>(std::int64_t{sum} + value, INT32_MIN, INT32_MAX));
        };
        if (event.code == kRelX) dx_ = add(dx_, event.value);
        if (event.code == kRelY) dy_ = add(dy_, event.value);
    } else if (event.type == kEvAbs && (event.code == kAbsX || event.code == kAbsY)) {
        (event.code == kAbsX ? x_ : y_) = event.value;
        positioned_ = moved_ = true;
    } else if (event.type == kEvKey) {
        // A key's repeat (value 2) changes nothing.
        const std::uint8_t bit = ButtonOf(event.code);
        if (event.value == 1) buttons_ = static_cast<std::uint8_t>(buttons_ | bit);
        if (event.value == 0) buttons_ = static_cast<std::uint8_t>(buttons_ & ~bit);
    }
    return std::nullopt;
}

BridgeReport FrameAssembler::state() const {
    BridgeReport report;
    report.device = device_;
    report.hasPosition = positioned_;
    report.x = x_;
    report.y = y_;
    report.buttons = buttons_;
    return report;
}

std::optional<BridgeReport> FrameAssembler::releaseAll() {
    const bool held = reportedButtons_ != 0 || buttons_ != 0;
    buttons_ = reportedButtons_ = 0;
    dx_ = dy_ = 0;
    moved_ = false;
    if (!held) return std::nullopt;
    BridgeReport report = state();
    report.hasPosition = false;
    return report;
}

}  // namespace vt2::bridge
