#pragma once
// The connection to the Linux input bridge on this machine (VT2 under Wine), when there is one.

#include <cstddef>
#include <cstdint>

namespace vt2 {

class BridgeReceiver {
public:
    virtual ~BridgeReceiver() = default;
    // Bytes from the bridge, on the main window's thread, as they arrive.
    virtual void onBridgeBytes(const std::uint8_t* bytes, std::size_t length) = 0;
    // The bridge closed the connection or vanished.
    virtual void onBridgeGone() = 0;
    // Still waiting for the bridge's first list of devices.
    virtual bool waitingForDevices() const = 0;
};

class BridgeLink {
public:
    virtual ~BridgeLink() = default;
    // Connects to the bridge on 127.0.0.1:port (starting the one beside VT2 when none answers and
    // VT2 runs under Wine), takes its bytes until receiver has its first list of devices or waitMs
    // have passed, then hands on what arrives as it arrives. False when no bridge is there.
    virtual bool open(int port, BridgeReceiver& receiver, int waitMs) = 0;
};

}  // namespace vt2
