// The output sender's thread: order, waits, a link that goes while its thread is stuck, and a
// thread that cannot start. Runs under AddressSanitizer, which sees any use of freed state.
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "outputs/threaded_output_link.h"

namespace vt2::test {
namespace {

// What the deliveries saw; shared with the test, so that it outlives every link and thread.
struct Record {
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<std::string> commands;
    std::vector<std::thread::id> threads;
    bool gateOpen = true;   // closed: a delivery waits, as over a hung server
    bool accepting = true;  // false: no server takes a command
    bool inDelivery = false;
    bool deliveryGone = false;

    void open() {
        std::lock_guard<std::mutex> lock(mutex);
        gateOpen = true;
        changed.notify_all();
    }
    bool waitFor(const std::function<bool()>& condition) {
        std::unique_lock<std::mutex> lock(mutex);
        return changed.wait_for(lock, std::chrono::seconds(20), condition);
    }
};

class RecordingDelivery final : public OutputDelivery {
public:
    explicit RecordingDelivery(std::shared_ptr<Record> record) : record_(std::move(record)) {}
    ~RecordingDelivery() override {
        std::lock_guard<std::mutex> lock(record_->mutex);
        record_->deliveryGone = true;
        record_->changed.notify_all();
    }
    bool deliver(const std::string& command) override {
        std::unique_lock<std::mutex> lock(record_->mutex);
        record_->inDelivery = true;
        record_->changed.notify_all();
        record_->changed.wait(lock, [&] { return record_->gateOpen; });
        if (!record_->accepting) return false;
        record_->commands.push_back(command);
        record_->threads.push_back(std::this_thread::get_id());
        record_->changed.notify_all();
        return true;
    }
    void handleMessages() override {}

private:
    std::shared_ptr<Record> record_;
};

// The fallback: records what reaches it.
class RecordingLink final : public OutputLink {
public:
    void send(const std::string& command) override { sent.push_back(command); }
    void finish(unsigned maxWaitMs) override { finished.push_back(maxWaitMs); }
    std::vector<std::string> sent;
    std::vector<unsigned> finished;
};

class SenderThread : public ::testing::Test {
protected:
    std::unique_ptr<ThreadedOutputLink> makeLink(ThreadStarter start = StartDetachedThread) {
        std::shared_ptr<Record> r = record;
        return std::make_unique<ThreadedOutputLink>([r] { return std::make_unique<RecordingDelivery>(r); }, fallback,
                                                    [this](const std::string& note) { notes.push_back(note); }, start);
    }
    std::shared_ptr<Record> record = std::make_shared<Record>();
    RecordingLink fallback;
    std::vector<std::string> notes;
};

TEST_F(SenderThread, EveryCommandArrivesOnceInOrderOnTheSendersOwnThread) {
    auto link = makeLink();
    std::vector<std::string> sent;
    for (int i = 0; i < 200; ++i) {
        sent.push_back("statechange|1|lamp|" + std::to_string(i % 2));
        link->send(sent.back());
    }
    link->finish(20000);
    EXPECT_EQ(link->delivered(), sent.size());
    std::lock_guard<std::mutex> lock(record->mutex);
    EXPECT_EQ(record->commands, sent);
    for (const std::thread::id& id : record->threads) EXPECT_NE(id, std::this_thread::get_id());
    EXPECT_TRUE(fallback.sent.empty());
    EXPECT_TRUE(notes.empty());
}

TEST_F(SenderThread, FinishGivesUpAfterItsBoundAndWaitsForTheLastCommandOtherwise) {
    auto link = makeLink();
    record->gateOpen = false;
    link->send("mamestop|");
    link->finish(50);  // a hung server: the stop goes on after the bound
    EXPECT_EQ(link->delivered(), 0u);
    record->open();
    link->finish(20000);
    EXPECT_EQ(link->delivered(), 1u);
}

TEST_F(SenderThread, ALinkThatGoesWhileItsThreadIsStuckFreesNothingTheThreadStillUses) {
    record->gateOpen = false;
    {
        auto link = makeLink();
        link->send("a");
        link->send("b");
        ASSERT_TRUE(record->waitFor([&] { return record->inDelivery; }));
    }  // the link waits its bound, then goes while the thread still waits in a delivery
    record->open();
    ASSERT_TRUE(record->waitFor([&] { return record->deliveryGone; }));
    std::lock_guard<std::mutex> lock(record->mutex);
    EXPECT_EQ(record->commands, (std::vector<std::string>{"a", "b"}));  // what was handed over still went out
}

TEST_F(SenderThread, AThreadThatCannotStartIsReportedOnceAndTheCommandsGoTheBlockingWay) {
    int starts = 0;
    auto link = makeLink([&](std::function<void()>) {
        ++starts;
        return false;
    });
    link->send("mamestart|demo|PC");
    link->send("statechange|1|lamp|1");
    link->finish(500);
    link->send("mamestop|");
    EXPECT_EQ(starts, 1);  // not tried again on every command
    EXPECT_TRUE(link->usesFallback());
    EXPECT_EQ(fallback.sent, (std::vector<std::string>{"mamestart|demo|PC", "statechange|1|lamp|1", "mamestop|"}));
    EXPECT_EQ(fallback.finished, (std::vector<unsigned>{500}));
    EXPECT_EQ(notes, (std::vector<std::string>{kOutputThreadFailedNote}));
}

TEST_F(SenderThread, AServerFarBehindGetsTheCurrentStateAndTheStopIsNeverDropped) {
    auto link = makeLink();
    const auto flood = [&] {  // a server that takes nothing for a while
        record->gateOpen = false;
        link->send("mamestart|demo|PC");
        EXPECT_TRUE(record->waitFor([&] { return record->inDelivery; }));
        for (std::size_t i = 0; i <= ThreadedOutputLink::kMaxWaiting + 100; ++i) {
            link->send("statechange|1|lamp|" + std::to_string(i % 2));
            link->send("statechange|2|recoil|" + std::to_string(i));
        }
    };
    flood();
    record->open();
    link->finish(20000);
    {
        std::lock_guard<std::mutex> lock(record->mutex);
        const auto& got = record->commands;
        EXPECT_LT(got.size(), ThreadedOutputLink::kMaxWaiting + 10);  // the waiting changes gave way
        ASSERT_GE(got.size(), 2u);
        EXPECT_EQ(got[got.size() - 2], "statechange|1|lamp|" + std::to_string((ThreadedOutputLink::kMaxWaiting + 100) % 2));
        EXPECT_EQ(got.back(), "statechange|2|recoil|" + std::to_string(ThreadedOutputLink::kMaxWaiting + 100));
    }
    flood();
    link->send("mamestop|");
    record->open();
    link->finish(20000);
    std::lock_guard<std::mutex> lock(record->mutex);
    EXPECT_EQ(record->commands.back(), "mamestop|");
}

TEST_F(SenderThread, AServerThatAnswersLateGetsTheStartAndEachOutputsLastValue) {
    record->accepting = false;
    auto link = makeLink();
    for (const char* command : {"mamestart|demo|PC", "statechange|1|lamp|1", "statechange|2|recoil|1",
                                "statechange|1|lamp|0"}) {
        link->send(command);
    }
    link->finish(20000);  // settles at once: no server takes anything
    EXPECT_EQ(link->delivered(), 0u);
    {
        std::lock_guard<std::mutex> lock(record->mutex);
        record->accepting = true;  // the server comes up; nothing new is sent
    }
    ASSERT_TRUE(record->waitFor([&] { return record->commands.size() >= 3; }));
    std::lock_guard<std::mutex> lock(record->mutex);
    EXPECT_EQ(record->commands,
              (std::vector<std::string>{"mamestart|demo|PC", "statechange|1|lamp|0", "statechange|2|recoil|1"}));
}

TEST_F(SenderThread, ALinkWithoutCommandsStartsNoThread) {
    int starts = 0;
    {
        auto link = makeLink([&](std::function<void()> body) {
            ++starts;
            return StartDetachedThread(std::move(body));
        });
        link->finish(100);
    }
    EXPECT_EQ(starts, 0);
}

}  // namespace
}  // namespace vt2::test
