#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "bridge/bridge_listing.h"
#include "bridge/bridge_session.h"
#include "bridge/bridge_input_frames.h"

namespace vt2::bridge {
namespace {

constexpr InputEvent kSyn{kEvSyn, kSynReport, 0};
InputEvent Rel(std::uint16_t code, std::int32_t v) { return {kEvRel, code, v}; }
InputEvent Abs(std::uint16_t code, std::int32_t v) { return {kEvAbs, code, v}; }
InputEvent Key(std::uint16_t code, std::int32_t v) { return {kEvKey, code, v}; }

TEST(BridgeFrames, AFrameIsOneReportOfWhatChangedInIt) {
    FrameAssembler frames(4);
    EXPECT_FALSE(frames.take(Rel(kRelX, 3)));
    EXPECT_FALSE(frames.take(Rel(kRelX, 4)));
    EXPECT_FALSE(frames.take(Rel(kRelY, -2)));
    auto report = frames.take(kSyn);
    ASSERT_TRUE(report);
    EXPECT_EQ(report->device, 4u);
    EXPECT_EQ(report->dx, 7);
    EXPECT_EQ(report->dy, -2);
    EXPECT_FALSE(report->hasPosition);

    EXPECT_FALSE(frames.take(kSyn));  // an empty frame says nothing
    frames.take(Key(kBtnLeft, 1));
    EXPECT_FALSE(frames.take(Key(kBtnLeft, 2)));  // a repeat
    report = frames.take(kSyn);
    ASSERT_TRUE(report);
    EXPECT_EQ(report->buttons, kBridgeLeft);
    EXPECT_EQ(report->dx, 0);

    frames.take(Abs(kAbsX, -40));
    report = frames.take(kSyn);
    ASSERT_TRUE(report);
    EXPECT_TRUE(report->hasPosition);
    EXPECT_EQ(report->x, -40);
    EXPECT_EQ(report->y, 0);
    EXPECT_EQ(report->buttons, kBridgeLeft);  // still held
}

// A flood of counts in one frame stops at the ends of 32 bits either way (no overflow).
TEST(BridgeFrames, CountsOfAFrameStopAtTheEndsOfTheirRange) {
    const struct {
        std::vector<std::int32_t> counts;
        std::int32_t sum;
    } cases[] = {
        {{INT32_MAX, 1}, INT32_MAX},
        {{INT32_MAX, INT32_MAX, -5}, INT32_MAX - 5},
        {{INT32_MIN, -1}, INT32_MIN},
        {{INT32_MIN, INT32_MAX}, -1},
        {{-3, 5}, 2},
    };
    for (const auto& c : cases) {
        FrameAssembler frames(1);
        for (std::int32_t v : c.counts) frames.take(Rel(kRelX, v));
        const auto report = frames.take(kSyn);
        ASSERT_TRUE(report);
        EXPECT_EQ(report->dx, c.sum) << c.counts.size();
    }
}

TEST(BridgeFrames, MouseAndGunButtonsAreTheFiveButtons) {
    const std::pair<std::uint16_t, std::uint8_t> table[]{
        {kBtnLeft, kBridgeLeft},     {kBtnRight, kBridgeRight}, {kBtnMiddle, kBridgeMiddle}, {kBtnSide, kBridgeSide},
        {kBtnExtra, kBridgeExtra},   {kBtnTrigger, kBridgeLeft}, {kBtnThumb, kBridgeRight}, {kBtnThumb2, kBridgeMiddle},
        {0x1E /* KEY_A */, 0},       {0x115 /* BTN_FORWARD */, 0}};
    for (const auto& [code, bit] : table) EXPECT_EQ(ButtonOf(code), bit) << std::hex << code;
}

TEST(BridgeFrames, CountsOfAFrameWithDroppedEventsAreLeftOutButItsButtonsAreNot) {
    FrameAssembler frames(1);
    frames.take(Rel(kRelX, 50));
    frames.take({kEvSyn, kSynDropped, 0});
    frames.take(Rel(kRelX, 9));
    frames.take(Key(kBtnRight, 1));
    const auto report = frames.take(kSyn);
    ASSERT_TRUE(report);
    EXPECT_EQ(report->dx, 0);
    EXPECT_EQ(report->buttons, kBridgeRight);
    frames.take(Rel(kRelX, 2));
    EXPECT_EQ(frames.take(kSyn)->dx, 2);  // and the next frame is whole again
}

TEST(BridgeFrames, ADeviceThatGoesLetsGoOfItsButtons) {
    FrameAssembler frames(1);
    EXPECT_FALSE(frames.releaseAll());  // nothing held
    frames.take(Key(kBtnLeft, 1));
    frames.take(Key(kBtnSide, 1));
    frames.take(kSyn);
    const auto release = frames.releaseAll();
    ASSERT_TRUE(release);
    EXPECT_EQ(release->buttons, 0);
    EXPECT_FALSE(frames.releaseAll());
}

SourceDevice Device(const std::string& path) { return {"Gun", 0x16C0, 0x0F38, path, false, true, {0, 100}, {0, 100}}; }

std::vector<BridgeMessage> Sent(BridgeSession& session, std::uint32_t connection = 7) {
    const std::vector<std::uint8_t> bytes = session.takeOutgoing(connection);
    BridgeStreamReader reader;
    std::vector<BridgeMessage> messages;
    reader.take(bytes.data(), bytes.size(), messages);
    EXPECT_EQ(reader.malformed(), 0u);
    return messages;
}

TEST(BridgeSessionTest, ANewConnectionIsToldEveryDeviceAndTheButtonsHeld) {
    BridgeSession session;
    const std::uint32_t gun = session.addDevice(Device("/dev/input/by-id/gun1"));
    session.addDevice(Device("/dev/input/by-id/gun2"));
    session.takeEvent(gun, Key(kBtnLeft, 1));  // held while no VT2 is there
    session.takeEvent(gun, kSyn);
    EXPECT_TRUE(session.takeOutgoing(7).empty());

    session.connect(7, false);
    auto sent = Sent(session);
    ASSERT_EQ(sent.size(), 4u);
    EXPECT_TRUE(std::holds_alternative<BridgeDevicesListed>(sent[3]));
    EXPECT_EQ(std::get<BridgeDeviceAdded>(sent[0]).path, "/dev/input/by-id/gun1");
    EXPECT_EQ(std::get<BridgeReport>(sent[1]).buttons, kBridgeLeft);
    EXPECT_EQ(std::get<BridgeReport>(sent[1]).sequence, 1u);
    EXPECT_EQ(std::get<BridgeDeviceAdded>(sent[2]).path, "/dev/input/by-id/gun2");

    // Connected again (VT2 started anew): the same, its count from 1 again.
    session.disconnect(7);
    session.connect(7, false);
    sent = Sent(session);
    ASSERT_EQ(sent.size(), 4u);
    EXPECT_EQ(std::get<BridgeReport>(sent[1]).sequence, 1u);
    EXPECT_EQ(std::get<BridgeReport>(sent[1]).buttons, kBridgeLeft);
    // A replay played from its start forgets the buttons.
    session.disconnect(7);
    session.connect(7, true);
    EXPECT_EQ(Sent(session).size(), 3u);
}

// A run and the configuration tool at once: each is told the devices and gets every report; one
// that joins later forgets nothing of the other's, and one going leaves the other as it was.
TEST(BridgeSessionTest, EveryConnectionGetsEveryReportAndOneGoingLeavesTheOthers) {
    BridgeSession session;
    const std::uint32_t gun = session.addDevice(Device("/dev/input/by-id/gun1"));
    session.connect(1, true);
    EXPECT_EQ(Sent(session, 1).size(), 2u);  // the gun, the list's end
    session.takeEvent(gun, Key(kBtnLeft, 1));
    session.takeEvent(gun, kSyn);
    EXPECT_EQ(std::get<BridgeReport>(Sent(session, 1).at(0)).sequence, 1u);

    // A replay's start over is only for the first: the run's trigger stays held.
    session.connect(2, true);
    const auto joined = Sent(session, 2);
    ASSERT_EQ(joined.size(), 3u);
    EXPECT_EQ(std::get<BridgeReport>(joined[1]).buttons, kBridgeLeft);
    EXPECT_TRUE(Sent(session, 1).empty());  // the newcomer's list went to it alone
    EXPECT_EQ(session.connections(), 2u);

    session.takeEvent(gun, Key(kBtnLeft, 0));
    session.takeEvent(gun, kSyn);
    for (std::uint32_t connection : {1u, 2u}) {
        const auto sent = Sent(session, connection);
        ASSERT_EQ(sent.size(), 1u) << connection;
        EXPECT_EQ(std::get<BridgeReport>(sent[0]).buttons, 0) << connection;
        EXPECT_GT(std::get<BridgeReport>(sent[0]).sequence, 2u) << connection;  // climbing for both
    }
    session.disconnect(2);
    session.takeEvent(gun, Key(kBtnRight, 1));
    session.takeEvent(gun, kSyn);
    EXPECT_EQ(std::get<BridgeReport>(Sent(session, 1).at(0)).buttons, kBridgeRight);
    EXPECT_TRUE(session.takeOutgoing(2).empty());
    EXPECT_EQ(session.connections(), 1u);
}

TEST(BridgeSessionTest, ADeviceUnpluggedAndPluggedInAgainKeepsItsNumber) {
    BridgeSession session;
    session.connect(7, false);
    const std::uint32_t first = session.addDevice(Device("/dev/input/by-id/gun1"));
    const std::uint32_t second = session.addDevice(Device("/dev/input/by-id/gun2"));
    session.takeEvent(first, Key(kBtnLeft, 1));
    session.takeEvent(first, kSyn);
    Sent(session);

    session.removeDevice(first);
    auto sent = Sent(session);
    ASSERT_EQ(sent.size(), 2u);  // its trigger let go, then gone
    EXPECT_EQ(std::get<BridgeReport>(sent[0]).buttons, 0);
    EXPECT_EQ(std::get<BridgeDeviceRemoved>(sent[1]).device, first);

    EXPECT_EQ(session.addDevice(Device("/dev/input/by-id/gun1")), first);
    EXPECT_NE(first, second);
    EXPECT_EQ(session.addDevice(Device("/dev/input/event9")), 3u);
}

// Two guns alike share their by-id link (no serials), or udev moved a link to another gun: each live
// reading keeps a number and a path of its own, and one going leaves the other as it was.
TEST(BridgeSessionTest, TwoLiveReadingsOfOnePathKeepANumberEach) {
    auto gun = [](const std::string& byPath, const std::string& node) {
        SourceDevice d = Device("/dev/input/by-id/usb-Gun-event-mouse");
        d.alsoKnownAs = {byPath, node};
        return d;
    };
    BridgeSession session;
    session.connect(7, false);
    Sent(session);  // the empty list
    const std::uint32_t first = session.addDevice(gun("/dev/input/by-path/usb-1-event-mouse", "/dev/input/event5"));
    const std::uint32_t second = session.addDevice(gun("/dev/input/by-path/usb-2-event-mouse", "/dev/input/event6"));
    EXPECT_NE(first, second);
    auto sent = Sent(session);
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(std::get<BridgeDeviceAdded>(sent[0]).path, "/dev/input/by-id/usb-Gun-event-mouse");
    EXPECT_EQ(std::get<BridgeDeviceAdded>(sent[1]).path, "/dev/input/by-path/usb-2-event-mouse");
    // A third alike on a port without a by-path link: its node.
    const std::uint32_t third = session.addDevice(gun("/dev/input/event7", "/dev/input/event7"));
    EXPECT_EQ(std::get<BridgeDeviceAdded>(Sent(session).at(0)).path, "/dev/input/event7");
    EXPECT_NE(third, first);
    EXPECT_NE(third, second);

    // Each drives its own number; the second going leaves the first.
    session.takeEvent(first, Key(kBtnLeft, 1));
    session.takeEvent(first, kSyn);
    session.removeDevice(second);
    sent = Sent(session);
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(std::get<BridgeReport>(sent[0]).device, first);
    EXPECT_EQ(std::get<BridgeDeviceRemoved>(sent[1]).device, second);
    session.takeEvent(first, Key(kBtnLeft, 0));
    session.takeEvent(first, kSyn);
    EXPECT_EQ(std::get<BridgeReport>(Sent(session).at(0)).device, first);

    // The first's own node read anew takes its old place and number.
    EXPECT_EQ(session.addDevice(gun("/dev/input/by-path/usb-1-event-mouse", "/dev/input/event5")), first);
}

TEST(BridgeSessionTest, TheListingShowsNumberNameAndIdsThenThePath) {
    EXPECT_EQ(BridgeDeviceListing({Device("/dev/input/by-id/gun1")}),
              "Input event mice and guns (read by the bridge):\n  1  Gun  vendor 16C0  product 0F38  absolute\n"
              "     /dev/input/by-id/gun1\n");
    EXPECT_EQ(BridgeDeviceListing({}), "Input event mice and guns (read by the bridge):\n  (none)\n");
}

}  // namespace
}  // namespace vt2::bridge
