// The threaded link to the output server against our real DDE server.
#include <gtest/gtest.h>

#include <windows.h>


#include "outputs/output_sender.h"
#include "outputs/threaded_output_link.h"
#include "adapters/win32/dde_output_delivery.h"
#include "adapters/win32/win32_dde_client.h"
#include "support/win32_harness.h"

namespace vt2::test {
namespace {

// The link as VT2 makes it: its thread's DDE conversation, the blocking way as its fallback.
class OutputLinkTest : public ::testing::Test {
protected:
    std::string log() const { return install.file("server.log"); }
    TempInstall install;
    win32::Win32DdeClient dde;
    BlockingOutputLink blocking{dde};
    std::vector<std::string> notes;
    ThreadedOutputLink link{&win32::MakeDdeOutputDelivery, blocking, [this](const std::string& n) { notes.push_back(n); }};
};

TEST_F(OutputLinkTest, EveryCommandArrivesOnceInOrder) {
    ChildProcess server = StartOutputServer(log());
    std::vector<std::string> sent;
    for (int i = 0; i < 300; ++i) {
        sent.push_back("statechange|1|lamp|" + std::to_string(i));
        link.send(sent.back());
    }
    link.send("mamestop|");
    sent.push_back("mamestop|");
    EXPECT_TRUE(WaitUntil([&] { return ReadLines(log()).size() >= sent.size(); }));
    EXPECT_EQ(ReadLines(log()), sent);
    EXPECT_EQ(link.delivered(), sent.size());
    EXPECT_EQ(link.dropped(), 0u);
}

TEST_F(OutputLinkTest, FinishWaitsForTheLastCommand) {
    ChildProcess server = StartOutputServer(log());
    link.send("mamestart|demo|PC");
    link.send("mamestop|");
    link.finish(5000);
    EXPECT_EQ(ReadLines(log()), (std::vector<std::string>{"mamestart|demo|PC", "mamestop|"}));
}

TEST_F(OutputLinkTest, AServerThatComesUpLateGetsTheStartAndTheCurrentValuesOnce) {
    for (const char* command : {"mamestart|demo|PC", "statechange|1|lamp|1", "statechange|2|recoil|3",
                                "statechange|1|lamp|0"}) {
        link.send(command);
    }
    link.finish(500);
    EXPECT_EQ(link.delivered(), 0u);
    ChildProcess server = StartOutputServer(log());
    // Nothing new is sent: the link tries again on its own (at most once a second).
    const std::vector<std::string> current{"mamestart|demo|PC", "statechange|1|lamp|0", "statechange|2|recoil|3"};
    EXPECT_TRUE(WaitUntil([&] { return ReadLines(log()).size() >= current.size(); }));
    link.send("statechange|2|recoil|4");
    link.finish(2000);
    std::vector<std::string> expected = current;
    expected.push_back("statechange|2|recoil|4");
    EXPECT_EQ(ReadLines(log()), expected);
}

TEST_F(OutputLinkTest, ALostServerIsFoundAgainWhenItComesBackAndGetsTheGameAgain) {
    {
        ChildProcess first = StartOutputServer(log());
        link.send("mamestart|demo|PC");
        link.send("statechange|1|lamp|1");
        link.finish(2000);
        EXPECT_EQ(ReadLines(log()), (std::vector<std::string>{"mamestart|demo|PC", "statechange|1|lamp|1"}));
    }  // the first server ends here
    const std::string second = install.file("second.log");
    ChildProcess server = StartOutputServer(second);
    int n = 0;
    EXPECT_TRUE(WaitUntil([&] {
        link.send("statechange|2|recoil|" + std::to_string(n++));
        link.finish(300);
        return ReadLines(second).size() >= 3;
    }));
    const std::vector<std::string> lines = ReadLines(second);
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines[0], "mamestart|demo|PC");
    EXPECT_EQ(lines[1], "statechange|1|lamp|1");
    EXPECT_EQ(lines[2].rfind("statechange|2|recoil|", 0), 0u);
}

}  // namespace
}  // namespace vt2::test
