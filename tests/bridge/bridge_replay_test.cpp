// vt2bridge itself, playing recordings of two devices to clients on the loopback interface, as
// VT2 under Wine would connect to it: each proving first that it can read the user's secret.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <optional>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "input/bridge_handshake.h"

extern char** environ;

namespace vt2 {
namespace {

const std::string kGun = std::string(VT2_EVEMU_FIXTURES) + "/gun_absolute.evemu";
const std::string kMouse = std::string(VT2_EVEMU_FIXTURES) + "/mouse_relative.evemu";

// A runtime folder of the tests' own (mode 0700, as the user's is), where the bridges they start
// keep their secrets.
const std::string& RuntimeFolder() {
    static const std::string folder = [] {
        char path[] = "/tmp/vt2-bridge-tests-XXXXXX";
        const char* made = mkdtemp(path);
        setenv("XDG_RUNTIME_DIR", made ? made : "", 1);
        return std::string(made ? made : "");
    }();
    return folder;
}

std::string SecretFile(int port) { return RuntimeFolder() + "/.vt2bridge-" + std::to_string(port) + ".secret"; }

std::optional<BridgeSecret> ReadSecret(int port) {
    std::ifstream in(SecretFile(port));
    std::stringstream text;
    text << in.rdbuf();
    return ParseBridgeSecret(text.str());
}

// The bridge on a free port; ended (and waited for) when the object goes.
class Bridge {
public:
    explicit Bridge(std::vector<std::string> arguments) {
        RuntimeFolder();
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
        end();
        if (output_) std::fclose(output_);
    }
    void end() {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
        }
        pid_ = -1;
    }
    // Whether it ended by itself within timeoutMs.
    bool endsWithin(int timeoutMs) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        while (std::chrono::steady_clock::now() < end) {
            if (waitpid(pid_, nullptr, WNOHANG) == pid_) {
                pid_ = -1;
                return true;
            }
            poll(nullptr, 0, 20);
        }
        return false;
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

// A client reading the bridge's messages, as VT2 does (after the handshake, with the secret it
// is given), until it has count of them.
class Client {
public:
    Client(int port, std::optional<BridgeSecret> secret) : handshake_(secret, Nonce()) {
        fd_ = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(static_cast<std::uint16_t>(port));
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        connected_ = connect(fd_, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    }
    explicit Client(int port) : Client(port, ReadSecret(port)) {}
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
            if (got <= 0) {
                closed_ = true;
                break;
            }
            received_ += static_cast<std::size_t>(got);
            const auto step = handshake_.take(buffer, static_cast<std::size_t>(got));
            if (!step.reply.empty()) send(fd_, step.reply.data(), step.reply.size(), MSG_NOSIGNAL);
            reader_.take(step.passOn.data(), step.passOn.size(), messages);
        }
        return messages;
    }
    // Sends these bytes instead of what the handshake would.
    void sendRaw(const std::vector<std::uint8_t>& bytes) { send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL); }
    std::uint64_t malformed() const { return reader_.malformed(); }
    bool trusted() const { return handshake_.state() == HandshakeState::Trusted; }
    bool closedByTheBridge() const { return closed_; }
    std::size_t bytesReceived() const { return received_; }

private:
    static BridgeNonce Nonce() {
        BridgeNonce n{};
        for (std::size_t i = 0; i < n.size(); ++i) n[i] = static_cast<std::uint8_t>(std::rand());
        return n;
    }
    int fd_ = -1;
    bool connected_ = false;
    bool closed_ = false;
    std::size_t received_ = 0;
    BridgeClientHandshake handshake_;
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

// Only who can read the user's secret gets anything: a client with another secret, one that
// sends what is no proof, one that sends nothing at all get the challenge, then are closed; a
// genuine client beside them gets every device and report.
TEST(BridgeReplay, AConnectionWithoutTheSecretGetsNothingButTheChallenge) {
    Bridge bridge({"--port", "0", "--replay", kMouse});
    const int port = bridge.port();
    ASSERT_GT(port, 0);
    struct stat file{};
    ASSERT_EQ(stat(SecretFile(port).c_str(), &file), 0);
    EXPECT_EQ(file.st_mode & 0777, 0600u);

    BridgeSecret wrong = *ReadSecret(port);
    wrong[0] ^= 1;
    Client guessing(port, wrong), silent(port, std::nullopt), noisy(port, std::nullopt), genuine(port);
    noisy.sendRaw(std::vector<std::uint8_t>(100, 'x'));
    EXPECT_EQ(genuine.read(7).size(), 7u);
    EXPECT_TRUE(genuine.trusted());
    const std::size_t challenge = EncodeBridgeMessage(BridgeChallenge{}).size();
    for (Client* c : {&guessing, &silent, &noisy}) {
        EXPECT_TRUE(c->read(1, 8000).empty());
        EXPECT_TRUE(c->closedByTheBridge());  // silent: after its 3 s
        EXPECT_EQ(c->bytesReceived(), challenge);
        EXPECT_FALSE(c->trusted());
    }
    bridge.end();
    EXPECT_NE(stat(SecretFile(port).c_str(), &file), 0) << "the secret is taken away when the bridge ends";
}

// A run and the configuration tool at once: both get the devices and every report; the replay
// starts over for the first alone; with --exit-with-client the bridge ends when the last goes,
// and not for a connection that never proved itself.
TEST(BridgeReplay, TwoClientsAtOnceGetEveryReportAndTheBridgeEndsWithTheLast) {
    Bridge bridge({"--port", "0", "--exit-with-client", "--replay", kMouse});
    const int port = bridge.port();
    ASSERT_GT(port, 0);
    // The mouse's five frames come 0, 20, 40, 140 and 160 ms after the run's start.
    auto run = std::make_unique<Client>(port);
    std::vector<BridgeMessage> seen = run->read(2);  // the mouse and the list's end (perhaps a frame)
    ASSERT_GE(seen.size(), 2u);
    auto tool = std::make_unique<Client>(port);
    const auto joined = tool->read(3);  // the mouse, the list's end, what came since
    ASSERT_GE(joined.size(), 2u);
    EXPECT_TRUE(std::holds_alternative<BridgeDeviceAdded>(joined[0]));
    const auto rest = run->read(7 - seen.size());
    seen.insert(seen.end(), rest.begin(), rest.end());
    ASSERT_EQ(ReportsOf(seen, 1).size(), 5u) << "the run missed nothing when the tool came";
    EXPECT_EQ(ReportsOf(seen, 1).front().dx, 10);
    EXPECT_EQ(ReportsOf(seen, 1).back().dx, -3);
    const auto toolsRest = tool->read(10, 1000);
    EXPECT_EQ(ReportsOf(toolsRest, 1).back().dx, -3) << "the tool got the frames from its joining on";

    {
        Client stranger(port, std::nullopt);
        stranger.read(1, 200);
    }
    tool.reset();
    EXPECT_FALSE(bridge.endsWithin(500)) << "the run is still connected";
    run.reset();
    EXPECT_TRUE(bridge.endsWithin(5000));
}

// A pseudo-terminal standing for a gun: what the bridge writes to its slave side arrives here.
class PtyGun {
public:
    PtyGun() {
        master_ = posix_openpt(O_RDWR | O_NOCTTY);
        if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0) return;
        const char* name = ptsname(master_);
        slave_ = name ? name : "";
    }
    ~PtyGun() { unplug(); }
    const std::string& path() const { return slave_; }
    // What arrived within timeoutMs, once count bytes are there.
    std::string received(std::size_t count, int timeoutMs = 5000) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        while (bytes_.size() < count && std::chrono::steady_clock::now() < end) {
            pollfd wait{master_, POLLIN, 0};
            if (poll(&wait, 1, 50) <= 0) continue;
            char buffer[256];
            const ssize_t got = ::read(master_, buffer, sizeof buffer);
            if (got > 0) bytes_.append(buffer, static_cast<std::size_t>(got));
        }
        return bytes_;
    }
    void unplug() {
        if (master_ >= 0) close(master_);
        master_ = -1;
    }

private:
    int master_ = -1;
    std::string slave_;
    std::string bytes_;
};

std::vector<BridgeSerialState> StatesOf(const std::vector<BridgeMessage>& messages) {
    std::vector<BridgeSerialState> states;
    for (const auto& m : messages) {
        if (const auto* s = std::get_if<BridgeSerialState>(&m)) states.push_back(*s);
    }
    return states;
}

// The guns' serial ports by their Linux names, opened by the bridge for VT2: the bytes arrive as
// sent; what is no terminal is never opened; a gun pulled out is said, and the bridge goes on.
TEST(BridgeSerial, AGunsPortIsOpenedByItsPathWrittenToAndSaidWhenItGoes) {
    Bridge bridge({"--replay", kMouse, "--port", "0"});
    const int port = bridge.port();
    ASSERT_GT(port, 0);
    Client client(port);
    ASSERT_EQ(client.read(7).size(), 7u);  // the handshake, the mouse and its frames
    PtyGun gun;
    ASSERT_FALSE(gun.path().empty());
    const std::string file = RuntimeFolder() + "/not-a-gun";
    std::ofstream(file) << "unchanged";
    auto send = [&](const BridgeMessage& m) { client.sendRaw(EncodeBridgeMessage(m)); };
    send(BridgeSerialOpen{25, 115200, 'N', 8, 1, gun.path()});
    send(BridgeSerialOpen{26, 9600, 'N', 8, 1, file});
    send(BridgeSerialOpen{27, 9600, 'N', 8, 1, "/dev/serial/by-id/no-such-gun"});
    send(BridgeSerialOpen{28, 9600, 'N', 8, 1, RuntimeFolder()});
    send(BridgeSerialWrite{25, "S"});
    send(BridgeSerialWrite{26, "S"});  // not open: nothing, and nothing more said
    send(BridgeSerialWrite{25, "F0x1"});
    const std::vector<BridgeSerialState> states = StatesOf(client.read(4));
    ASSERT_EQ(states.size(), 4u);
    EXPECT_EQ(states[0], (BridgeSerialState{25, true, ""}));
    EXPECT_EQ(states[1], (BridgeSerialState{26, false, file + " is no serial port"}));
    EXPECT_EQ(states[2], (BridgeSerialState{27, false, "/dev/serial/by-id/no-such-gun cannot be opened: No such file or directory"}));
    EXPECT_EQ(states[3], (BridgeSerialState{28, false, RuntimeFolder() + " is no serial port"}));
    EXPECT_EQ(gun.received(5), "SF0x1");
    std::ifstream kept(file);
    std::string text;
    std::getline(kept, text);
    EXPECT_EQ(text, "unchanged");

    gun.unplug();
    send(BridgeSerialWrite{25, "E"});
    const std::vector<BridgeSerialState> gone = StatesOf(client.read(1));
    ASSERT_EQ(gone.size(), 1u);
    EXPECT_EQ(gone[0].port, 25);
    EXPECT_FALSE(gone[0].open);
    EXPECT_NE(gone[0].problem.find("went away"), std::string::npos) << gone[0].problem;
    // The gun gone costs the bridge nothing: it goes on for its clients.
    EXPECT_FALSE(bridge.endsWithin(300));
    Client another(port);
    EXPECT_EQ(another.read(2).size(), 2u);  // the mouse, and that the list is whole
    EXPECT_EQ(client.malformed(), 0u);
}

TEST(BridgeReplay, WhatIsNoRecordingIsRefused) {
    Bridge bridge({"--replay", std::string(VT2_EVEMU_FIXTURES) + "/../../unit/bridge_protocol_test.cpp", "--port", "0"});
    EXPECT_EQ(bridge.firstLine(), "");  // it ended without listening
}

}  // namespace
}  // namespace vt2
