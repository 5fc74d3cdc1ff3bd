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

}  // namespace vt2
