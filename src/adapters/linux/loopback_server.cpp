#include "adapters/linux/loopback_server.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace vt2::linux_input {

namespace {
constexpr std::size_t kMaxUnsent = 1 << 20;
}

LoopbackServer::~LoopbackServer() {
    dropClient();
    if (listener_ >= 0) close(listener_);
}

bool LoopbackServer::listen(int port, std::string& why) {
    listener_ = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (listener_ < 0) {
        why = std::string("no socket: ") + std::strerror(errno);
        return false;
    }
    const int on = 1;
    setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (bind(listener_, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 || ::listen(listener_, 4) != 0) {
        why = "cannot listen on 127.0.0.1:" + std::to_string(port) + ": " + std::strerror(errno);
        return false;
    }
    return true;
}

int LoopbackServer::port() const {
    sockaddr_in address{};
    socklen_t length = sizeof address;
    if (getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0) return -1;
    return ntohs(address.sin_port);
}

bool LoopbackServer::accept() {
    sockaddr_in peer{};
    socklen_t length = sizeof peer;
    const int client = accept4(listener_, reinterpret_cast<sockaddr*>(&peer), &length, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (client < 0) return false;
    // Bound to the loopback interface, so only this machine reaches it; checked all the same.
    if (peer.sin_family != AF_INET || (ntohl(peer.sin_addr.s_addr) >> 24) != 127) {
        close(client);
        return false;
    }
    dropClient();
    const int on = 1;
    setsockopt(client, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    client_ = client;
    return true;
}

bool LoopbackServer::drainClient() {
    std::uint8_t buffer[512];
    for (;;) {
        const ssize_t got = recv(client_, buffer, sizeof buffer, 0);
        if (got > 0) continue;
        if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return true;
        if (got < 0 && errno == EINTR) continue;
        return false;
    }
}

bool LoopbackServer::send(const std::vector<std::uint8_t>& bytes) {
    if (client_ < 0) return false;
    unsent_.insert(unsent_.end(), bytes.begin(), bytes.end());
    std::size_t sent = 0;
    while (sent < unsent_.size()) {
        const ssize_t n = ::send(client_, unsent_.data() + sent, unsent_.size() - sent, MSG_NOSIGNAL);
        if (n > 0) {
            sent += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) break;
        return false;
    }
    unsent_.erase(unsent_.begin(), unsent_.begin() + static_cast<std::ptrdiff_t>(sent));
    return unsent_.size() <= kMaxUnsent;
}

void LoopbackServer::dropClient() {
    if (client_ >= 0) close(client_);
    client_ = -1;
    unsent_.clear();
}

}  // namespace vt2::linux_input
