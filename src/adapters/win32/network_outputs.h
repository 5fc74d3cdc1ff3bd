#pragma once
// The network output protocol: a TCP server (port 8000 by default) that greets each client with
// "mame_start = <game>\r", sends "<name> = <value>\r" to every client on each change and
// "mame_stop = 1\r" at the end, and reads and ignores what clients send. It listens from open()
// on, so that a client may connect before the game starts; the sockets live on a thread of their
// own, so that no pass waits for a client, and a client that stops reading is let go once its
// backlog is full instead of holding the others.

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "platform/numeric_output_servers.h"

namespace vt2::win32 {

class Win32NetworkOutputs final : public NumericOutputs {
public:
    // Beyond this many bytes waiting for one client, that client is let go.
    static constexpr std::size_t kMaxBacklog = 256 * 1024;
    // Clients at once; a newcomer past them takes the place of the one connected longest ago.
    static constexpr std::size_t kMaxClients = 256;

    // report: a problem (the port taken), said on the caller's thread.
    Win32NetworkOutputs(std::string bindAddress, std::uint16_t port, std::function<void(const std::string&)> report);
    ~Win32NetworkOutputs() override;
    Win32NetworkOutputs(const Win32NetworkOutputs&) = delete;
    Win32NetworkOutputs& operator=(const Win32NetworkOutputs&) = delete;

    // Starts listening; false, with a report, when the address or port cannot be had: the run
    // then goes on without this server.
    bool open();
    // The port listened on (the one asked for, or the system's choice for port 0).
    std::uint16_t port() const { return port_; }

    void start(const std::string& game, const std::map<int, std::string>& names) override;
    void update(int id, std::int32_t value) override;
    void stop(unsigned maxWaitMs) override;

    struct Shared;

private:
    std::shared_ptr<Shared> shared_;
    std::string bindAddress_;
    std::uint16_t port_;
    std::function<void(const std::string&)> report_;
    std::map<int, std::string> names_;
    bool open_ = false;
};

}  // namespace vt2::win32
