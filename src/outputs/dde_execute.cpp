#include "outputs/dde_execute.h"

#include <array>

#include "platform/dde_client.h"

namespace vt2 {

bool FitsDdeBuffer(const std::string& command) { return command.size() + 1 <= kDdeCommandBufferBytes; }

DdeConnection ConnectDde(DdeClient& dde, std::uintptr_t instance, const std::string& service,
                         const std::string& topic) {
    DdeConnection connection;
    const DdeClient::Handle serviceName = dde.createStringHandle(instance, service, kDdeCodePageAnsi);
    const DdeClient::Handle topicName = dde.createStringHandle(instance, topic, kDdeCodePageAnsi);
    if (serviceName == 0 || topicName == 0) {
        connection.result = DdeResult::StringHandleFailed;
    } else {
        connection.conversation = dde.connect(instance, serviceName, topicName);
        if (connection.conversation == 0) connection.result = DdeResult::ConnectFailed;
    }
    if (serviceName != 0) dde.freeStringHandle(instance, serviceName);
    if (topicName != 0) dde.freeStringHandle(instance, topicName);
    return connection;
}

DdeResult ExecuteDde(DdeClient& dde, std::uintptr_t instance, std::uintptr_t conversation,
                     const std::string& command, std::uint32_t timeoutMs) {
    // A cut command would carry a wrong value.
    if (!FitsDdeBuffer(command)) return DdeResult::DataHandleFailed;
    std::array<std::uint8_t, kDdeCommandBufferBytes> buffer{};
    for (std::size_t i = 0; i < command.size(); ++i) buffer[i] = static_cast<std::uint8_t>(command[i]);
    const DdeClient::Handle data =
        dde.createDataHandle(instance, buffer.data(), static_cast<std::uint32_t>(command.size() + 1));
    if (data == 0) return DdeResult::DataHandleFailed;
    if (!dde.clientTransaction(data, conversation, kDdeExecute, timeoutMs)) return DdeResult::TransactionFailed;
    return DdeResult::Delivered;
}

DdeResult DdeExecute(DdeClient& dde, const std::string& service, const std::string& topic,
                     const std::string& command, std::uint32_t timeoutMs) {
    if (!FitsDdeBuffer(command)) return DdeResult::DataHandleFailed;
    const DdeClient::Handle instance = dde.initialize(kDdeClientOnlyFlags);
    if (instance == 0) return DdeResult::InitializeFailed;
    const DdeConnection connection = ConnectDde(dde, instance, service, topic);
    DdeResult result = connection.result;
    if (result == DdeResult::Delivered) result = ExecuteDde(dde, instance, connection.conversation, command, timeoutMs);
    if (connection.conversation != 0) dde.disconnect(connection.conversation);
    dde.uninitialize(instance);
    return result;
}

}  // namespace vt2
