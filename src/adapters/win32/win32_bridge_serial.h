#pragma once
// The guns' serial ports that the Linux bridge opens for VT2 under Wine, by their stable Linux
// names: a connection to the bridge of their own (the mice's is the main thread's), used by the
// guns' writer thread alone. It proves itself as the mice's connection does; every call waits a
// short while at most.

#include <winsock2.h>

#include <cstdint>
#include <string>
#include <vector>

#include "input/bridge_handshake.h"
#include "input/bridge_protocol.h"

namespace vt2::win32 {

class BridgeSerialClient {
public:
    explicit BridgeSerialClient(int bridgePort);
    ~BridgeSerialClient();
    BridgeSerialClient(const BridgeSerialClient&) = delete;
    BridgeSerialClient& operator=(const BridgeSerialClient&) = delete;

    // Connected to a bridge that proved itself (connecting now when not yet, at most once a
    // second); false and why otherwise.
    bool ready(std::string& why);
    // False when the connection went.
    bool send(const BridgeMessage& message);
    // What the bridge said of the ports since the last call, waiting up to waitMs for a first word.
    std::vector<BridgeSerialState> takeStates(unsigned waitMs);

private:
    void drop();

    int port_;
    bool winsock_ = false;
    SOCKET socket_ = INVALID_SOCKET;
    BridgeClientHandshake handshake_;
    BridgeStreamReader reader_;
    std::vector<BridgeSerialState> states_;
    std::uint64_t lastTryMs_ = 0;
    bool tried_ = false;
};

}  // namespace vt2::win32
