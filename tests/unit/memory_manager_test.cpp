#include <gtest/gtest.h>

#include "memory/memory_manager.h"
#include "support/fake_platform.h"

namespace vt2::test {
namespace {

using Bytes = std::vector<std::uint8_t>;

class MemoryManagerTest : public ::testing::Test {
protected:
    void SetUp() override {
        process = &sys.hookProcess();
        process->map(0x1000, 16, 0xAA);
    }
    MemoryManager& memory() { return *sys.engine.state.memory; }
    FakeSystem sys;
    FakeGameProcess* process = nullptr;
};

TEST_F(MemoryManagerTest, FixedWidthWritesPutLittleEndianBytes) {
    memory().writeLong(0x1000, -1);
    EXPECT_EQ(process->at(0x1000, 5), (Bytes{0xFF, 0xFF, 0xFF, 0xFF, 0xAA}));
    memory().writeLong(0x1000, 0x12345678);
    EXPECT_EQ(process->at(0x1000, 4), (Bytes{0x78, 0x56, 0x34, 0x12}));
    memory().writeInteger(0x1004, -1);
    EXPECT_EQ(process->at(0x1004, 3), (Bytes{0xFF, 0xFF, 0xAA}));
    memory().writeByte(0x1006, 0x5C);
    EXPECT_EQ(process->at(0x1006, 2), (Bytes{0x5C, 0xAA}));
    memory().writeSingle(0x1008, 1.0f);
    EXPECT_EQ(process->at(0x1008, 4), (Bytes{0x00, 0x00, 0x80, 0x3F}));
}

TEST_F(MemoryManagerTest, Write2ByteHasItsOwnNegativeEncoding) {
    const std::pair<std::int16_t, Bytes> cases[] = {
        {300, {0x2C, 0x01}},    {0, {0x00, 0x00}},      {32767, {0xFF, 0x7F}}, {-1, {0x02, 0x80}},
        {-100, {0x65, 0x80}},   {-32767, {0x00, 0x00}}, {-32768, {0x01, 0x00}},
    };
    for (const auto& [value, bytes] : cases) {
        memory().write2Byte(0x1000, value);
        EXPECT_EQ(process->at(0x1000, 2), bytes) << value;
    }
}

TEST_F(MemoryManagerTest, FixedWidthReads) {
    process->put(0x1000, {0xF0, 0xFE, 0xFF, 0x00, 0x00, 0x80, 0x3F, 0x00});
    EXPECT_EQ(memory().readByte(0x1000), 240);
    EXPECT_EQ(memory().readInteger(0x1001), -2);
    EXPECT_EQ(memory().readSingle(0x1003), 1.0f);
    EXPECT_EQ(memory().readLong(0x1000), static_cast<std::int32_t>(0x00FFFEF0));
}

TEST_F(MemoryManagerTest, UnmappedAddressesReadZeroAndWritesChangeNothing) {
    EXPECT_EQ(memory().readLong(0x5000), 0);
    EXPECT_EQ(memory().readByte(0x5000), 0);
    EXPECT_EQ(memory().readSingle(0x5000), 0.0f);
    // A read that runs off the mapped bytes fails as a whole.
    EXPECT_EQ(memory().readLong(0x100E), 0);
    std::uint8_t buffer[2] = {1, 2};
    EXPECT_FALSE(memory().copyToType(buffer, 2, 0x5000));
    const auto before = process->bytes;
    memory().writeLong(0x100E, 7);
    EXPECT_EQ(memory().WritePtr(0x5000, buffer, 2), 0);
    EXPECT_EQ(process->bytes, before);
}

TEST_F(MemoryManagerTest, NothingRunsPastTheTopOfTheAddressSpaceToAddressZero) {
    process->map(0xFFFFFFFC, 4, 0x11);
    process->map(0, 4, 0x22);
    memory().writeLong(0xFFFFFFFE, -1);  // would wrap: 2 bytes at the top, 2 at address 0
    EXPECT_EQ(process->at(0xFFFFFFFC, 4), (Bytes{0x11, 0x11, 0x11, 0x11}));
    EXPECT_EQ(process->at(0, 4), (Bytes{0x22, 0x22, 0x22, 0x22}));
    memory().writeLong(0xFFFFFFFC, -1);  // ends at the top itself: written
    EXPECT_EQ(process->at(0xFFFFFFFC, 4), (Bytes{0xFF, 0xFF, 0xFF, 0xFF}));
    const std::uint64_t failed = memory().failedReadCount();
    EXPECT_EQ(memory().readLong(0xFFFFFFFD), 0);
    EXPECT_EQ(memory().failedReadCount(), failed + 1);
    EXPECT_EQ(memory().readByte(0xFFFFFFFF), 0xFF);
}

TEST_F(MemoryManagerTest, TextReadsCutAtTheFirstNulOrKeepThemAll) {
    process->put(0x1000, {0x41, 0x42, 0x00, 0x43, 0x44, 0x45, 0x46, 0x47});
    EXPECT_EQ(memory().readString(8, 0x1000), "AB");
    EXPECT_EQ(memory().readStringN(8, 0x1000), std::string("AB\0CDEFG", 8));
    process->put(0x1000, {0x41, 0x42, 0x43, 0x44, 0x45, 0x46, 0x47, 0x48});
    EXPECT_EQ(memory().readString(8, 0x1000), "ABCDEFGH");
    EXPECT_EQ(memory().readString(8, 0x5000), "");
    EXPECT_EQ(memory().readStringN(8, 0x5000), "");
}

TEST_F(MemoryManagerTest, WriteStringWritesNoTerminator) {
    memory().WriteString(0x1000, "abc");
    EXPECT_EQ(process->at(0x1000, 4), (Bytes{'a', 'b', 'c', 0xAA}));
    EXPECT_EQ(process->writes.size(), 1u);
}

TEST_F(MemoryManagerTest, ASnapshotAnswersTheReadsWithinItUntilForgottenOrWrittenOver) {
    process->map(0x2000, 64, 0x11);
    const std::uint64_t before = memory().processReadCount();
    ASSERT_TRUE(memory().takeSnapshot(0x2000, 64));
    process->put(0x2000, {0x22, 0x33});  // the game changes it after the copy
    EXPECT_EQ(memory().readByte(0x2000), 0x11);
    EXPECT_EQ(memory().readLong(0x203C), 0x11111111);  // the last four bytes of the copy
    EXPECT_EQ(memory().processReadCount(), before + 1);
    EXPECT_EQ(memory().readLong(0x203E), 0);  // runs past the copy and past the mapped bytes: a real read
    EXPECT_EQ(memory().processReadCount(), before + 2);
    memory().forgetSnapshots();
    EXPECT_EQ(memory().readByte(0x2000), 0x22);
    ASSERT_TRUE(memory().takeSnapshot(0x2000, 64));
    memory().writeByte(0x2001, 0x44);
    EXPECT_EQ(memory().readByte(0x2001), 0x44);  // a write makes the copy stale: it is dropped
    // A stretch that is not wholly mapped keeps no copy.
    EXPECT_FALSE(memory().takeSnapshot(0x2030, 64));
    EXPECT_FALSE(memory().takeSnapshot(0xFFFFFFF0u, 32));
    EXPECT_EQ(memory().failedReadCount(), 1u);  // only the read past the copy failed
}

TEST(MemoryManagerWithoutProcess, BeforePidOrForAProcessThatCannotBeOpenedNothingHappens) {
    EventLog log;
    FakeProcessMemory processes(log);
    processes.processes[1].map(0x1000, 4, 0x11);
    MemoryManager memory(processes);
    EXPECT_EQ(memory.PID(), 0);
    EXPECT_EQ(memory.readLong(0x1000), 0);
    memory.PID(99);  // no such process
    EXPECT_EQ(memory.PID(), 99);
    EXPECT_FALSE(memory.isOpen());
    memory.writeByte(0x1000, 0);
    EXPECT_EQ(memory.readByte(0x1000), 0);
    EXPECT_EQ(processes.processes[1].at(0x1000, 1), (Bytes{0x11}));
    memory.PID(1);
    EXPECT_EQ(memory.readByte(0x1000), 0x11);
}

}  // namespace
}  // namespace vt2::test
