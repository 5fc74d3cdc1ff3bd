// The threaded link to the output server against our real DDE server.
#include <gtest/gtest.h>

#include <windows.h>

#include <set>

#include "platform/win32/threaded_output_link.h"
#include "support/win32_harness.h"

namespace vt2::test {
namespace {

class OutputLinkTest : public ::testing::Test {
protected:
    std::string log() const { return install.file("server.log"); }
    TempInstall install;
};

TEST_F(OutputLinkTest, EveryCommandArrivesOnceInOrder) {
    ChildProcess server = StartOutputServer(log());
    win32::ThreadedOutputLink link;
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
    win32::ThreadedOutputLink link;
    link.send("mamestart|demo|PC");
    link.send("mamestop|");
    link.finish(5000);
    EXPECT_EQ(ReadLines(log()), (std::vector<std::string>{"mamestart|demo|PC", "mamestop|"}));
}

TEST_F(OutputLinkTest, WithoutAServerCommandsAreDroppedAndNeverSentLater) {
    win32::ThreadedOutputLink link;
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
    win32::ThreadedOutputLink link;
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
