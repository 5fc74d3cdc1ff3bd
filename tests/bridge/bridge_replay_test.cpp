// vt2bridge itself, playing recordings of two devices to a client on the loopback interface, as
// VT2 under Wine would connect to it.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "input/bridge_protocol.h"

extern char** environ;

namespace vt2 {
namespace {

const std::string kGun = std::string(VT2_EVEMU_FIXTURES) + "/gun_absolute.evemu";
const std::string kMouse = std::string(VT2_EVEMU_FIXTURES) + "/mouse_relative.evemu";

// The bridge on a free port; ended (and waited for) when the object goes.
class Bridge {
public:
    explicit Bridge(std::vector<std::string> arguments) {
        int out[2];
        if (pipe(out) != 0) return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], 1);
        posix_spawn_file_actions_addclose(&actions, out[0]);
        arguments.insert(arguments.begin(), VT2_BRIDGE_PROGRAM);
        std::vector<char*> argv;
        for (std::string& a : arguments) argv.push_back(a.data());
        argv.push_back(nullptr);
        if (posix_spawn(&pid_, VT2_BRIDGE_PROGRAM, &actions, nullptr, argv.data(), environ) != 0) pid_ = -1;
        posix_spawn_file_actions_destroy(&actions);
        close(out[1]);
        output_ = fdopen(out[0], "r");
    }
    ~Bridge() {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
        }
        if (output_) std::fclose(output_);
    }
    // Its first line, which names the port it listens on; nothing when it ended before.
    std::string firstLine() {
        char line[256] = {};
        return output_ && std::fgets(line, sizeof line, output_) ? line : "";
    }
    int port() {
        const std::string line = firstLine();
        const auto colon = line.rfind(':');
        return colon == std::string::npos ? -1 : std::atoi(line.c_str() + colon + 1);
    }

private:
    pid_t pid_ = -1;
    FILE* output_ = nullptr;
};

// A client reading the bridge's messages, as VT2 does, until it has count of them.
class Client {
public:
    explicit Client(int port) {
        fd_ = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(static_cast<std::uint16_t>(port));
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        connected_ = connect(fd_, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    }
    ~Client() { close(fd_); }
    bool connected() const { return connected_; }
    std::vector<BridgeMessage> read(std::size_t count, int timeoutMs = 10000) {
        std::vector<BridgeMessage> messages;
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        while (messages.size() < count && std::chrono::steady_clock::now() < end) {
            pollfd wait{fd_, POLLIN, 0};
            if (poll(&wait, 1, 100) <= 0) continue;
            std::uint8_t buffer[4096];
            const ssize_t got = recv(fd_, buffer, sizeof buffer, 0);
            if (got <= 0) break;
            reader_.take(buffer, static_cast<std::size_t>(got), messages);
        }
        return messages;
    }
    std::uint64_t malformed() const { return reader_.malformed(); }

private:
    int fd_ = -1;
    bool connected_ = false;
    BridgeStreamReader reader_;
};

std::vector<BridgeReport> ReportsOf(const std::vector<BridgeMessage>& messages, std::uint32_t device) {
    std::vector<BridgeReport> reports;
    for (const auto& m : messages) {
        if (const auto* r = std::get_if<BridgeReport>(&m); r && r->device == device) reports.push_back(*r);
    }
    return reports;
}

TEST(BridgeReplay, TwoRecordedDevicesArriveApartWithTheirNamesAxesAndFrames) {
    Bridge bridge({"--replay", kGun, kMouse, "--port", "0"});
    const int port = bridge.port();
    ASSERT_GT(port, 0);
    Client client(port);
    ASSERT_TRUE(client.connected());
    // 2 devices, the list's end, 7 frames of the gun, 5 of the mouse.
    const std::vector<BridgeMessage> messages = client.read(15);
    ASSERT_EQ(messages.size(), 15u);
    EXPECT_TRUE(std::holds_alternative<BridgeDevicesListed>(messages[2]));
    EXPECT_EQ(client.malformed(), 0u);

    const auto& gun = std::get<BridgeDeviceAdded>(messages[0]);
    EXPECT_EQ(gun.name, "Test Light Gun");
    EXPECT_EQ(gun.vendor, 0x16C0);
    EXPECT_EQ(gun.product, 0x0F38);
    EXPECT_EQ(gun.path, kGun);
    EXPECT_TRUE(gun.absolute);
    EXPECT_EQ(gun.x, (AxisRange{100, 4195}));  // ranges as recorded, not from 0
    EXPECT_EQ(gun.y, (AxisRange{-2048, 2047}));
    const auto& mouse = std::get<BridgeDeviceAdded>(messages[1]);
    EXPECT_EQ(mouse.name, "Test Mouse Gun");
    EXPECT_TRUE(mouse.relative);
    EXPECT_FALSE(mouse.absolute);

    const std::vector<BridgeReport> shots = ReportsOf(messages, gun.device);
    ASSERT_EQ(shots.size(), 7u);
    EXPECT_EQ(std::make_pair(shots[1].x, shots[1].y), std::make_pair(4195, 2047));
    EXPECT_EQ(shots[2].buttons, kBridgeLeft);
    EXPECT_EQ(shots[3].buttons, 0);
    EXPECT_EQ(std::make_pair(shots[4].x, shots[4].y), std::make_pair(100, -2048));
    EXPECT_EQ(shots[5].buttons, kBridgeRight);
    for (std::size_t i = 0; i < shots.size(); ++i) EXPECT_EQ(shots[i].sequence, i + 1);

    const std::vector<BridgeReport> moves = ReportsOf(messages, mouse.device);
    ASSERT_EQ(moves.size(), 5u);
    EXPECT_EQ(std::make_pair(moves[0].dx, moves[0].dy), std::make_pair(10, -5));
    EXPECT_EQ(moves[2].buttons, kBridgeSide);
    EXPECT_EQ(moves[4].dx, -3);
}

TEST(BridgeReplay, EachNewConnectionPlaysTheRecordingsFromTheirStart) {
    Bridge bridge({"--port", "0", "--replay", kMouse});
    const int port = bridge.port();
    ASSERT_GT(port, 0);
    for (int connection = 0; connection < 2; ++connection) {
        Client client(port);
        ASSERT_TRUE(client.connected());
        const std::vector<BridgeMessage> messages = client.read(7);
        ASSERT_EQ(messages.size(), 7u) << "connection " << connection;
        EXPECT_EQ(ReportsOf(messages, 1).front().sequence, 1u);
        EXPECT_EQ(ReportsOf(messages, 1).front().dx, 10);
    }
}

TEST(BridgeReplay, AnUnpluggedDeviceGoesLettingGoOfItsButtonsAndComesBackUnderItsNumber) {
    // The side button is held from 40 ms to 140 ms; the mouse is gone from 100 ms to 300 ms.
    Bridge bridge({"--port", "0", "--replay", kMouse, "--unplug", kMouse, "100", "300"});
    const int port = bridge.port();
    ASSERT_GT(port, 0);
    Client client(port);
    ASSERT_TRUE(client.connected());
    // Added, listed, 3 frames, the side button let go, removed, added again.
    const std::vector<BridgeMessage> messages = client.read(8);
    ASSERT_EQ(messages.size(), 8u);
    EXPECT_EQ(std::get<BridgeReport>(messages[4]).buttons, kBridgeSide);
    EXPECT_EQ(std::get<BridgeReport>(messages[5]).buttons, 0);
    EXPECT_EQ(std::get<BridgeDeviceRemoved>(messages[6]).device, 1u);
    EXPECT_EQ(std::get<BridgeDeviceAdded>(messages[7]).device, 1u);
    EXPECT_EQ(std::get<BridgeDeviceAdded>(messages[7]).path, kMouse);
}

TEST(BridgeReplay, WhatIsNoRecordingIsRefused) {
    Bridge bridge({"--replay", std::string(VT2_EVEMU_FIXTURES) + "/../../unit/bridge_protocol_test.cpp", "--port", "0"});
    EXPECT_EQ(bridge.firstLine(), "");  // it ended without listening
}

}  // namespace
}  // namespace vt2
