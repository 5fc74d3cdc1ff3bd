#include "adapters/win32/win32_bridge_link.h"

#include <ntsecapi.h>
#include <ws2tcpip.h>

#include <cstdint>

#include "input/bridge_handshake.h"

namespace vt2::win32 {

namespace {
constexpr UINT kSocketMessage = WM_APP + 41;
constexpr UINT_PTR kTryAgainTimer = 1;
constexpr UINT kTryAgainMs = 500;
constexpr ULONGLONG kStartAgainMs = 3000;  // a bridge started needs a moment before it answers
constexpr const char* kWindowClass = "VT2BridgeLink";

std::string Environment(const char* name) {
    char value[1024];
    const DWORD length = GetEnvironmentVariableA(name, value, sizeof value);
    return length > 0 && length < sizeof value ? std::string(value, length) : std::string();
}

}  // namespace

BridgeNonce FreshBridgeNonce() {
    BridgeNonce nonce{};
    // The system's own generator (advapi32's, which every Windows has).
    if (!RtlGenRandom(nonce.data(), static_cast<ULONG>(nonce.size()))) {
        // A nonce that is not random lets a proof be replayed: better no bridge at all.
        nonce.fill(0);
    }
    return nonce;
}

bool RunsUnderWine() {
    const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

std::optional<BridgeSecret> ReadBridgeSecret(int port) {
    const auto linuxPath = BridgeSecretPath(Environment("XDG_RUNTIME_DIR"), Environment("HOME"), port);
    if (!linuxPath) return std::nullopt;
    // Wine's drive Z: is the Linux side's root.
    std::string dosPath = "Z:" + *linuxPath;
    for (char& c : dosPath) {
        if (c == '/') c = '\\';
    }
    const unique_file_handle file(CreateFileA(dosPath.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return std::nullopt;
    char text[128];
    DWORD got = 0;
    if (!ReadFile(file.get(), text, sizeof text, &got, nullptr)) return std::nullopt;
    return ParseBridgeSecret(std::string_view(text, got));
}

Win32BridgeLink::Win32BridgeLink(std::string programFolder) : folder_(std::move(programFolder)) {
    WSADATA data{};
    winsock_ = WSAStartup(MAKEWORD(2, 2), &data) == 0;
}

Win32BridgeLink::~Win32BridgeLink() {
    if (socket_ != INVALID_SOCKET) closesocket(socket_);
    window_.reset();
    if (winsock_) WSACleanup();
}

bool Win32BridgeLink::connectTo(int port) {
    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (s == INVALID_SOCKET) return false;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<u_short>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (connect(s, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        closesocket(s);
        return false;
    }
    const BOOL on = TRUE;
    setsockopt(s, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&on), sizeof on);
    socket_ = s;
    return true;
}

bool Win32BridgeLink::startBridge(int port, bool wait) {
    const std::string program = folder_ + "\\linux\\vt2bridge";
    if (GetFileAttributesA(program.c_str()) == INVALID_FILE_ATTRIBUTES) return false;
    lastStartMs_ = GetTickCount64();
    // Wine starts a native program through a short-lived process of its own, which can leave no
    // window in front when it ends; Wine then hands raw input to nobody until a window comes
    // forward. The window in front before is put back in front.
    const HWND front = GetForegroundWindow();
    struct PutBack {
        HWND window;
        ~PutBack() {
            if (window && IsWindow(window) && GetForegroundWindow() != window) SetForegroundWindow(window);
        }
    } putBack{front};
    // Wine starts a native program as it starts a Windows one. It stays while any VT2 uses it and
    // ten minutes more, for the next run or the configuration tool (a VT2 that lost its link finds
    // it still there). Ended with its last client instead, a game run that launched its game under
    // Wine lost its mouse's input in 3 runs of 3 of the tests, for a cause not yet found.
    std::string commandLine = "\"" + program + "\" --port " + std::to_string(port) + " --exit-when-idle 600";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr,
                        &startup, &started))
        return false;
    CloseHandle(started.hThread);
    CloseHandle(started.hProcess);
    if (!wait) return true;
    // It takes a moment to open its devices and listen.
    const ULONGLONG until = GetTickCount64() + 3000;
    while (GetTickCount64() < until) {
        if (connectTo(port)) return true;
        Sleep(20);
    }
    return false;
}

void Win32BridgeLink::connected() {
    // Read at each connection: a bridge started again has a new secret.
    receiver_->onBridgeConnected(ReadBridgeSecret(port_), FreshBridgeNonce());
}

bool Win32BridgeLink::open(int port, BridgeReceiver& receiver, int waitMs) {
    if (!winsock_ || socket_ != INVALID_SOCKET) return false;
    port_ = port;
    receiver_ = &receiver;
    if (!connectTo(port) && !(RunsUnderWine() && startBridge(port, true))) return false;
    connected();
    // The first list of devices, before anyone lists or binds the mice.
    const ULONGLONG until = GetTickCount64() + static_cast<ULONGLONG>(waitMs);
    while (receiver.waitingForDevices() && socket_ != INVALID_SOCKET) {
        const ULONGLONG now = GetTickCount64();
        if (now >= until) break;
        fd_set readable;
        FD_ZERO(&readable);
        FD_SET(socket_, &readable);
        const ULONGLONG leftMs = until - now;
        timeval wait{static_cast<long>(leftMs / 1000), static_cast<long>(leftMs % 1000 * 1000)};
        if (select(0, &readable, nullptr, nullptr, &wait) > 0 && !receive()) gone();
    }
    if (socket_ == INVALID_SOCKET) return false;
    // From now on the arrivals come as messages to a window of our own on this thread.
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = kWindowClass;
    RegisterClassExA(&windowClass);
    window_.reset(CreateWindowExA(0, kWindowClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, windowClass.hInstance, nullptr));
    if (!window_) return true;  // the devices are listed; their reports cannot come
    SetWindowLongPtrA(window_.get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    WSAAsyncSelect(socket_, window_.get(), kSocketMessage, FD_READ | FD_CLOSE);
    // What came between the wait and the window.
    if (!receive()) gone();
    return true;
}

bool Win32BridgeLink::receive() {
    char buffer[4096];
    // What one wake brings, and no more: a peer that never stops sending would otherwise keep the
    // UI thread here. The socket's next message comes for what is left.
    constexpr int kReadsAWake = 16;
    for (int reads = 0; reads < kReadsAWake && socket_ != INVALID_SOCKET; ++reads) {
        const int got = recv(socket_, buffer, sizeof buffer, 0);
        if (got == 0) return false;  // the bridge closed the connection
        if (got < 0) return WSAGetLastError() == WSAEWOULDBLOCK;
        const BridgeReply reply = receiver_->onBridgeBytes(reinterpret_cast<const std::uint8_t*>(buffer), static_cast<std::size_t>(got));
        if (reply.refuse) {
            refused_ = true;
            return false;
        }
        if (socket_ == INVALID_SOCKET) return true;  // gone while the bytes were taken
        // A handshake's reply is a few dozen bytes: the socket takes them at once.
        if (!reply.send.empty() &&
            send(socket_, reinterpret_cast<const char*>(reply.send.data()), static_cast<int>(reply.send.size()), 0) !=
                static_cast<int>(reply.send.size()))
            return false;
        // Only while more waits: the socket blocks until it is handed to the window.
        u_long more = 0;
        if (ioctlsocket(socket_, FIONREAD, &more) != 0 || more == 0) return true;
    }
    return true;
}

void Win32BridgeLink::gone() {
    if (socket_ == INVALID_SOCKET) return;
    closesocket(socket_);
    socket_ = INVALID_SOCKET;
    if (receiver_) receiver_->onBridgeGone();
    if (!refused_ && window_) SetTimer(window_.get(), kTryAgainTimer, kTryAgainMs, nullptr);
}

void Win32BridgeLink::tryAgain() {
    if (socket_ != INVALID_SOCKET || refused_) {
        KillTimer(window_.get(), kTryAgainTimer);
        return;
    }
    if (!connectTo(port_)) {
        if (RunsUnderWine() && GetTickCount64() - lastStartMs_ >= kStartAgainMs) startBridge(port_, false);
        return;
    }
    KillTimer(window_.get(), kTryAgainTimer);
    connected();
    WSAAsyncSelect(socket_, window_.get(), kSocketMessage, FD_READ | FD_CLOSE);
    if (!receive()) gone();
}

LRESULT CALLBACK Win32BridgeLink::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* link = reinterpret_cast<Win32BridgeLink*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (message == kSocketMessage && link && static_cast<SOCKET>(wParam) == link->socket_) {
        const bool closed = WSAGETSELECTEVENT(lParam) == FD_CLOSE || WSAGETSELECTERROR(lParam) != 0;
        const bool stillThere = link->receive();
        if (closed || !stillThere) link->gone();
        return 0;
    }
    if (message == WM_TIMER && wParam == kTryAgainTimer && link) {
        link->tryAgain();
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace vt2::win32
