#include "memory/output_sender.h"

#include <array>

namespace vt2 {

bool OutputSender::ensureConversation() {
    if (conversation_ != 0) return true;
    const std::uint64_t now = clock_.nowMs();
    if (lastFailedConnectMs_ && now - *lastFailedConnectMs_ < kReconnectIntervalMs) return false;
    if (instance_ == 0) instance_ = dde_.initialize(kDdeClientOnlyFlags);
    if (instance_ != 0) {
        const DdeClient::Handle service = dde_.createStringHandle(instance_, kOutputService, kDdeCodePageAnsi);
        const DdeClient::Handle topic = dde_.createStringHandle(instance_, kOutputTopic, kDdeCodePageAnsi);
        if (service != 0 && topic != 0) conversation_ = dde_.connect(instance_, service, topic);
        if (service != 0) dde_.freeStringHandle(instance_, service);
        if (topic != 0) dde_.freeStringHandle(instance_, topic);
    }
    if (conversation_ == 0) {
        lastFailedConnectMs_ = now;
        return false;
    }
    lastFailedConnectMs_.reset();
    return true;
}

bool OutputSender::deliver(const std::string& command) {
    if (command.size() + 1 > kDdeCommandBufferBytes) return false;  // a cut command would carry a wrong value
    if (!ensureConversation()) return false;
    std::array<std::uint8_t, kDdeCommandBufferBytes> buffer{};
    for (std::size_t i = 0; i < command.size(); ++i) buffer[i] = static_cast<std::uint8_t>(command[i]);
    const DdeClient::Handle data =
        dde_.createDataHandle(instance_, buffer.data(), static_cast<std::uint32_t>(command.size() + 1));
    if (data != 0 && dde_.clientTransaction(data, conversation_, kDdeExecute, kConversationTimeoutMs)) return true;
    // The conversation may be gone: the next command starts over with a new instance and a new
    // conversation (an instance whose server died under it does not carry new ones). This command
    // is not sent again, since the server may have taken it after all.
    close();
    return false;
}

void OutputSender::close() {
    if (conversation_ != 0) dde_.disconnect(conversation_);
    conversation_ = 0;
    if (instance_ != 0) dde_.uninitialize(instance_);
    instance_ = 0;
}

void BlockingOutputLink::send(const std::string& command) {
    DdeExecute(dde_, kOutputService, kOutputTopic, command, kBlockingTimeoutMs);
}

}  // namespace vt2
