#include "adapters/linux/bridge_loopback_server.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace vt2::linux_input {

namespace {
constexpr std::size_t kMaxUnsent = 1 << 20;
}

LoopbackServer::~LoopbackServer() {
    for (const Client& c : clients_) close(c.descriptor);
    if (listener_ >= 0) close(listener_);
}

bool LoopbackServer::bind(int port, std::string& why) {
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
    if (::bind(listener_, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        why = "cannot listen on 127.0.0.1:" + std::to_string(port) + ": " + std::strerror(errno);
        return false;
    }
    return true;
}

bool LoopbackServer::listen(std::string& why) {
    if (::listen(listener_, 8) != 0) {
        why = std::string("cannot listen: ") + std::strerror(errno);
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

int LoopbackServer::accept() {
    sockaddr_in peer{};
    socklen_t length = sizeof peer;
    const int client = accept4(listener_, reinterpret_cast<sockaddr*>(&peer), &length, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (client < 0) return -1;
    // Bound to the loopback interface, so only this machine reaches it; checked all the same.
    if (peer.sin_family != AF_INET || (ntohl(peer.sin_addr.s_addr) >> 24) != 127) {
        close(client);
        return -1;
    }
    const int on = 1;
    setsockopt(client, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    clients_.push_back({client, {}});
    return client;
}

std::vector<int> LoopbackServer::clients() const {
    std::vector<int> all;
    for (const Client& c : clients_) all.push_back(c.descriptor);
    return all;
}

LoopbackServer::Client* LoopbackServer::find(int client) {
    for (Client& c : clients_) {
        if (c.descriptor == client) return &c;
    }
    return nullptr;
}

const LoopbackServer::Client* LoopbackServer::find(int client) const {
    return const_cast<LoopbackServer*>(this)->find(client);
}

bool LoopbackServer::receive(int client, std::vector<std::uint8_t>& got) {
    if (!find(client)) return false;
    std::uint8_t buffer[512];
    // A few kilobytes a call: a client that never stops sending does not keep the bridge here.
    for (int reads = 0; reads < 8; ++reads) {
        const ssize_t n = recv(client, buffer, sizeof buffer, 0);
        if (n > 0) {
            got.insert(got.end(), buffer, buffer + n);
            continue;
        }
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return true;
        if (n < 0 && errno == EINTR) continue;
        return false;
    }
    return true;
}

bool LoopbackServer::send(int client, const std::vector<std::uint8_t>& bytes) {
    Client* c = find(client);
    if (!c) return false;
    std::vector<std::uint8_t>& unsent = c->unsent;
    unsent.insert(unsent.end(), bytes.begin(), bytes.end());
    std::size_t sent = 0;
    while (sent < unsent.size()) {
        const ssize_t n = ::send(client, unsent.data() + sent, unsent.size() - sent, MSG_NOSIGNAL);
        if (n > 0) {
            sent += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) break;
        return false;
    }
    unsent.erase(unsent.begin(), unsent.begin() + static_cast<std::ptrdiff_t>(sent));
    return unsent.size() <= kMaxUnsent;
}

bool LoopbackServer::wantsToWrite(int client) const {
    const Client* c = find(client);
    return c && !c->unsent.empty();
}

void LoopbackServer::drop(int client) {
    const auto it = std::find_if(clients_.begin(), clients_.end(), [&](const Client& c) { return c.descriptor == client; });
    if (it == clients_.end()) return;
    close(it->descriptor);
    clients_.erase(it);
}

}  // namespace vt2::linux_input
