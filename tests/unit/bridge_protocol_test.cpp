#include <gtest/gtest.h>

#include "input/bridge_protocol.h"

namespace vt2 {
namespace {

BridgeDeviceAdded Gun() {
    return {7, "Test Light Gun", 0x16C0, 0x0F38, "/dev/input/by-id/usb-gun-event-mouse", false, true, {100, 4195}, {-2048, 2047}};
}

std::vector<BridgeMessage> Read(BridgeStreamReader& reader, const std::vector<std::uint8_t>& bytes) {
    std::vector<BridgeMessage> messages;
    reader.take(bytes.data(), bytes.size(), messages);
    return messages;
}

std::vector<std::uint8_t> Join(std::initializer_list<std::vector<std::uint8_t>> parts) {
    std::vector<std::uint8_t> all;
    for (const auto& p : parts) all.insert(all.end(), p.begin(), p.end());
    return all;
}

TEST(BridgeProtocol, EachMessageComesBackAsItWasEvenByteByByte) {
    const std::vector<BridgeMessage> sent{Gun(), BridgeReport{7, 1, -3, 12, true, 4195, -2048, kBridgeLeft | kBridgeExtra},
                                          BridgeDeviceRemoved{7}, BridgeDevicesListed{},
                                          BridgeSerialOpen{25, 115200, 'E', 7, 2, "/dev/serial/by-id/usb-gun-if00"},
                                          BridgeSerialWrite{25, std::string("F0x1\0\xff", 6)}, BridgeSerialClose{255},
                                          BridgeSerialState{25, false, "went away: Input/output error"}, BridgeSerialState{1, true, ""}};
    std::vector<std::uint8_t> stream;
    for (const auto& m : sent) {
        const auto bytes = EncodeBridgeMessage(m);
        stream.insert(stream.end(), bytes.begin(), bytes.end());
    }
    BridgeStreamReader whole;
    EXPECT_EQ(Read(whole, stream), sent);
    BridgeStreamReader piecemeal;
    std::vector<BridgeMessage> got;
    for (std::uint8_t b : stream) piecemeal.take(&b, 1, got);
    EXPECT_EQ(got, sent);
    EXPECT_EQ(piecemeal.malformed(), 0u);
}

TEST(BridgeProtocol, ATextLongerThanAMessageCarriesIsCut) {
    BridgeDeviceAdded long_name = Gun();
    long_name.name = std::string(300, 'n');
    BridgeStreamReader reader;
    const auto got = Read(reader, EncodeBridgeMessage(long_name));
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(std::get<BridgeDeviceAdded>(got[0]).name, std::string(kBridgeMaxText, 'n'));
}

// Each malformed message is dropped and counted, and the good one after it still arrives.
TEST(BridgeProtocol, MalformedMessagesAreDroppedAndCountedAndTheStreamGoesOn) {
    const std::vector<std::uint8_t> good = EncodeBridgeMessage(BridgeDeviceRemoved{3});
    auto with = [](std::vector<std::uint8_t> bytes, std::size_t at, std::uint8_t value) {
        bytes[at] = value;
        return bytes;
    };
    auto header = [](std::uint8_t type, std::uint32_t size) {
        return std::vector<std::uint8_t>{0x56, 0x42, 1, type, static_cast<std::uint8_t>(size), static_cast<std::uint8_t>(size >> 8),
                                         static_cast<std::uint8_t>(size >> 16), static_cast<std::uint8_t>(size >> 24)};
    };
    BridgeReport report{7, 1, 0, 0, false, 0, 0, 0};
    BridgeDeviceAdded noRange = Gun();
    noRange.x = {5, 5};
    const std::vector<std::pair<const char*, std::vector<std::uint8_t>>> cases{
        {"wrong magic", with(good, 0, 0x00)},
        {"another version", with(good, 2, 9)},
        {"an unknown type", with(good, 3, 99)},
        {"a payload longer than its type's", Join({header(2, 5), {3, 0, 0, 0, 0}})},
        {"a payload shorter than its type's", Join({header(3, 4), {7, 0, 0, 0}})},
        {"buttons beyond the five", with(EncodeBridgeMessage(report), kBridgeHeaderSize + 25, 0x20)},
        {"unknown report flags", with(EncodeBridgeMessage(report), kBridgeHeaderSize + 16, 0x02)},
        {"an absolute device without range", EncodeBridgeMessage(noRange)},
        {"a text running past the payload", with(EncodeBridgeMessage(Gun()), kBridgeHeaderSize + 25, 200)},
        {"a serial port 0", EncodeBridgeMessage(BridgeSerialOpen{0, 9600, 'N', 8, 1, "/dev/ttyACM0"})},
        {"a parity of no kind", EncodeBridgeMessage(BridgeSerialOpen{1, 9600, 'X', 8, 1, "/dev/ttyACM0"})},
        {"nine data bits", EncodeBridgeMessage(BridgeSerialOpen{1, 9600, 'N', 9, 1, "/dev/ttyACM0"})},
        {"three stop bits", EncodeBridgeMessage(BridgeSerialOpen{1, 9600, 'N', 8, 3, "/dev/ttyACM0"})},
        {"a baud rate of 0", EncodeBridgeMessage(BridgeSerialOpen{1, 0, 'N', 8, 1, "/dev/ttyACM0"})},
        {"no path", EncodeBridgeMessage(BridgeSerialOpen{1, 9600, 'N', 8, 1, ""})},
        {"a write to port 0", EncodeBridgeMessage(BridgeSerialWrite{0, "S"})},
        {"a state neither open nor not", with(EncodeBridgeMessage(BridgeSerialState{1, true, ""}), kBridgeHeaderSize + 1, 2)},
    };
    for (const auto& [what, bad] : cases) {
        BridgeStreamReader reader;
        const auto got = Read(reader, Join({bad, good}));
        ASSERT_EQ(got.size(), 1u) << what;
        EXPECT_EQ(std::get<BridgeDeviceRemoved>(got[0]).device, 3u) << what;
        EXPECT_GE(reader.malformed(), 1u) << what;
    }
}

TEST(BridgeProtocol, AnOversizedLengthIsNotWaitedFor) {
    // A header claiming more than any message holds would otherwise stall the stream for good.
    BridgeStreamReader reader;
    const auto got = Read(reader, Join({{0x56, 0x42, 1, 3, 0xFF, 0xFF, 0xFF, 0x7F}, EncodeBridgeMessage(BridgeDeviceRemoved{4})}));
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(reader.malformed(), 1u);
}

TEST(BridgeDevices, ReportsOfUnknownDevicesOrOutOfOrderAreDropped) {
    BridgeDeviceTable table;
    auto report = [](std::uint32_t device, std::uint32_t sequence) { return BridgeMessage{BridgeReport{device, sequence}}; };
    EXPECT_FALSE(table.admit(report(7, 1)));            // before its device
    EXPECT_TRUE(table.admit(Gun()));
    EXPECT_TRUE(table.admit(report(7, 1)));
    EXPECT_TRUE(table.admit(report(7, 3)));             // a gap is no fault
    EXPECT_FALSE(table.admit(report(7, 3)));            // the same again
    EXPECT_FALSE(table.admit(report(7, 2)));            // older
    EXPECT_TRUE(table.admit(Gun()));                    // told again: its count starts over
    EXPECT_TRUE(table.admit(report(7, 1)));
    EXPECT_EQ(table.devices().size(), 1u);
    EXPECT_TRUE(table.admit(BridgeDeviceRemoved{7}));
    EXPECT_FALSE(table.admit(report(7, 2)));            // after it went
    EXPECT_FALSE(table.admit(BridgeDeviceRemoved{7}));  // gone twice
    EXPECT_TRUE(table.devices().empty());
    EXPECT_EQ(table.outOfOrder(), 5u);
}

}  // namespace
}  // namespace vt2
