#pragma once
// The bridge's listening socket, on the loopback interface only, and its clients (a run and the
// configuration tool may be connected at once). A client that stops reading is let go once a
// megabyte waits for it, rather than the bridge holding ever more; past kMaxClients connections
// the caller chooses whom to let go.

#include <cstdint>
#include <string>
#include <vector>

namespace vt2::linux_input {

class LoopbackServer {
public:
    static constexpr std::size_t kMaxClients = 16;

    LoopbackServer() = default;
    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;
    ~LoopbackServer();

    // False, with the reason, when the port cannot be had. Between the two, nobody can connect
    // yet: the time to write what a client reads once it is connected.
    bool bind(int port, std::string& why);
    bool listen(std::string& why);
    int listenDescriptor() const { return listener_; }
    int port() const;
    // Takes a waiting connection (from this machine only): its descriptor, which names the
    // client from then on, or -1.
    int accept();
    // Every client now, oldest first.
    std::vector<int> clients() const;
    // Appends what the client sent (at most a few kilobytes a call); false when it has gone.
    bool receive(int client, std::vector<std::uint8_t>& got);
    // Sends bytes to the client; false when it has gone or let too much wait.
    bool send(int client, const std::vector<std::uint8_t>& bytes);
    bool wantsToWrite(int client) const;
    void drop(int client);

private:
    struct Client {
        int descriptor;
        std::vector<std::uint8_t> unsent;
    };
    Client* find(int client);
    const Client* find(int client) const;

    int listener_ = -1;
    std::vector<Client> clients_;
};

}  // namespace vt2::linux_input
