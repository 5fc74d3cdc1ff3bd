// The network output server against real sockets under Wine: clients that come early and late,
// one that never reads, one that drops at once, and a port that is taken.
#include <winsock2.h>
#include <ws2tcpip.h>

#include <gtest/gtest.h>

#include <memory>

#include <atomic>
#include <chrono>
#include <thread>
#include <string>

#include "adapters/win32/network_outputs.h"
#include "support/win32_harness.h"

namespace vt2::test {
namespace {

class Winsock {
public:
    Winsock() { WSAStartup(MAKEWORD(2, 2), &data_); }
    ~Winsock() { WSACleanup(); }

private:
    WSADATA data_{};
};

// A client socket connected to the server on this machine; reads with a timeout.
class Client {
public:
    explicit Client(std::uint16_t port) {
        socket_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(port);
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        connected_ = connect(socket_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
        DWORD timeout = 200;
        setsockopt(socket_, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeout), sizeof timeout);
    }
    ~Client() { closesocket(socket_); }
    bool connected() const { return connected_; }
    // Reads until text has arrived (or the server closed, or 20 s passed); all read so far.
    const std::string& readUntil(const std::string& text) {
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (received_.find(text) == std::string::npos && !closed_ && std::chrono::steady_clock::now() < until) {
            char buffer[4096];
            const int got = recv(socket_, buffer, sizeof buffer, 0);
            if (got > 0) received_.append(buffer, static_cast<std::size_t>(got));
            if (got == 0) closed_ = true;
        }
        return received_;
    }
    bool closed() const { return closed_; }
    SOCKET handle() const { return socket_; }

private:
    SOCKET socket_ = INVALID_SOCKET;
    bool connected_ = false;
    bool closed_ = false;
    std::string received_;
};

class NetworkOutputs : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(server.open()) << reports.front(); }
    Winsock winsock;
    std::vector<std::string> reports;
    win32::Win32NetworkOutputs server{"127.0.0.1", 0, [this](const std::string& r) { reports.push_back(r); }};
    const std::map<int, std::string> names{{1, "lamp"}, {2, "recoil"}};
};

TEST_F(NetworkOutputs, EarlyAndLateClientsAreGreetedToldEachChangeAndTheEnd) {
    Client early(server.port());
    ASSERT_TRUE(early.connected());
    server.update(1, 5);  // before the start: no game to tell of yet
    server.start("demo", names);
    EXPECT_EQ(early.readUntil("mame_start = demo\r"), "mame_start = demo\r");
    server.update(1, 1);
    Client late(server.port());
    ASSERT_TRUE(late.connected());
    EXPECT_EQ(late.readUntil("mame_start = demo\r"), "mame_start = demo\r");
    server.update(2, -3);
    server.update(7, 1);  // an id without a name is called by its number
    server.stop(500);
    EXPECT_EQ(early.readUntil("mame_stop = 1\r"),
              "mame_start = demo\rlamp = 1\rrecoil = -3\routput7 = 1\rmame_stop = 1\r");
    EXPECT_EQ(late.readUntil("mame_stop = 1\r"), "mame_start = demo\rrecoil = -3\routput7 = 1\rmame_stop = 1\r");
    late.readUntil("never");
    EXPECT_TRUE(late.closed());  // the server closes after its goodbye
    EXPECT_TRUE(reports.empty());
}

TEST_F(NetworkOutputs, AClientThatNeverReadsOrDropsAtOnceCostsTheOthersNothing) {
    Client stalled(server.port());  // connects and never reads
    { Client dropped(server.port()); }  // connects and goes at once
    Client reader(server.port());
    ASSERT_TRUE(stalled.connected());
    ASSERT_TRUE(reader.connected());
    server.start("demo", names);
    ASSERT_NE(reader.readUntil("mame_start = demo\r").find("mame_start"), std::string::npos);
    // Far more than the stalled client's socket holds: it is let go, the other gets everything,
    // and no call waits for either.
    const auto before = std::chrono::steady_clock::now();
    std::string expected;
    for (int i = 0; i < 60000; ++i) {
        server.update(1, i);
        expected += "lamp = " + std::to_string(i) + "\r";
    }
    const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - before);
    std::printf("60000 updates handed over in %lld ms\n", static_cast<long long>(took.count()));
    const std::string& got = reader.readUntil("lamp = 59999\r");
    EXPECT_EQ(got, "mame_start = demo\r" + expected);
    server.stop(500);
}

// Connections that only sit there (more than the server keeps at once) lock no real client out:
// the one that comes last is greeted and told every change.
TEST_F(NetworkOutputs, IdleConnectionsBeyondTheBoundLockNoRealClientOut) {
    std::vector<std::unique_ptr<Client>> idle;
    for (std::size_t i = 0; i < win32::Win32NetworkOutputs::kMaxClients + 40; ++i) {
        idle.push_back(std::make_unique<Client>(server.port()));
        ASSERT_TRUE(idle.back()->connected()) << i;
    }
    server.start("demo", names);
    Client reader(server.port());
    ASSERT_TRUE(reader.connected());
    EXPECT_NE(reader.readUntil("mame_start = demo\r").find("mame_start = demo\r"), std::string::npos);
    server.update(2, 7);
    EXPECT_NE(reader.readUntil("recoil = 7\r").find("recoil = 7\r"), std::string::npos) << reader.readUntil("");
    // The oldest made room: it was let go.
    EXPECT_EQ(idle.front()->readUntil("never"), "");
    EXPECT_TRUE(idle.front()->closed());
    server.stop(500);
}

TEST_F(NetworkOutputs, AClientThatFloodsTheServerWithGarbageCostsTheOthersNothing) {
    Client reader(server.port());
    ASSERT_TRUE(reader.connected());
    server.start("demo", names);
    ASSERT_NE(reader.readUntil("mame_start = demo\r").find("mame_start"), std::string::npos);
    std::atomic<bool> done{false};
    std::thread flooder([&] {
        Client flood(server.port());
        u_long nonBlocking = 1;  // as fast as the server takes it, never waiting in a send
        ioctlsocket(flood.handle(), FIONBIO, &nonBlocking);
        const std::string junk(65536, '\xFF');
        while (!done) send(flood.handle(), junk.data(), static_cast<int>(junk.size()), 0);
    });
    for (int i = 0; i < 1000; ++i) server.update(2, i);
    const std::string& got = reader.readUntil("recoil = 999\r");
    done = true;
    flooder.join();
    EXPECT_NE(got.find("recoil = 999\r"), std::string::npos);
    server.stop(500);
}

TEST(NetworkOutputsPort, APortTakenOrAnAddressThatIsNoneIsReportedOnce) {
    Winsock winsock;
    std::vector<std::string> reports;
    win32::Win32NetworkOutputs first("127.0.0.1", 0, [&](const std::string& r) { reports.push_back(r); });
    ASSERT_TRUE(first.open());
    win32::Win32NetworkOutputs second("127.0.0.1", first.port(), [&](const std::string& r) { reports.push_back(r); });
    EXPECT_FALSE(second.open());
    second.start("demo", {});  // harmless without a socket
    second.update(1, 1);
    second.stop(100);
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0], "Outputs: the network outputs cannot listen on 127.0.0.1:" + std::to_string(first.port()) +
                              " (the port is taken by another program); they are off for this run");
    win32::Win32NetworkOutputs nowhere("localhost", 8000, [&](const std::string& r) { reports.push_back(r); });
    EXPECT_FALSE(nowhere.open());
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_NE(reports[1].find("not an IPv4 address"), std::string::npos);
}

// Opened to every interface at the player's word, and said so where the player looks.
TEST(NetworkOutputsBind, AServerOnEveryInterfaceSaysSoWhenItOpens) {
    std::vector<std::string> reports;
    win32::Win32NetworkOutputs everywhere("0.0.0.0", 0, [&](const std::string& r) { reports.push_back(r); });
    ASSERT_TRUE(everywhere.open());
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].rfind("Outputs: the network outputs listen on 0.0.0.0:" + std::to_string(everywhere.port()) +
                                   ", beyond this machine",
                               0),
              0u)
        << reports[0];
    everywhere.stop(0);
}

}  // namespace
}  // namespace vt2::test
