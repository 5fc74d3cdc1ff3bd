#include <gtest/gtest.h>

#include "input/raw_input_record.h"
#include "input/raw_mouse.h"
#include "platform/synthetic_input.h"
#include "support/fake_platform.h"

namespace vt2::test {
namespace {

constexpr std::uint32_t kMouseA = 0x10, kMouseB = 0x20, kMouseC = 0x30;

class RawMice : public ::testing::Test {
protected:
    void SetUp() override {
        sys.rawInput.devices = std::vector<RawInputDevice>{{kMouseA, 0, {}, {}}, {0x99, 1, {}, {}}, {kMouseB, 0, {}, {}}, {kMouseC, 0, {}, {}}};
        PlayerSettings& s = sys.engine.state.settings;
        for (PlayerConfig& p : s.players) {
            p.Enable = 1;
            p.MouseAccel = 18;
            p.TriggerButton = 0;
            p.ReloadButton = 1;
            p.StartButton = 2;
            p.CoinButton = -1;
            p.EscButton = 4;
        }
        s.players[0].MouseID = 0;
        s.players[1].MouseID = 1;
    }
    void start() {
        HookState& s = sys.engine.state;
        StartRawInput(sys.rawInput, sys.messageBoxes, s.rawMouse, s.settings, s.players);
    }
    static RawMouseReport move(std::uint32_t device, std::int32_t dx, std::int32_t dy, std::uint32_t buttons = 0) {
        RawMouseReport r;
        r.device = device;
        r.lastX = dx;
        r.lastY = dy;
        r.buttons = buttons;
        return r;
    }
    PlayerValues& player(std::size_t i) { return sys.engine.state.players[i].current; }
    FakeSystem sys;
};

TEST_F(RawMice, TheFlagTableHoldsTheTransitionFlags) {
    RawMouse mouse;
    mouse.BuildButtonFlagTable();
    EXPECT_EQ(mouse.ButtonFlagTable()[1][0], 0x0001);
    EXPECT_EQ(mouse.ButtonFlagTable()[1][1], 0x0002);
    EXPECT_EQ(mouse.ButtonFlagTable()[2][0], 0x0004);
    EXPECT_EQ(mouse.ButtonFlagTable()[5][1], 0x0200);
    EXPECT_EQ(mouse.ButtonFlagTable()[16][0], 1073741824.0);
    EXPECT_EQ(mouse.ButtonFlagTable()[16][1], 2147483648.0);
}

TEST_F(RawMice, MiceAreListedInOrderAndBoundByTheirIndex) {
    start();
    const RawMouse& mouse = sys.engine.state.rawMouse;
    EXPECT_EQ(mouse.MouseHandles(), (std::vector<std::uint32_t>{kMouseA, kMouseB, kMouseC}));
    EXPECT_EQ(mouse.playerDevice(0), kMouseA);
    EXPECT_EQ(mouse.playerDevice(1), kMouseB);
    EXPECT_EQ(sys.log, (EventLog{"start reports", "register mice"}));
}

TEST_F(RawMice, EachMouseMovesOnlyItsPlayerAndAThirdMovesNobody) {
    start();
    sys.rawInput.deliver(move(kMouseA, 100, 200));
    EXPECT_FLOAT_EQ(player(0).X, 1800.0f / 65535.0f);
    EXPECT_FLOAT_EQ(player(0).Y, 3600.0f / 65535.0f);
    EXPECT_EQ(player(1).X, 0.0f);
    sys.rawInput.deliver(move(kMouseB, 3641, 0));
    EXPECT_EQ(player(1).X, 1.0f);  // 3641 counts at 18 cross the whole range
    const PlayerState before = sys.engine.state.players;
    sys.rawInput.deliver(move(kMouseC, 500, 500, 0x0001));
    EXPECT_EQ(sys.engine.state.players[0].current, before[0].current);
    EXPECT_EQ(sys.engine.state.players[1].current, before[1].current);
}

TEST_F(RawMice, RelativeMotionStopsAtTheEdges) {
    start();
    sys.rawInput.deliver(move(kMouseA, -50, 5000));
    EXPECT_EQ(player(0).X, 0.0f);
    EXPECT_EQ(player(0).Y, 1.0f);
    sys.rawInput.deliver(move(kMouseA, 10, -10));
    EXPECT_FLOAT_EQ(player(0).X, 180.0f / 65535.0f);
    EXPECT_FLOAT_EQ(player(0).Y, 1.0f - 180.0f / 65535.0f);
}

TEST_F(RawMice, ZeroAccelerationFreezesANegativeOneInverts) {
    sys.engine.state.settings.players[0].MouseAccel = 0;
    sys.engine.state.settings.players[1].MouseAccel = -18;
    start();
    player(1).X = 0.5f;
    sys.rawInput.deliver(move(kMouseA, 300, 300));
    sys.rawInput.deliver(move(kMouseB, 100, 0));
    EXPECT_EQ(player(0).X, 0.0f);
    EXPECT_FLOAT_EQ(player(1).X, static_cast<float>(0.5f - 1800.0 / 65535.0));
}

TEST_F(RawMice, AbsoluteReportsSetThePositionEvenBeyondOne) {
    start();
    RawMouseReport r = move(kMouseA, 32768, 70000);
    r.flags = 1;
    sys.rawInput.deliver(r);
    EXPECT_FLOAT_EQ(player(0).X, 32768.0f / 65535.0f);
    EXPECT_FLOAT_EQ(player(0).Y, static_cast<float>(70000.0 / 65535.0));
    EXPECT_GT(player(0).Y, 1.0f);
}

TEST_F(RawMice, ButtonTransitionsByEqualityAndTheFiveFunctions) {
    start();
    sys.rawInput.deliver(move(kMouseA, 0, 0, 0x0001));  // left down
    EXPECT_EQ(player(0).Trigger, 1);
    sys.rawInput.deliver(move(kMouseA, 0, 0, 0x0004));  // right down
    EXPECT_EQ(player(0).Reload, 1);
    sys.rawInput.deliver(move(kMouseA, 0, 0, 0x0002));  // left up
    EXPECT_EQ(player(0).Trigger, 0);
    EXPECT_EQ(player(0).Reload, 1);
    sys.rawInput.deliver(move(kMouseA, 0, 0, 0x0010));  // middle down: start
    EXPECT_EQ(player(0).StartDevice, 1);
    sys.rawInput.deliver(move(kMouseA, 0, 0, 0x0100));  // fifth down: escape
    EXPECT_EQ(player(0).EscDevice, 1);
    EXPECT_EQ(player(0).CoinDevice, 0);  // no button: keeps its value
    EXPECT_EQ(player(0).Start, 0);       // the final states are the pass's business
}

TEST_F(RawMice, TwoTransitionsInOneReportOrAWheelChangeNoButton) {
    start();
    sys.rawInput.deliver(move(kMouseA, 0, 0, 0x0001 | 0x0004));  // left and right down together
    EXPECT_EQ(player(0).Trigger, 0);
    EXPECT_EQ(player(0).Reload, 0);
    sys.rawInput.deliver(move(kMouseA, 0, 0, 0x0001 | (120u << 16)));  // a press with wheel data
    EXPECT_EQ(player(0).Trigger, 0);
}

TEST_F(RawMice, AButtonNumberBeyondTheSlotsLeavesItsFunctionAlone) {
    sys.engine.state.settings.players[0].TriggerButton = 16;
    start();
    player(0).Trigger = 1;
    sys.rawInput.deliver(move(kMouseA, 0, 0, 0x40000000));  // button 16 down
    sys.rawInput.deliver(move(kMouseA, 0, 0, 0x80000000));
    EXPECT_EQ(player(0).Trigger, 1);
}

TEST_F(RawMice, BothPlayersOnMouseZeroProcessNoReport) {
    sys.engine.state.settings.players[1].MouseID = 0;
    start();
    EXPECT_EQ(sys.log, (EventLog{"start reports", "register mice", "stop reports"}));
    sys.rawInput.deliver(move(kMouseA, 100, 100));
    EXPECT_EQ(player(0).X, 0.0f);
}

TEST_F(RawMice, DisabledPlayersAndMissingMiceStayUnbound) {
    PlayerSettings& s = sys.engine.state.settings;
    s.players[0].Enable = 0;
    s.players[0].SysMouse = 1;  // still bound: the system cursor follows it
    s.players[1].MouseID = 7;   // beyond the three mice
    start();
    EXPECT_EQ(sys.engine.state.rawMouse.playerDevice(0), kMouseA);
    EXPECT_EQ(sys.engine.state.rawMouse.playerDevice(1), 0u);
    s.players[0].SysMouse = 0;
    s.players[0].MouseID = 2;
    start();
    EXPECT_EQ(sys.engine.state.rawMouse.playerDevice(0), kMouseA);  // keeps the earlier binding
}

TEST_F(RawMice, ASavedDeviceAttachedAfterTheStartTakesItsPlayerOverOnlyOnce) {
    PlayerSettings& s = sys.engine.state.settings;
    s.players[0].MouseDevice = "/dev/input/by-id/usb-Gun_1-event-mouse";  // attached at the start
    sys.rawInput.devices->at(0).path = s.players[0].MouseDevice;
    s.players[1].MouseDevice = " /dev/input/by-id/usb-Gun_2-event-mouse";  // not yet: MouseID 1
    std::vector<std::string> notes;
    sys.engine.state.rawMouse.noteLateBindings([&](const std::string& n) { notes.push_back(n); });
    start();
    RawMouse& mouse = sys.engine.state.rawMouse;
    ASSERT_EQ(mouse.playerDevice(1), kMouseB);

    const RawInputDevice other{0x7B000001, kRawInputTypeMouse, "/dev/input/by-id/usb-Other-event-mouse", "Other", {}, {}};
    const RawInputDevice gun2{0x7B000002, kRawInputTypeMouse, "/DEV/input/by-id/usb-Gun_2-event-mouse", "Gun 2", {}, {}};
    const RawInputDevice gun1Again{0x7B000003, kRawInputTypeMouse, s.players[0].MouseDevice, "Gun 1", {}, {}};
    mouse.onMouseAttached(other);
    EXPECT_EQ(mouse.playerDevice(1), kMouseB);
    mouse.onMouseAttached(gun2);
    EXPECT_EQ(mouse.playerDevice(1), gun2.handle);
    mouse.onMouseAttached(gun1Again);  // player 1 has its saved device already
    EXPECT_EQ(mouse.playerDevice(0), kMouseA);
    EXPECT_EQ(notes, (std::vector<std::string>{"Player 2: the saved device is attached now (Gun 2)"}));

    sys.rawInput.deliver(move(gun2.handle, 3641, 0));
    EXPECT_EQ(player(1).X, 1.0f);
    sys.rawInput.deliver(move(kMouseB, -3641, 0));  // its stand-in moves nobody now
    EXPECT_EQ(player(1).X, 1.0f);
}

TEST_F(RawMice, ASoftwareReportOfHandleZeroMovesAnUnboundPlayerOneFirst) {
    sys.rawInput.devices = std::vector<RawInputDevice>{};
    start();
    sys.rawInput.deliver(move(0, 100, 0));
    EXPECT_GT(player(0).X, 0.0f);
    EXPECT_EQ(player(1).X, 0.0f);
}

TEST_F(RawMice, AFailedRegistrationSaysSoAndAFailedListBindsNothing) {
    sys.rawInput.registers = false;
    start();
    EXPECT_EQ(sys.eventsStartingWith("message "), (std::vector<std::string>{"message RawInput init failed."}));
    FakeSystem other;
    other.rawInput.devices = std::nullopt;
    StartRawInput(other.rawInput, other.messageBoxes, other.engine.state.rawMouse, other.engine.state.settings,
                  other.engine.state.players);
    // Registered before the list is asked for (listing may wait for the Linux bridge), but with
    // no list nobody is bound and nothing is said.
    EXPECT_EQ(other.log, (EventLog{"start reports", "register mice"}));
    EXPECT_EQ(other.engine.state.rawMouse.playerDevice(0), 0u);
}

TEST_F(RawMice, ThisProgramsOwnTaggedMouseEventsMoveNobodyOtherProgramsInputStillDoes) {
    start();
    RawMouseReport own = move(kMouseA, 100, 0, 0x0001);  // as the system mouse click of cursor mode returns
    own.extraInformation = kSyntheticInputTag;
    sys.rawInput.deliver(own);
    EXPECT_EQ(player(0).Trigger, 0);
    EXPECT_EQ(player(0).X, 0.0f);
    RawMouseReport other = move(kMouseA, 0, 0, 0x0001);
    other.extraInformation = 0x12345678;  // another program's synthesized input keeps today's rule
    sys.rawInput.deliver(other);
    EXPECT_EQ(player(0).Trigger, 1);
}

TEST_F(RawMice, AnUnboundPlayerDoesNotTakeTheTaggedEventsOfHandleZero) {
    sys.rawInput.devices = std::vector<RawInputDevice>{};  // no mouse: both players keep handle 0
    start();
    RawMouseReport own = move(0, 0, 0, 0x0001);
    own.extraInformation = kSyntheticInputTag;
    sys.rawInput.deliver(own);
    EXPECT_EQ(player(0).Trigger, 0);
    EXPECT_EQ(player(1).Trigger, 0);
}

// A record as the system lays it out for a 32-bit program (its mouse part after a 16-byte
// header), or for a 64-bit one (after a 24-byte header).
std::vector<std::uint8_t> Record(std::uint32_t type, std::uint32_t ownSize, std::size_t bytes, std::size_t header = 16) {
    std::vector<std::uint8_t> r(bytes, 0);
    auto put = [&](std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4 && at + i < r.size(); ++i) r[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
    };
    put(0, type);
    put(4, ownSize);
    put(8, 0x20);                   // device
    put(header, 0x0001);            // flags: absolute
    put(header + 4, 0x00780001);    // left down, wheel data 120
    put(header + 8, 7);             // raw buttons
    put(header + 12, 0xFFFFFFFB);   // x -5
    put(header + 16, 12);           // y
    put(header + 20, 0xCAFE);       // extra information
    return r;
}

TEST(RawInputRecords, AWholeMouseRecordIsReadFieldByFieldInEitherLayout) {
    for (const RawInputLayout layout : {RawInputLayout::Bits32, RawInputLayout::Bits64}) {
        const std::size_t header = RawInputHeaderBytes(layout);
        const auto bytes = Record(0, static_cast<std::uint32_t>(header + 24), header + 24, header);
        const RawInputRecord r = ReadRawInputRecord(bytes.data(), bytes.size(), layout);
        ASSERT_EQ(r.kind, RawInputKind::Mouse) << header;
        EXPECT_EQ(r.report.device, 0x20u);
        EXPECT_EQ(r.report.flags, 1);
        EXPECT_EQ(r.report.buttons, 0x00780001u);
        EXPECT_EQ(r.report.rawButtons, 7u);
        EXPECT_EQ(r.report.lastX, -5);
        EXPECT_EQ(r.report.lastY, 12);
        EXPECT_EQ(r.report.extraInformation, 0xCAFEu);
        // Forty bytes hold no whole 64-bit record.
        EXPECT_EQ(ReadRawInputRecord(bytes.data(), 40, RawInputLayout::Bits64).kind == RawInputKind::Mouse, false);
    }
}

TEST(RawInputRecords, EverySizeIsCheckedBeforeTheRecordIsRead) {
    EXPECT_EQ(ReadRawInputRecord(nullptr, 40).kind, RawInputKind::Malformed);
    const auto header = Record(0, 16, 16);  // a mouse header with nothing after it
    EXPECT_EQ(ReadRawInputRecord(header.data(), header.size()).kind, RawInputKind::Malformed);
    const auto shortMouse = Record(0, 39, 39);
    EXPECT_EQ(ReadRawInputRecord(shortMouse.data(), shortMouse.size()).kind, RawInputKind::Malformed);
    const auto lying = Record(0, 40, 24);  // says 40, has 24
    EXPECT_EQ(ReadRawInputRecord(lying.data(), lying.size()).kind, RawInputKind::Malformed);
    const auto belowHeader = Record(0, 8, 40);
    EXPECT_EQ(ReadRawInputRecord(belowHeader.data(), belowHeader.size()).kind, RawInputKind::Malformed);
    const auto tiny = Record(0, 40, 15);
    EXPECT_EQ(ReadRawInputRecord(tiny.data(), tiny.size()).kind, RawInputKind::Malformed);
    const auto keyboard = Record(1, 32, 32);  // a keyboard's record is passed on, not read as a mouse
    EXPECT_EQ(ReadRawInputRecord(keyboard.data(), keyboard.size()).kind, RawInputKind::Other);
    const auto longer = Record(0, 48, 48);  // more than a mouse record: the mouse part is read
    EXPECT_EQ(ReadRawInputRecord(longer.data(), longer.size()).kind, RawInputKind::Mouse);
}

TEST(LastMouseIndex, CountsTheMiceMinusOne) {
    EventLog log;
    FakeRawInput raw(log);
    raw.devices = std::vector<RawInputDevice>{{1, 0, {}, {}}, {2, 1, {}, {}}, {3, 0, {}, {}}};
    EXPECT_EQ(LastMouseIndex(raw), 1);
    raw.devices = std::vector<RawInputDevice>{{2, 1, {}, {}}};
    EXPECT_EQ(LastMouseIndex(raw), -1);
    raw.devices = std::nullopt;
    EXPECT_EQ(LastMouseIndex(raw), 0);
}

}  // namespace
}  // namespace vt2::test
