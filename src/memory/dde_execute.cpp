#include "memory/dde_execute.h"

#include <array>

#include "platform/dde_client.h"

namespace vt2 {

DdeResult DdeExecute(DdeClient& dde, const std::string& service, const std::string& topic,
                     const std::string& command, std::uint32_t timeoutMs) {
    // The command and one NUL must fit the buffer; a cut command would carry a wrong value.
    if (command.size() + 1 > kDdeCommandBufferBytes) return DdeResult::DataHandleFailed;
    std::array<std::uint8_t, kDdeCommandBufferBytes> buffer{};
    for (std::size_t i = 0; i < command.size(); ++i) buffer[i] = static_cast<std::uint8_t>(command[i]);

    const DdeClient::Handle instance = dde.initialize(kDdeClientOnlyFlags);
    if (instance == 0) return DdeResult::InitializeFailed;

    DdeClient::Handle conversation = 0;
    DdeResult result = DdeResult::Delivered;
    const DdeClient::Handle serviceName = dde.createStringHandle(instance, service, kDdeCodePageAnsi);
    const DdeClient::Handle topicName = dde.createStringHandle(instance, topic, kDdeCodePageAnsi);
    if (serviceName == 0 || topicName == 0) {
        result = DdeResult::StringHandleFailed;
    } else {
        conversation = dde.connect(instance, serviceName, topicName);
        if (conversation == 0) result = DdeResult::ConnectFailed;
    }
    if (serviceName != 0) dde.freeStringHandle(instance, serviceName);
    if (topicName != 0) dde.freeStringHandle(instance, topicName);

    if (result == DdeResult::Delivered) {
        const DdeClient::Handle data =
            dde.createDataHandle(instance, buffer.data(), static_cast<std::uint32_t>(command.size() + 1));
        if (data == 0) {
            result = DdeResult::DataHandleFailed;
        } else if (!dde.clientTransaction(data, conversation, kDdeExecute, timeoutMs)) {
            result = DdeResult::TransactionFailed;
        }
    }
    if (conversation != 0) dde.disconnect(conversation);
    dde.uninitialize(instance);
    return result;
}

}  // namespace vt2
