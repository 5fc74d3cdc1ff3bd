#include <gtest/gtest.h>

#include "input/bridge_raw_input.h"
#include "input/mouse_devices.h"
#include "input/raw_mouse.h"
#include "support/fake_platform.h"

namespace vt2::test {
namespace {

const std::string kGunPath = "/dev/input/by-id/usb-Gun_1-event-mouse";
const std::string kMousePath = "/dev/input/by-path/pci-0000:00:14.0-usb-0:2:1.0-event-mouse";

BridgeDeviceAdded Gun(std::uint32_t device = 1) {
    return {device, "Test Light Gun", 0x16C0, 0x0F38, kGunPath, false, true, {100, 4195}, {-2048, 2047}};
}
BridgeDeviceAdded Mouse(std::uint32_t device = 2) {
    return {device, "Test Mouse", 0x046D, 0xC077, kMousePath, true, false, {}, {}};
}

class Records final : public RawMouseReportSink {
public:
    void onMouseReport(const RawMouseReport& report) override { all.push_back(report); }
    void onMouseAttached(const RawInputDevice& device) override { attached.push_back(device.handle); }
    std::vector<RawMouseReport> all;
    std::vector<std::uint32_t> attached;
};

// The bridge's bytes for these messages, as one piece.
std::vector<std::uint8_t> Bytes(std::initializer_list<BridgeMessage> messages) {
    std::vector<std::uint8_t> bytes;
    for (const auto& m : messages) {
        const auto b = EncodeBridgeMessage(m);
        bytes.insert(bytes.end(), b.begin(), b.end());
    }
    return bytes;
}

TEST(BridgeMiceTest, AnAbsolutePositionIsItsPlaceInTheAxisRange) {
    const AxisRange x{100, 4195}, y{-2048, 2047};
    EXPECT_EQ(AbsoluteRawPosition(100, x), 0);
    EXPECT_EQ(AbsoluteRawPosition(4195, x), 65535);
    EXPECT_EQ(AbsoluteRawPosition(-2048, y), 0);
    EXPECT_EQ(AbsoluteRawPosition(0, y), 32776);  // 2048 of 4095
    EXPECT_EQ(AbsoluteRawPosition(50, x), -800);  // beyond the edge: off the screen, as a gun aimed away
    EXPECT_EQ(AbsoluteRawPosition(7, {5, 5}), 0);
}

TEST(BridgeMiceTest, ReportsBecomeTheRecordsRawInputWouldGive) {
    BridgeMice mice;
    Records records;
    const auto bytes = Bytes({Gun(), Mouse(), BridgeDevicesListed{},
                              BridgeReport{1, 1, 0, 0, true, 4195, 2047, 0},
                              BridgeReport{1, 2, 0, 0, false, 0, 0, kBridgeLeft | kBridgeRight},  // two at once
                              BridgeReport{2, 1, 12, -7, false, 0, 0, 0},
                              BridgeReport{2, 2, 0, 0, false, 0, 0, kBridgeExtra}});
    mice.take(bytes.data(), bytes.size(), &records);
    EXPECT_TRUE(mice.listed());
    ASSERT_EQ(records.all.size(), 5u);
    const RawMouseReport& aim = records.all[0];
    EXPECT_EQ(aim.device, kBridgeHandleBase);
    EXPECT_EQ(aim.flags, 1);  // absolute
    EXPECT_EQ(std::make_pair(aim.lastX, aim.lastY), std::make_pair(65535, 65535));
    // One record per button, at the gun's last position.
    EXPECT_EQ(records.all[1].buttons, 0x0001u);
    EXPECT_EQ(records.all[2].buttons, 0x0004u);
    EXPECT_EQ(records.all[2].lastX, 65535);
    EXPECT_EQ(records.all[3].device, kBridgeHandleBase + 1);
    EXPECT_EQ(std::make_tuple(records.all[3].flags, records.all[3].lastX, records.all[3].lastY), std::make_tuple(0, 12, -7));
    EXPECT_EQ(records.all[4].buttons, 0x0100u);  // extra (X2) down
    EXPECT_EQ(records.all[4].lastX, 0);          // a relative button record moves nothing
}

TEST(BridgeMiceTest, AGunThatGoesOrABridgeThatVanishesLetsGoOfItsButtons) {
    BridgeMice mice;
    Records records;
    auto bytes = Bytes({Gun(), Mouse(), BridgeReport{1, 1, 0, 0, false, 0, 0, kBridgeLeft},
                        BridgeReport{2, 1, 0, 0, false, 0, 0, kBridgeRight}, BridgeDeviceRemoved{1}});
    mice.take(bytes.data(), bytes.size(), &records);
    ASSERT_EQ(records.all.size(), 3u);
    EXPECT_EQ(records.all[2].buttons, 0x0002u);  // the gun's trigger up as it goes
    EXPECT_EQ(mice.devices().size(), 1u);

    mice.lost(&records);
    ASSERT_EQ(records.all.size(), 4u);
    EXPECT_EQ(records.all[3].device, kBridgeHandleBase + 1);
    EXPECT_EQ(records.all[3].buttons, 0x0008u);  // the mouse's right button up
    EXPECT_TRUE(mice.devices().empty());
    EXPECT_FALSE(mice.listed());
}

TEST(BridgeMiceTest, AGunPluggedInAgainKeepsItsHandleWhateverNumberTheBridgeGivesIt) {
    BridgeMice mice;
    Records records;
    auto bytes = Bytes({Gun(1), Mouse(2), BridgeDeviceRemoved{1}, Gun(9)});
    mice.take(bytes.data(), bytes.size(), &records);
    EXPECT_EQ(records.attached, (std::vector<std::uint32_t>{kBridgeHandleBase, kBridgeHandleBase + 1, kBridgeHandleBase}));
    mice.lost(nullptr);  // and a new bridge, whose numbers start anew
    bytes = Bytes({Mouse(1), Gun(2)});
    mice.take(bytes.data(), bytes.size(), nullptr);
    const std::vector<RawInputDevice> devices = mice.devices();
    ASSERT_EQ(devices.size(), 2u);
    EXPECT_EQ(devices[0].path, kMousePath);
    EXPECT_EQ(devices[0].handle, kBridgeHandleBase + 1);
    EXPECT_EQ(devices[1].handle, kBridgeHandleBase);
}

TEST(BridgeMiceTest, DroppedMessagesAreCountedOverConnections) {
    BridgeMice mice;
    auto bytes = Bytes({BridgeReport{5, 1}, Gun(), BridgeReport{1, 2}, BridgeReport{1, 2}});
    bytes.push_back(0xEE);  // and the start of something that is no message
    bytes.insert(bytes.end(), {0, 0, 0, 0, 0, 0, 0, 0});
    mice.take(bytes.data(), bytes.size(), nullptr);
    EXPECT_EQ(mice.dropped(), 3u);  // an unknown device, a repeat, the garbage
    mice.lost(nullptr);
    EXPECT_EQ(mice.dropped(), 3u);
}

// The whole way: the bridge's guns listed beside raw input's mice, bound by their paths, moving
// their players by the same rules.
// A sink that runs a message loop while it takes a record (a modal box): the loop delivers the
// bridge's next bytes, or its loss, into the same BridgeMice. Those wait their turn; the record in
// hand is never made from a device that went meanwhile, and newer button state is never
// overwritten with older.
TEST(BridgeMiceTest, InputThatArrivesWhileARecordIsDeliveredWaitsItsTurn) {
    struct Reentering final : RawMouseReportSink {
        BridgeMice* mice = nullptr;
        std::vector<std::vector<std::uint8_t>> inside;  // bytes delivered from inside a record, in turn
        bool loseInside = false;
        std::vector<RawMouseReport> all;
        void onMouseReport(const RawMouseReport& report) override {
            all.push_back(report);
            if (!inside.empty()) {
                const std::vector<std::uint8_t> bytes = std::move(inside.front());
                inside.erase(inside.begin());
                mice->take(bytes.data(), bytes.size(), this);
            } else if (loseInside) {
                loseInside = false;
                mice->lost(this);
            }
        }
    };
    const struct {
        const char* what;
        std::vector<std::vector<std::uint8_t>> inside;
        bool loseInside;
        std::vector<std::uint32_t> buttons;  // of the records, in order
        std::size_t devicesAfter;
    } cases[] = {
        // The gun removed and added again inside its own trigger's record.
        {"removed inside", {Bytes({BridgeDeviceRemoved{1}, Gun(1), BridgeReport{1, 1, 0, 0, false, 0, 0, 0}})}, false,
         {0x0001, 0x0004, 0x0002, 0x0008}, 1},
        // The link lost inside: both buttons are let go after, not before, the frame that pressed them.
        {"lost inside", {}, true, {0x0001, 0x0004, 0x0002, 0x0008}, 0},
        // A newer report inside: its release stays the last word.
        {"newer inside", {Bytes({BridgeReport{1, 3, 0, 0, false, 0, 0, 0}})}, false, {0x0001, 0x0004, 0x0002, 0x0008}, 1},
    };
    for (const auto& c : cases) {
        BridgeMice mice;
        Reentering sink;
        sink.mice = &mice;
        const auto start = Bytes({Gun(1), BridgeDevicesListed{}});
        mice.take(start.data(), start.size(), &sink);
        sink.inside = c.inside;
        sink.loseInside = c.loseInside;
        const auto bytes = Bytes({BridgeReport{1, 2, 0, 0, false, 0, 0, kBridgeLeft | kBridgeRight}});
        mice.take(bytes.data(), bytes.size(), &sink);
        std::vector<std::uint32_t> buttons;
        for (const RawMouseReport& r : sink.all) buttons.push_back(r.buttons);
        EXPECT_EQ(buttons, c.buttons) << c.what;
        EXPECT_EQ(mice.devices().size(), c.devicesAfter) << c.what;
    }
}

// A peer's size: devices past the bound, and names or paths that would break a settings line, are
// refused and counted; a position far outside its range converts without overflow.
TEST(BridgeMiceTest, APeerCannotGrowTheDevicesWithoutEndNorSendALineBreak) {
    BridgeMice mice;
    std::vector<std::uint8_t> bytes;
    for (std::uint32_t n = 1; n <= kBridgeMaxDevices + 8; ++n) {
        BridgeDeviceAdded gun = Gun(n);
        gun.path = "/dev/input/event" + std::to_string(n);
        const auto b = EncodeBridgeMessage(gun);
        bytes.insert(bytes.end(), b.begin(), b.end());
    }
    mice.take(bytes.data(), bytes.size(), nullptr);
    EXPECT_EQ(mice.devices().size(), kBridgeMaxDevices);
    EXPECT_EQ(mice.dropped(), 8u);

    BridgeMice lines;
    for (const std::string& path : {std::string("/dev/input/by-id/a\r\nMouseID=1"), std::string("/dev/input/b\0c", 14),
                                    std::string("/dev/input/ok")}) {
        BridgeDeviceAdded gun = Gun(1);
        gun.path = path;
        const auto b = Bytes({gun});
        lines.take(b.data(), b.size(), nullptr);
    }
    ASSERT_EQ(lines.devices().size(), 1u);
    EXPECT_EQ(lines.devices()[0].path, "/dev/input/ok");
    EXPECT_EQ(lines.dropped(), 2u);

    const AxisRange unit{0, 1};
    EXPECT_EQ(AbsoluteRawPosition(70000, unit), 2 * 65535);
    EXPECT_EQ(AbsoluteRawPosition(INT32_MAX, {INT32_MIN, INT32_MAX}), 65535);
    EXPECT_EQ(AbsoluteRawPosition(INT32_MAX, {0, 1}), 2 * 65535);
    EXPECT_EQ(AbsoluteRawPosition(INT32_MIN, {0, 1}), -65535);
}

// The user's bridge as the receiver meets it: a connection, the challenge, the answer to its
// proof, then these bytes.
bool GenuineBridge(BridgeReceiver& receiver, const std::vector<std::uint8_t>& then, std::uint8_t nonceFill = 1) {
    BridgeSecret secret{};
    secret.fill(0x5A);
    BridgeNonce vt2Nonce{}, bridgeNonce{};
    vt2Nonce.fill(static_cast<std::uint8_t>(nonceFill + 1));
    bridgeNonce.fill(nonceFill);
    receiver.onBridgeConnected(secret, vt2Nonce);
    BridgeServerHandshake bridge(secret, bridgeNonce);
    const auto challenge = bridge.challenge();
    const BridgeReply proof = receiver.onBridgeBytes(challenge.data(), challenge.size());
    if (bridge.take(proof.send.data(), proof.send.size()) != HandshakeState::Trusted) return false;
    std::vector<std::uint8_t> rest = bridge.answer();
    rest.insert(rest.end(), then.begin(), then.end());
    return !receiver.onBridgeBytes(rest.data(), rest.size()).refuse;
}

TEST(BridgedRawInputTest, TheBridgesGunsAreMiceForTheListingsTheBindingAndThePlayers) {
    FakeSystem sys;
    sys.rawInput.devices = std::vector<RawInputDevice>{{0x10, kRawInputTypeMouse, "\\\\?\\HID#VID_046D&PID_C077#1#{x}", {}}};
    std::vector<std::string> notes;
    BridgedRawInput bridged(sys.rawInput, [&](const std::string& n) { notes.push_back(n); });
    // The bridge is connected to when the mice are first listed, and once only.
    class OneLink final : public BridgeLink {
    public:
        bool open(int port, BridgeReceiver& receiver, int) override {
            ports.push_back(port);
            EXPECT_TRUE(GenuineBridge(receiver, Bytes({Gun(), Mouse(), BridgeDevicesListed{}})));
            return !receiver.waitingForDevices();
        }
        std::vector<int> ports;
    } link;
    bridged.useBridge(link, 4321, 100);
    EXPECT_TRUE(link.ports.empty());

    const std::vector<MouseDevice> mice = ListMice(*bridged.deviceList());
    ASSERT_EQ(mice.size(), 3u);
    EXPECT_EQ(ListMice(*bridged.deviceList()).size(), 3u);
    EXPECT_EQ(link.ports, std::vector<int>{4321});
    EXPECT_EQ(notes, std::vector<std::string>{"Linux input bridge: 2 mice and guns"});
    notes.clear();
    EXPECT_EQ(mice[1].name, "Test Light Gun");
    EXPECT_EQ(mice[1].vendorId, 0x16C0);
    EXPECT_EQ(mice[1].productId, 0x0F38);
    EXPECT_EQ(mice[1].path, kGunPath);

    HookState& s = sys.engine.state;
    for (PlayerConfig& p : s.settings.players) {
        p.Enable = 1;
        p.MouseAccel = 18;
        p.TriggerButton = 0;
        p.ReloadButton = 1;
    }
    s.settings.players[0].MouseDevice = kGunPath;   // by path, whatever MouseID says
    s.settings.players[0].MouseID = 0;
    s.settings.players[1].MouseDevice = kMousePath;
    StartRawInput(bridged, sys.messageBoxes, s.rawMouse, s.settings, s.players);
    EXPECT_EQ(s.rawMouse.playerDevice(0), kBridgeHandleBase);

    const auto play = Bytes({BridgeReport{1, 1, 0, 0, true, 100 + 4095 / 4, 0, kBridgeLeft},
                             BridgeReport{2, 1, 3641, 0, false, 0, 0, 0}});
    bridged.onBridgeBytes(play.data(), play.size());
    EXPECT_NEAR(s.players[0].current.X, 1023.0 / 4095, 1e-4);
    EXPECT_NEAR(s.players[0].current.Y, 0.5, 1e-3);
    EXPECT_EQ(s.players[0].current.Trigger, 1);
    EXPECT_EQ(s.players[1].current.X, 1.0f);  // 3641 counts at 18 cross the whole range
    EXPECT_EQ(s.players[1].current.Trigger, 0);

    // A hostile or broken bridge: said in the debug window at the first drop and at 10, not each.
    const std::vector<std::uint8_t> unknownType{0x56, 0x42, kBridgeVersion, 9, 0, 0, 0, 0};
    for (int i = 0; i < 12; ++i) bridged.onBridgeBytes(unknownType.data(), unknownType.size());
    EXPECT_EQ(notes, (std::vector<std::string>{"Linux input bridge: 1 malformed or out-of-order messages dropped",
                                               "Linux input bridge: 10 malformed or out-of-order messages dropped"}));

    bridged.onBridgeGone();  // the bridge vanished: the trigger let go, the run goes on
    EXPECT_EQ(s.players[0].current.Trigger, 0);
    EXPECT_EQ(ListMice(*bridged.deviceList()).size(), 1u);
    EXPECT_EQ(notes.back(), "Linux input bridge gone: its guns' buttons let go, raw input goes on; connecting again");

    // The link made again (a bridge started anew): the guns come back under their handles and
    // the players bound to them aim again.
    ASSERT_TRUE(GenuineBridge(bridged, Bytes({Mouse(5), Gun(4), BridgeDevicesListed{}}), 9));
    EXPECT_EQ(notes.back(), "Linux input bridge connected again: 2 mice and guns");
    EXPECT_EQ(s.rawMouse.playerDevice(0), kBridgeHandleBase);
    const auto again = Bytes({BridgeReport{4, 1, 0, 0, true, 4195, 2047, kBridgeLeft}});
    bridged.onBridgeBytes(again.data(), again.size());
    EXPECT_EQ(s.players[0].current.X, 1.0f);
    EXPECT_EQ(s.players[0].current.Trigger, 1);
}

// Whatever answers on the bridge's port without the user's secret (a program of another user that
// took the port first, or this VT2 on a machine whose secret cannot be read) gives no gun, and is
// said in the debug window.
TEST(BridgedRawInputTest, APeerThatIsNotTheUsersBridgeGivesNoGun) {
    struct Row {
        const char* what;
        std::optional<BridgeSecret> vt2Secret;
        bool answersTheChallenge;  // with another secret
        const char* why;
    };
    const Row rows[] = {
        {"devices straight away", BridgeSecret{}, false, "it told of devices before it asked who VT2 is"},
        {"another user's secret", BridgeSecret{}, true, "it does not know this user's bridge secret"},
        {"no secret file", std::nullopt, true, "this machine's bridge secret could not be read"},
    };
    for (const Row& r : rows) {
        FakeSystem sys;
        sys.rawInput.devices = std::vector<RawInputDevice>{{0x10, kRawInputTypeMouse, "\\\\?\\HID#VID_046D&PID_C077#1#{x}", {}}};
        std::vector<std::string> notes;
        BridgedRawInput bridged(sys.rawInput, [&](const std::string& n) { notes.push_back(n); });
        bridged.onBridgeConnected(r.vt2Secret, BridgeNonce{});
        BridgeReply reply;
        BridgeSecret theirs{};
        theirs.fill(9);
        if (r.answersTheChallenge) {
            BridgeServerHandshake impostor(theirs, BridgeNonce{});
            const auto challenge = impostor.challenge();
            reply = bridged.onBridgeBytes(challenge.data(), challenge.size());
            const auto answer = EncodeBridgeMessage(BridgeAnswer{BridgeAnswerMac(theirs, BridgeNonce{}, BridgeNonce{})});
            if (!reply.refuse) reply = bridged.onBridgeBytes(answer.data(), answer.size());
        }
        const auto devices = Bytes({Gun(), BridgeDevicesListed{}});
        if (!reply.refuse) reply = bridged.onBridgeBytes(devices.data(), devices.size());
        EXPECT_TRUE(reply.refuse) << r.what;
        EXPECT_FALSE(bridged.waitingForDevices()) << r.what;
        EXPECT_EQ(bridged.deviceList().value_or(std::vector<RawInputDevice>{}).size(), sys.rawInput.devices->size()) << r.what;
        ASSERT_EQ(notes.size(), 1u) << r.what;
        EXPECT_EQ(notes[0], std::string("Linux input bridge refused: what answers on 127.0.0.1:0 is not this user's bridge (") + r.why +
                                "); its guns are not used");
    }
}

}  // namespace
}  // namespace vt2::test
