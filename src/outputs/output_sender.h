#pragma once
// Delivery of output commands over one DDE conversation kept open for the run, for a sender that
// is not the main loop's thread. The conversation is made again when it is lost; while no server
// answers, a connection is tried at most once a second and commands are dropped. A command is
// never sent twice.

#include <cstdint>
#include <optional>
#include <string>

#include "outputs/dde_execute.h"
#include "platform/clock.h"
#include "platform/dde_client.h"
#include "platform/output_link.h"

namespace vt2 {

inline constexpr std::uint64_t kReconnectIntervalMs = 1000;
// A server that does not take an execute within this time has the command dropped.
inline constexpr std::uint32_t kConversationTimeoutMs = 250;

class OutputSender {
public:
    OutputSender(DdeClient& dde, SteadyClock& clock) : dde_(dde), clock_(clock) {}
    ~OutputSender() { close(); }
    OutputSender(const OutputSender&) = delete;
    OutputSender& operator=(const OutputSender&) = delete;

    // True when the server took the command; false when it was dropped.
    bool deliver(const std::string& command);
    void close();
    bool connected() const { return conversation_ != 0; }

private:
    bool ensureConversation();

    DdeClient& dde_;
    SteadyClock& clock_;
    DdeClient::Handle instance_ = 0;
    DdeClient::Handle conversation_ = 0;
    std::optional<std::uint64_t> lastFailedConnectMs_;
};

// The reference way: each command as one whole conversation, on the caller's thread, which waits
// for it. Kept as the fallback ([Outputs] Blocking=1 in vt2.ini).
class BlockingOutputLink final : public OutputLink {
public:
    explicit BlockingOutputLink(DdeClient& dde) : dde_(dde) {}
    void send(const std::string& command) override;
    void finish(unsigned) override {}

private:
    DdeClient& dde_;
};

inline constexpr std::uint32_t kBlockingTimeoutMs = 1;

}  // namespace vt2
