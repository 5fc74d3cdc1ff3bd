#pragma once
// The bridge's listening socket, on the loopback interface only, and its one client: a VT2 that
// connects replaces the one before. A client that stops reading is let go once a megabyte waits
// for it, rather than the bridge holding ever more.

#include <cstdint>
#include <string>
#include <vector>

namespace vt2::linux_input {

class LoopbackServer {
public:
    LoopbackServer() = default;
    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;
    ~LoopbackServer();

    // False, with the reason, when the port cannot be had.
    bool listen(int port, std::string& why);
    int listenDescriptor() const { return listener_; }
    int port() const;
    int clientDescriptor() const { return client_; }
    // Takes a waiting connection (from this machine only); true when a new client is there.
    bool accept();
    // Reads (and drops) what the client sent; false when it has gone.
    bool drainClient();
    // Sends bytes to the client; false when it has gone or let too much wait.
    bool send(const std::vector<std::uint8_t>& bytes);
    bool wantsToWrite() const { return client_ >= 0 && !unsent_.empty(); }
    void dropClient();

private:
    int listener_ = -1;
    int client_ = -1;
    std::vector<std::uint8_t> unsent_;
};

}  // namespace vt2::linux_input
