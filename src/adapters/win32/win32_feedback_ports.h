#pragma once
// The guns' ports on Windows: COM N through the serial functions, and the recoil servers of some
// guns' own software over TCP, written from a thread of this object's own (started with the first
// write). A port that cannot be opened, or goes away, is said once and opened again when a write
// finds it back, at most once a second.

#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "outputs/feedback_send_queue.h"
#include "outputs/gun_port_names.h"
#include "platform/feedback_ports.h"

namespace vt2::win32 {

class BridgeSerialClient;

class Win32FeedbackPorts final : public FeedbackPorts {
public:
    // recoilServers: recoil server N's "host:port" (vt2.ini [Feedback] TCP1=127.0.0.1:13000);
    // names: the stable names of COM N (vt2.ini [Feedback] COM5=/dev/serial/by-id/...), looked up
    // each time the port is opened; notes: what to say first (names that could not be taken).
    // bridgePort: the Linux bridge's port (under Wine a Linux path is opened by that bridge when
    // it answers, else through Wine).
    explicit Win32FeedbackPorts(std::map<int, std::string> recoilServers, std::map<int, GunPortName> names = {},
                                std::vector<std::string> notes = {}, int bridgePort = 0);
    ~Win32FeedbackPorts() override;
    Win32FeedbackPorts(const Win32FeedbackPorts&) = delete;
    Win32FeedbackPorts& operator=(const Win32FeedbackPorts&) = delete;

    void send(const FeedbackWrite& write) override;
    void flush(unsigned maxWaitMs) override;
    std::vector<FeedbackPortStatus> status() override;
    std::vector<std::string> takeNotes() override;
    std::vector<FeedbackGun> takeReturnedGuns() override;

    struct Port;

private:
    void run();
    void carryOut(const FeedbackWrite& write);
    Port& port(const FeedbackWrite& write);
    // A Linux path under Wine, opened by the Linux bridge when one answers: true when it did;
    // false and a problem when it could not; false and no problem when no bridge answers (Wine
    // then opens the path itself).
    bool openByTheBridge(Port& p, std::string& problem);
    bool writeByTheBridge(Port& p, const std::string& bytes, std::string& problem);

    std::map<int, std::string> recoilServers_;
    std::map<int, GunPortName> names_;
    int bridgePort_ = 0;
    std::unique_ptr<BridgeSerialClient> bridge_;  // made by the writer thread when first needed
    std::map<int, std::string> bridgeProblems_;   // what the bridge said of a port it no longer holds
    bool bridgeSilent_ = false;                   // the bridge answered an open with nothing
    std::mutex mutex_;
    std::condition_variable changed_;
    FeedbackSendQueue queue_;
    bool busy_ = false;  // a write is being carried out
    bool stopping_ = false;
    std::vector<std::string> notes_;
    std::vector<FeedbackGun> returned_;
    std::map<std::pair<bool, int>, std::unique_ptr<Port>> ports_;  // (recoil server?, N)
    bool socketsStarted_ = false;
    std::thread thread_;
};

}  // namespace vt2::win32
