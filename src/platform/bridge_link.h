#pragma once
// The connection to the Linux input bridge on this machine (VT2 under Wine), when there is one.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace vt2 {

// The user's bridge secret, and the fresh random bytes each side brings to a handshake.
using BridgeSecret = std::array<std::uint8_t, 32>;
using BridgeNonce = std::array<std::uint8_t, 32>;

// What the receiver wants done with the bytes it was given.
struct BridgeReply {
    std::vector<std::uint8_t> send;  // to the bridge, now
    bool refuse = false;             // the peer is not the user's bridge: close, and never again
};

class BridgeReceiver {
public:
    virtual ~BridgeReceiver() = default;
    // A connection is made (the first, or again after one was lost): what comes now begins with
    // the bridge's challenge. secret is what the user's secret file holds (nothing when it could
    // not be read); nonce is fresh random bytes of this machine's.
    virtual void onBridgeConnected(const std::optional<BridgeSecret>& secret, const BridgeNonce& nonce) = 0;
    // Bytes from the bridge, on the main window's thread, as they arrive.
    virtual BridgeReply onBridgeBytes(const std::uint8_t* bytes, std::size_t length) = 0;
    // The bridge closed the connection or vanished.
    virtual void onBridgeGone() = 0;
    // Still waiting for the bridge's first list of devices (and not refused).
    virtual bool waitingForDevices() const = 0;
};

class BridgeLink {
public:
    virtual ~BridgeLink() = default;
    // Connects to the bridge on 127.0.0.1:port (starting the one beside VT2 when none answers and
    // VT2 runs under Wine), takes its bytes until receiver has its first list of devices or waitMs
    // have passed, then hands on what arrives as it arrives. False when no bridge is there, or
    // the one there was refused. A connection lost later is made again (and the bridge started
    // again under Wine) within a second or two, unless its bridge was refused.
    virtual bool open(int port, BridgeReceiver& receiver, int waitMs) = 0;
};

}  // namespace vt2
