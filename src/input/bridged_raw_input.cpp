#include "input/bridged_raw_input.h"

#include <utility>

#include "common/ini.h"
#include "common/numbers.h"

namespace vt2 {

int ReadBridgePort(IniFiles& ini, const std::string& programFolder) {
    const auto port = ToInt32Field(ReadIniValue(ini, programFolder + "\\vt2.ini", "Bridge", "Port", false));
    return port && *port > 0 && *port <= 65535 ? *port : kBridgeDefaultPort;
}

std::optional<std::vector<RawInputDevice>> BridgedRawInput::deviceList() {
    connectOnce();
    auto devices = system_.deviceList();
    const std::vector<RawInputDevice> bridged = mice_.devices();
    if (!devices) return bridged.empty() ? std::nullopt : std::optional(bridged);
    devices->insert(devices->end(), bridged.begin(), bridged.end());
    return devices;
}

void BridgedRawInput::connectOnce() {
    BridgeLink* link = std::exchange(pending_.link, nullptr);
    if (!link || !link->open(pending_.port, *this, pending_.waitMs)) return;
    if (note_) note_("Linux input bridge: " + std::to_string(mice_.devices().size()) + " mice and guns");
}

void BridgedRawInput::onBridgeBytes(const std::uint8_t* bytes, std::size_t length) {
    mice_.take(bytes, length, sink_);
    const std::uint64_t dropped = mice_.dropped();
    // Said at 1, 10, 100...: a broken peer would otherwise fill the window.
    std::uint64_t mark = 1;
    while (mark * 10 <= dropped) mark *= 10;
    if (dropped >= 1 && mark > droppedSaid_) {
        droppedSaid_ = mark;
        if (note_) note_("Linux input bridge: " + std::to_string(dropped) + " malformed or out-of-order messages dropped");
    }
}

void BridgedRawInput::onBridgeGone() {
    mice_.lost(sink_);
    if (note_) note_("Linux input bridge gone: its guns' buttons let go, raw input goes on");
}

void BridgedRawInput::startReports(RawMouseReportSink& sink) {
    sink_ = &sink;
    system_.startReports(sink);
}

void BridgedRawInput::stopReports() {
    sink_ = nullptr;
    mice_.forgetSink();  // a report being delivered now may be what made the sink stop
    system_.stopReports();
}

}  // namespace vt2
