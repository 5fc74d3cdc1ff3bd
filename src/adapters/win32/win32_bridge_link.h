#pragma once
// The connection to the Linux input bridge: a socket to 127.0.0.1 whose arrivals come to the
// main thread as window messages (to a message-only window of its own), so that they wake the
// paced loop as a mouse's raw input does. Under Wine, when no bridge answers and
// linux\vt2bridge lies beside VT2.exe, it starts that bridge, which ends when VT2 lets go of it.

#include <winsock2.h>
#include <windows.h>

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
    bool startBridge(int port);
    // Reads what waits; false when the bridge has gone.
    bool receive();
    void gone();

    std::string folder_;
    bool winsock_ = false;
    SOCKET socket_ = INVALID_SOCKET;
    unique_window window_;
    BridgeReceiver* receiver_ = nullptr;
};

// True when this program runs under Wine.
bool RunsUnderWine();

}  // namespace vt2::win32
