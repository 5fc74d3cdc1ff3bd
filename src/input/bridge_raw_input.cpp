#include "input/bridge_raw_input.h"

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
    port_ = pending_.port;
    if (!link || !link->open(pending_.port, *this, pending_.waitMs)) return;
    if (note_) note_("Linux input bridge: " + std::to_string(mice_.devices().size()) + " mice and guns");
}

void BridgedRawInput::onBridgeConnected(const std::optional<BridgeSecret>& secret, const BridgeNonce& nonce) {
    handshake_ = BridgeClientHandshake(secret, nonce);
    ++connections_;
}

BridgeReply BridgedRawInput::onBridgeBytes(const std::uint8_t* bytes, std::size_t length) {
    BridgeClientHandshake::Step step = handshake_.take(bytes, length);
    if (handshake_.state() == HandshakeState::Refused) {
        if (note_) {
            note_("Linux input bridge refused: what answers on 127.0.0.1:" + std::to_string(port_) + " is not this user's bridge (" +
                  handshake_.whyRefused() + "); its guns are not used");
        }
        return {{}, true};
    }
    if (step.passOn.empty()) return {std::move(step.reply), false};
    const bool wasListed = mice_.listed();
    mice_.take(step.passOn.data(), step.passOn.size(), sink_);
    if (connections_ > 1 && !wasListed && mice_.listed() && note_) {
        note_("Linux input bridge connected again: " + std::to_string(mice_.devices().size()) + " mice and guns");
    }
    const std::uint64_t dropped = mice_.dropped();
    // Said at 1, 10, 100...: a broken peer would otherwise fill the window.
    std::uint64_t mark = 1;
    while (mark * 10 <= dropped) mark *= 10;
    if (dropped >= 1 && mark > droppedSaid_) {
        droppedSaid_ = mark;
        if (note_) note_("Linux input bridge: " + std::to_string(dropped) + " malformed or out-of-order messages dropped");
    }
    return {std::move(step.reply), false};
}

void BridgedRawInput::onBridgeGone() {
    const bool wasTrusted = handshake_.state() == HandshakeState::Trusted;
    handshake_ = BridgeClientHandshake();
    if (!wasTrusted) return;  // nothing of it was taken
    mice_.lost(sink_);
    if (note_) note_("Linux input bridge gone: its guns' buttons let go, raw input goes on; connecting again");
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
