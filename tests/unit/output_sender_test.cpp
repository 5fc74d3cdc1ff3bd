#include <gtest/gtest.h>

#include <algorithm>

#include "engine/outputs_step.h"
#include "outputs/output_sender.h"
#include "support/fake_platform.h"

namespace vt2::test {
namespace {

class Sender : public ::testing::Test {
protected:
    std::size_t count(const std::string& call) const {
        return static_cast<std::size_t>(std::count(sys.dde.calls.begin(), sys.dde.calls.end(), call));
    }
    std::size_t connects() const {
        return static_cast<std::size_t>(std::count_if(sys.dde.calls.begin(), sys.dde.calls.end(),
                                                      [](const std::string& c) { return c.rfind("connect", 0) == 0; }));
    }
    FakeSystem sys;
    FakeSteadyClock clock;
    OutputSender sender{sys.dde, clock};
};

TEST_F(Sender, OneConversationForTheRunCommandsInOrder) {
    EXPECT_TRUE(sender.deliver("mamestart|demo|PC"));
    EXPECT_TRUE(sender.deliver("statechange|1|lamp|1"));
    EXPECT_TRUE(sender.deliver("statechange|1|lamp|0"));
    EXPECT_EQ(sys.dde.received,
              (std::vector<std::string>{"mamestart|demo|PC", "statechange|1|lamp|1", "statechange|1|lamp|0"}));
    EXPECT_EQ(count("initialize 258048"), 1u);
    EXPECT_EQ(connects(), 1u);
    EXPECT_EQ(count("execute 88 77 16464 250"), 3u);  // XTYP_EXECUTE on the kept conversation
    sender.close();
    EXPECT_EQ(sys.dde.calls.back(), "uninitialize");
    EXPECT_EQ(count("disconnect 77"), 1u);
}

TEST_F(Sender, WithoutAServerCommandsAreDroppedAndAConnectIsTriedAtMostOnceASecond) {
    sys.dde.serverRunning = false;
    EXPECT_FALSE(sender.deliver("a"));
    clock.now += 500;
    EXPECT_FALSE(sender.deliver("b"));
    EXPECT_EQ(connects(), 1u);
    clock.now += 500;
    EXPECT_FALSE(sender.deliver("c"));
    EXPECT_EQ(connects(), 2u);
    sys.dde.serverRunning = true;
    clock.now += 999;
    EXPECT_FALSE(sender.deliver("d"));  // the server is back, but the next try is not due yet
    clock.now += 1;
    EXPECT_TRUE(sender.deliver("e"));
    EXPECT_EQ(sys.dde.received, (std::vector<std::string>{"e"}));  // nothing dropped is sent later
}

TEST_F(Sender, ALostConversationIsMadeAgainAtOnceAndTheFailedCommandNotResent) {
    EXPECT_TRUE(sender.deliver("a"));
    sys.dde.failAt = "execute";
    EXPECT_FALSE(sender.deliver("b"));
    EXPECT_FALSE(sender.connected());
    sys.dde.failAt = "";
    EXPECT_TRUE(sender.deliver("c"));
    EXPECT_EQ(connects(), 2u);
    EXPECT_EQ(count("initialize 258048"), 2u);  // a fresh instance for the new conversation
    EXPECT_EQ(sys.dde.received, (std::vector<std::string>{"a", "c"}));
}

TEST_F(Sender, ACommandTooLongIsNotSent) {
    EXPECT_FALSE(sender.deliver(std::string(1025, 'x')));
    EXPECT_TRUE(sys.dde.calls.empty());
    EXPECT_TRUE(sender.deliver(std::string(1024, 'x')));
}

TEST(StopMessage, IsSentThenWaitedForBeforeTheProgramEnds) {
    FakeSystem sys;
    sys.engine.state.OutputsActive = 1;
    SendStopMessageIfActive(sys.engine);
    // The numeric servers end at the same moment, each kind waited for within its bound.
    EXPECT_EQ(sys.log, (EventLog{"dde mamestop|", "numeric stop 500", "finish outputs 500"}));
}

}  // namespace
}  // namespace vt2::test
