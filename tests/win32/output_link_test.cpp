// The threaded link to the output server against our real DDE server.
#include <gtest/gtest.h>

#include <windows.h>

#include <set>

#include "outputs/output_sender.h"
#include "outputs/threaded_output_link.h"
#include "platform/win32/dde_output_delivery.h"
#include "platform/win32/win32_dde_client.h"
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

TEST_F(OutputLinkTest, WithoutAServerCommandsAreDroppedAndNeverSentLater) {
    for (int i = 0; i < 10; ++i) link.send("early|" + std::to_string(i));
    link.finish(500);
    EXPECT_TRUE(WaitUntil([&] { return link.dropped() == 10; }));
    ChildProcess server = StartOutputServer(log());
    // A connection is tried at most once a second: keep handing commands over until one arrives.
    int late = 0;
    EXPECT_TRUE(WaitUntil([&] {
        link.send("late|" + std::to_string(late++));
        return link.delivered() > 0;
    }));
    link.finish(2000);
    const std::vector<std::string> lines = ReadLines(log());
    ASSERT_FALSE(lines.empty());
    std::set<std::string> unique(lines.begin(), lines.end());
    EXPECT_EQ(unique.size(), lines.size());
    for (const std::string& line : lines) EXPECT_EQ(line.rfind("late|", 0), 0u) << line;
}

TEST_F(OutputLinkTest, ALostServerIsFoundAgainWhenItComesBack) {
    {
        ChildProcess first = StartOutputServer(log());
        link.send("one");
        link.finish(2000);
        EXPECT_EQ(ReadLines(log()), (std::vector<std::string>{"one"}));
    }  // the first server ends here
    const std::string second = install.file("second.log");
    ChildProcess server = StartOutputServer(second);
    int n = 0;
    EXPECT_TRUE(WaitUntil([&] {
        link.send("again|" + std::to_string(n++));
        link.finish(300);
        return !ReadLines(second).empty();
    }));
    const std::vector<std::string> lines = ReadLines(second);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.front().rfind("again|", 0), 0u);
}

}  // namespace
}  // namespace vt2::test
