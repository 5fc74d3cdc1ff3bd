#include "outputs/output_sender.h"

namespace vt2 {

bool OutputSender::ensureConversation() {
    if (conversation_ != 0) return true;
    const std::uint64_t now = clock_.nowMs();
    if (lastFailedConnectMs_ && now - *lastFailedConnectMs_ < kReconnectIntervalMs) return false;
    if (instance_ == 0) instance_ = dde_.initialize(kDdeClientOnlyFlags);
    if (instance_ != 0) conversation_ = ConnectDde(dde_, instance_, kOutputService, kOutputTopic).conversation;
    if (conversation_ == 0) {
        lastFailedConnectMs_ = now;
        return false;
    }
    lastFailedConnectMs_.reset();
    return true;
}

bool OutputSender::deliver(const std::string& command) {
    if (!FitsDdeBuffer(command)) return false;  // a cut command would carry a wrong value
    if (!ensureConversation()) return false;
    if (ExecuteDde(dde_, instance_, conversation_, command, kConversationTimeoutMs) == DdeResult::Delivered) return true;
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
