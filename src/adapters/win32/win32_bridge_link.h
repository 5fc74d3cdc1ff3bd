#pragma once
// The connection to the Linux input bridge: a socket to 127.0.0.1 whose arrivals come to the
// main thread as window messages (to a message-only window of its own), so that they wake the
// paced loop as a mouse's raw input does. Under Wine, when no bridge answers and
// linux\vt2bridge lies beside VT2.exe, it starts that bridge, which ends when the last VT2
// connected to it lets go. The user's bridge secret is read from the Linux side through Wine's
// drives. A connection lost is made again from a timer (and the bridge started again under Wine),
// without waiting in the pass.

#include <winsock2.h>
#include <windows.h>

#include <optional>
#include <string>

#include "adapters/win32/unique_handle.h"
#include "platform/bridge_link.h"

namespace vt2::win32 {

class Win32BridgeLink final : public BridgeLink {
public:
    explicit Win32BridgeLink(std::string programFolder);
    ~Win32BridgeLink() override;
    Win32BridgeLink(const Win32BridgeLink&) = delete;
    Win32BridgeLink& operator=(const Win32BridgeLink&) = delete;

    bool open(int port, BridgeReceiver& receiver, int waitMs) override;

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    bool connectTo(int port);
    // Starts the bridge beside VT2; with wait, until it answers (3 s at most).
    bool startBridge(int port, bool wait);
    // Tells the receiver of a new connection, with the secret and a fresh nonce.
    void connected();
    // Reads what waits, and sends the receiver's replies; false when the bridge has gone or was
    // refused.
    bool receive();
    void gone();
    void tryAgain();

    std::string folder_;
    bool winsock_ = false;
    int port_ = 0;
    SOCKET socket_ = INVALID_SOCKET;
    unique_window window_;
    BridgeReceiver* receiver_ = nullptr;
    bool refused_ = false;
    ULONGLONG lastStartMs_ = 0;
};

// A nonce for a handshake, from the system's random generator (all zero when it gives none).
BridgeNonce FreshBridgeNonce();

// True when this program runs under Wine.
bool RunsUnderWine();

// The user's bridge secret for the bridge on port, read from the Linux side (under Wine); nothing
// when it is not there or holds no secret.
std::optional<BridgeSecret> ReadBridgeSecret(int port);

}  // namespace vt2::win32
