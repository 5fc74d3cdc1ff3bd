#pragma once
// Raw input with the Linux input bridge's devices beside the system's mice: listed after them,
// their reports handed to the same sink. Everything that lists mice, binds players to them or
// detects a pulled trigger sees the bridge's guns as it sees raw input's.

#include <functional>
#include <string>

#include "input/bridge_handshake.h"
#include "input/bridge_mice.h"
#include "platform/bridge_link.h"
#include "platform/ini_files.h"
#include "platform/raw_input.h"

namespace vt2 {

// How long VT2 waits for the bridge's first list of devices when it connects.
inline constexpr int kBridgeListWaitMs = 2000;
// The bridge's port: vt2.ini [Bridge] Port, else the usual one.
int ReadBridgePort(IniFiles& ini, const std::string& programFolder);

// What the bridge did that the user should know goes to note (the debug window): how many
// devices it gave, messages dropped (the first, then at each power of ten), that it went or came
// back, and a peer refused because it did not prove it is the user's bridge. Nothing a peer sends
// reaches the mice before it has proved that.
class BridgedRawInput final : public RawInputSystem, public BridgeReceiver {
public:
    using Note = std::function<void(const std::string&)>;
    BridgedRawInput(RawInputSystem& system, Note note) : system_(system), note_(std::move(note)) {}
    // The bridge to connect to when the mice are first listed, not before: a second VT2 that
    // ends at once (one run per game) must not take the bridge from the first. Without one, or
    // when none answers, only the system's mice are there.
    void useBridge(BridgeLink& link, int port, int waitMs) { pending_ = Pending{&link, port, waitMs}; }

    std::optional<std::vector<RawInputDevice>> deviceList() override;
    bool registerMice() override { return system_.registerMice(); }
    void startReports(RawMouseReportSink& sink) override;
    void stopReports() override;

    void onBridgeConnected(const std::optional<BridgeSecret>& secret, const BridgeNonce& nonce) override;
    BridgeReply onBridgeBytes(const std::uint8_t* bytes, std::size_t length) override;
    void onBridgeGone() override;
    bool waitingForDevices() const override { return !mice_.listed() && handshake_.state() != HandshakeState::Refused; }

private:
    struct Pending {
        BridgeLink* link = nullptr;
        int port = 0;
        int waitMs = 0;
    };
    void connectOnce();

    RawInputSystem& system_;
    Pending pending_;
    int port_ = 0;
    BridgeClientHandshake handshake_;
    int connections_ = 0;
    BridgeMice mice_;
    RawMouseReportSink* sink_ = nullptr;
    Note note_;
    std::uint64_t droppedSaid_ = 0;
};

}  // namespace vt2
