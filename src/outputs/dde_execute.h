#pragma once
// One command to a DDE server as one whole conversation: initialise, connect, execute, disconnect,
// uninitialise. Nothing lives on between commands.

#include <cstdint>
#include <string>

namespace vt2 {

class DdeClient;

enum class DdeResult : std::int16_t {
    Delivered = 0,
    InitializeFailed = 1,
    ConnectFailed = 2,       // no server
    StringHandleFailed = 3,
    DataHandleFailed = 4,    // also: a command too long for the transfer buffer, which is not sent
    TransactionFailed = 5,   // failed or timed out
};

inline constexpr std::uint32_t kDdeClientOnlyFlags = 0x3F000;
inline constexpr int kDdeCodePageAnsi = 1004;
inline constexpr std::uint32_t kDdeExecute = 0x4050;
inline constexpr std::size_t kDdeCommandBufferBytes = 1025;
inline constexpr const char* kOutputService = "MHServer";
inline constexpr const char* kOutputTopic = "MHDDE";

DdeResult DdeExecute(DdeClient& dde, const std::string& service, const std::string& topic,
                     const std::string& command, std::uint32_t timeoutMs);

// The steps DdeExecute is made of, for a sender that keeps its instance and conversation.
struct DdeConnection {
    std::uintptr_t conversation = 0;  // 0 when result is not Delivered
    DdeResult result = DdeResult::Delivered;
};
// Connects to service and topic; the string handles are freed again either way.
DdeConnection ConnectDde(DdeClient& dde, std::uintptr_t instance, const std::string& service,
                         const std::string& topic);
// The command, ending in one NUL byte, as one execute transaction on the conversation. A command
// too long for the transfer buffer is not sent.
DdeResult ExecuteDde(DdeClient& dde, std::uintptr_t instance, std::uintptr_t conversation,
                     const std::string& command, std::uint32_t timeoutMs);
bool FitsDdeBuffer(const std::string& command);

}  // namespace vt2
