#include "adapters/win32/win32_bridge_serial.h"

#include <ws2tcpip.h>

#include "adapters/win32/win32_bridge_link.h"

namespace vt2::win32 {

namespace {

constexpr unsigned kConnectWaitMs = 500;
constexpr unsigned kHandshakeWaitMs = 2000;
constexpr std::uint64_t kTryAgainMs = 1000;

// Whether the socket has something to read within waitMs.
bool Readable(SOCKET s, unsigned waitMs) {
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(s, &readable);
    timeval wait{static_cast<long>(waitMs / 1000), static_cast<long>(waitMs % 1000 * 1000)};
    return select(0, &readable, nullptr, nullptr, &wait) > 0;
}

}  // namespace

BridgeSerialClient::BridgeSerialClient(int bridgePort) : port_(bridgePort) {
    WSADATA data{};
    winsock_ = WSAStartup(MAKEWORD(2, 2), &data) == 0;
}

BridgeSerialClient::~BridgeSerialClient() {
    drop();
    if (winsock_) WSACleanup();
}

void BridgeSerialClient::drop() {
    if (socket_ != INVALID_SOCKET) closesocket(socket_);
    socket_ = INVALID_SOCKET;
}

bool BridgeSerialClient::ready(std::string& why) {
    if (socket_ != INVALID_SOCKET && handshake_.state() == HandshakeState::Trusted) return true;
    const std::uint64_t now = GetTickCount64();
    if (!winsock_ || (tried_ && now < lastTryMs_ + kTryAgainMs)) {
        why = "no Linux bridge answers on port " + std::to_string(port_);
        return false;
    }
    tried_ = true;
    lastTryMs_ = now;
    drop();
    socket_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<u_short>(port_));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    u_long nonBlocking = 1;
    ioctlsocket(socket_, FIONBIO, &nonBlocking);
    connect(socket_, reinterpret_cast<const sockaddr*>(&address), sizeof address);
    fd_set writable, failed;
    FD_ZERO(&writable);
    FD_ZERO(&failed);
    FD_SET(socket_, &writable);
    FD_SET(socket_, &failed);  // refused: at once, not after the wait
    timeval wait{0, static_cast<long>(kConnectWaitMs) * 1000};
    if (select(0, nullptr, &writable, &failed, &wait) != 1 || !FD_ISSET(socket_, &writable)) {
        drop();
        why = "no Linux bridge answers on port " + std::to_string(port_);
        return false;
    }
    u_long blocking = 0;
    ioctlsocket(socket_, FIONBIO, &blocking);
    const DWORD timeout = kConnectWaitMs;
    setsockopt(socket_, SOL_SOCKET, SO_SNDTIMEO, reinterpret_cast<const char*>(&timeout), sizeof timeout);
    // Read at each connection: a bridge started again has a new secret.
    handshake_ = BridgeClientHandshake(ReadBridgeSecret(port_), FreshBridgeNonce());
    reader_ = BridgeStreamReader();
    const std::uint64_t until = now + kHandshakeWaitMs;
    while (handshake_.state() == HandshakeState::Waiting && GetTickCount64() < until) {
        if (!Readable(socket_, 100)) continue;
        std::uint8_t buffer[512];
        const int got = recv(socket_, reinterpret_cast<char*>(buffer), sizeof buffer, 0);
        if (got <= 0) break;
        const BridgeClientHandshake::Step step = handshake_.take(buffer, static_cast<std::size_t>(got));
        if (!step.reply.empty()) ::send(socket_, reinterpret_cast<const char*>(step.reply.data()), static_cast<int>(step.reply.size()), 0);
        std::vector<BridgeMessage> messages;
        reader_.take(step.passOn.data(), step.passOn.size(), messages);
    }
    if (handshake_.state() != HandshakeState::Trusted) {
        why = handshake_.state() == HandshakeState::Refused ? "the Linux bridge on port " + std::to_string(port_) + " was refused: " +
                                                                  handshake_.whyRefused()
                                                            : "the Linux bridge on port " + std::to_string(port_) + " did not prove itself";
        drop();
        return false;
    }
    return true;
}

bool BridgeSerialClient::send(const BridgeMessage& message) {
    if (socket_ == INVALID_SOCKET) return false;
    const std::vector<std::uint8_t> bytes = EncodeBridgeMessage(message);
    if (::send(socket_, reinterpret_cast<const char*>(bytes.data()), static_cast<int>(bytes.size()), 0) != static_cast<int>(bytes.size())) {
        drop();
        return false;
    }
    return true;
}

std::vector<BridgeSerialState> BridgeSerialClient::takeStates(unsigned waitMs) {
    const std::uint64_t until = GetTickCount64() + waitMs;
    while (socket_ != INVALID_SOCKET) {
        const std::uint64_t now = GetTickCount64();
        const unsigned left = states_.empty() && now < until ? static_cast<unsigned>(until - now) : 0;
        if (!Readable(socket_, left)) break;
        std::uint8_t buffer[4096];
        const int got = recv(socket_, reinterpret_cast<char*>(buffer), sizeof buffer, 0);
        if (got <= 0) {
            drop();
            break;
        }
        // The devices the bridge tells every connection of are the mice's business, not this one's.
        std::vector<BridgeMessage> messages;
        reader_.take(buffer, static_cast<std::size_t>(got), messages);
        for (const BridgeMessage& m : messages) {
            if (const auto* state = std::get_if<BridgeSerialState>(&m)) states_.push_back(*state);
        }
    }
    return std::exchange(states_, {});
}

}  // namespace vt2::win32
