#include <gtest/gtest.h>

#include "engine/input_devices.h"
#include "input/device_listing.h"
#include "input/mouse_devices.h"
#include "input/raw_mouse.h"
#include "platform/synthetic_input.h"
#include "support/fake_platform.h"

namespace vt2::test {
namespace {

// Two identical guns on a hub (same vendor, product, interface and collection), a trackball, and
// a keyboard between them.
const std::string kGunA = R"(\\?\HID#VID_16C0&PID_0F01&MI_02&Col02#8&2c4d1a0&0&0001#{378de44c-56ef-11d1-bc8c-00a0c91405dd})";
const std::string kGunB = R"(\\?\HID#VID_16C0&PID_0F01&MI_02&Col02#8&11f0e3b&0&0001#{378de44c-56ef-11d1-bc8c-00a0c91405dd})";
const std::string kBall = R"(\\?\HID#VID_046D&PID_C408#7&3a4f&0&0000#{378de44c-56ef-11d1-bc8c-00a0c91405dd})";
const std::string kGunANewInstance =
    R"(\\?\HID#VID_16C0&PID_0F01&MI_02&Col02#9&77aa01&0&0001#{378de44c-56ef-11d1-bc8c-00a0c91405dd})";
const std::string kBallNewInstance = R"(\\?\HID#VID_046D&PID_C408#8&99&0&0000#{378de44c-56ef-11d1-bc8c-00a0c91405dd})";

RawInputDevice Mouse(std::uint32_t handle, const std::string& path, const std::string& product = "") {
    return {handle, kRawInputTypeMouse, path, product};
}

TEST(MouseDevices, TheListHoldsTheMiceInOrderWithTheirNamesAndIds) {
    const std::vector<MouseDevice> mice =
        ListMice({Mouse(7, kGunA, "  Sinden Lightgun "), {9, 1, R"(\\?\HID#VID_0001&PID_0002#1#{k})", "Keyboard"},
                  Mouse(8, kBall), Mouse(6, "")});
    ASSERT_EQ(mice.size(), 3u);
    EXPECT_EQ(mice[0].number, 0);
    EXPECT_EQ(mice[0].handle, 7u);
    EXPECT_EQ(mice[0].name, "Sinden Lightgun");
    EXPECT_EQ(mice[0].vendorId, 0x16C0);
    EXPECT_EQ(mice[0].productId, 0x0F01);
    // Without a product string, the name is what the path names.
    EXPECT_EQ(mice[1].number, 1);
    EXPECT_EQ(mice[1].name, "VID_046D&PID_C408");
    EXPECT_EQ(mice[1].productId, 0xC408);
    EXPECT_EQ(mice[2].name, "");
    EXPECT_FALSE(mice[2].vendorId.has_value());
}

TEST(MouseDevices, TheStablePartAndTheIdsOfAPath) {
    EXPECT_EQ(StableDevicePart(kGunA), "VID_16C0&PID_0F01&MI_02&Col02");
    EXPECT_EQ(StableDevicePart(kGunA), StableDevicePart(kGunB));
    EXPECT_EQ(StableDevicePart(""), "");
    EXPECT_EQ(StableDevicePart(R"(\\?\HID#VID_16C0&PID_0F01)"), "");  // no instance after it
    EXPECT_EQ(StableDevicePart("##x#y"), "");
    EXPECT_EQ(DevicePathId(R"(\\?\hid#vid_abcd&pid_00ef#1)", "VID_"), 0xABCD);
    EXPECT_EQ(DevicePathId(R"(\\?\hid#vid_abcd&pid_00ef#1)", "PID_"), 0x00EF);
    EXPECT_FALSE(DevicePathId(R"(\\?\HID#VID_12G4)", "VID_").has_value());  // not hexadecimal
    EXPECT_FALSE(DevicePathId(R"(\\?\HID#VID_12)", "VID_").has_value());    // cut short
    EXPECT_FALSE(DevicePathId(R"(\\?\ACPI#PNP0F13#4&1#{x})", "VID_").has_value());
}

class Binding : public ::testing::Test {
protected:
    std::vector<MouseDevice> mice(std::vector<RawInputDevice> devices) { return ListMice(devices); }
};

TEST_F(Binding, TheSavedPathBindsWhereverTheDeviceIsNowAndCaseAside) {
    // Saved as mouse 0; now the guns are found in the other order, behind the trackball.
    const auto now = mice({Mouse(1, kBall), Mouse(2, kGunB), Mouse(3, kGunA)});
    EXPECT_EQ(BindPlayerMouse(now, 0, kGunA, 1).index, 2u);
    EXPECT_EQ(BindPlayerMouse(now, 1, kGunB, 2).index, 1u);
    EXPECT_TRUE(BindPlayerMouse(now, 0, kGunA, 1).note.empty());
    std::string lower = kGunA;
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    EXPECT_EQ(BindPlayerMouse(now, 0, "  " + lower, 1).index, 2u);
    // A device removed: the other gun keeps its binding at its new place.
    const auto fewer = mice({Mouse(2, kGunB)});
    EXPECT_EQ(BindPlayerMouse(fewer, 1, kGunB, 2).index, 0u);
}

TEST_F(Binding, WithoutASavedPathMouseIdAppliesAsBefore) {
    const auto now = mice({Mouse(1, kBall), Mouse(2, kGunB)});
    for (const std::string& saved : {std::string(), std::string("   ")}) {
        EXPECT_EQ(BindPlayerMouse(now, 1, saved, 1).index, 1u);
        EXPECT_FALSE(BindPlayerMouse(now, 2, saved, 1).index.has_value());   // beyond the mice
        EXPECT_FALSE(BindPlayerMouse(now, -1, saved, 1).index.has_value());  // none
        EXPECT_TRUE(BindPlayerMouse(now, 1, saved, 1).note.empty());
    }
}

TEST_F(Binding, APathNotAttachedFallsBackToMouseIdAndSaysSo) {
    const auto now = mice({Mouse(1, kGunB), Mouse(2, kBall)});
    const MouseBinding b = BindPlayerMouse(now, 1, R"(\\?\HID#VID_1234&PID_5678#1&2&0&0000#{x})", 2);
    EXPECT_EQ(b.index, 1u);
    EXPECT_NE(b.note.find("Player 2: the saved device was not found"), std::string::npos) << b.note;
    EXPECT_NE(b.note.find("MouseID 1 applies"), std::string::npos) << b.note;
    EXPECT_FALSE(BindPlayerMouse(now, 5, "nonsense", 1).index.has_value());
}

TEST_F(Binding, ANewInstancePartBindsByTheStablePartOnlyWhenOneMouseHasIt) {
    // One gun, re-plugged: its instance changed. Bound to it, whatever MouseID says, and said so.
    const auto one = mice({Mouse(1, kBallNewInstance), Mouse(2, kGunANewInstance)});
    MouseBinding b = BindPlayerMouse(one, 0, kGunA, 1);
    EXPECT_EQ(b.index, 1u);
    EXPECT_NE(b.note.find("bound to VID_16C0&PID_0F01&MI_02&Col02 (device 1)"), std::string::npos) << b.note;
    b = BindPlayerMouse(one, 1, kBall, 2);
    EXPECT_EQ(b.index, 0u);
    // Two guns alike and the saved one's instance gone: which is which cannot be told, so MouseID.
    const auto two = mice({Mouse(1, kGunB), Mouse(2, kGunANewInstance), Mouse(3, kBall)});
    b = BindPlayerMouse(two, 2, kGunA, 1);
    EXPECT_EQ(b.index, 2u);
    EXPECT_NE(b.note.find("2 attached mice have its VID_16C0&PID_0F01&MI_02&Col02; MouseID 2 applies"),
              std::string::npos)
        << b.note;
    // Either gun at its full path is still told apart from its twin.
    EXPECT_EQ(BindPlayerMouse(two, 2, kGunB, 1).index, 0u);
}

TEST(MouseDevices, AButtonDownPicksItsMouseAndNothingElseDoes) {
    const auto mice = ListMice({Mouse(0x10, kBall), Mouse(0x20, kGunA)});
    RawMouseReport r;
    r.device = 0x20;
    r.lastX = 40;  // a move alone
    EXPECT_FALSE(MousePressingAButton(mice, r).has_value());
    for (std::uint32_t down : {0x0001u, 0x0004u, 0x0010u, 0x0040u, 0x0100u, 0x0005u}) {
        r.buttons = down;
        EXPECT_EQ(MousePressingAButton(mice, r), 1u) << down;
    }
    for (std::uint32_t other : {0x0002u, 0x0008u, 0x0200u, 0x0400u | (120u << 16)}) {  // releases, the wheel
        r.buttons = other;
        EXPECT_FALSE(MousePressingAButton(mice, r).has_value()) << other;
    }
    r.buttons = 0x0001;
    r.extraInformation = kSyntheticInputTag;  // this program's own click
    EXPECT_FALSE(MousePressingAButton(mice, r).has_value());
    r.extraInformation = 0;
    r.device = 0x99;  // a device that is not listed
    EXPECT_FALSE(MousePressingAButton(mice, r).has_value());
}

TEST(MouseDevices, TheListingNamesEachDeviceWithItsIdsAndPath) {
    const std::string text = DeviceListing(ListMice({Mouse(1, kGunA, "Gun"), Mouse(2, "")}),
                                           {{"Pad", 0x045E, 0x028E, R"(\\?\hid#vid_045e&pid_028e#1#{x})"}});
    EXPECT_EQ(text, "Raw input mice (Device # of a mouse or light-gun player, MouseID):\r\n"
                    "  0  Gun  vendor 16C0  product 0F01\r\n     " + kGunA + "\r\n" +
                        "  1    vendor ----  product ----\r\n     (no path)\r\n"
                        "DirectInput joysticks (Device # of a joystick player, JoyID):\r\n"
                        "  1  Pad  vendor 045E  product 028E\r\n     \\\\?\\hid#vid_045e&pid_028e#1#{x}\r\n");
    EXPECT_EQ(DeviceListing({}, {}), "Raw input mice (Device # of a mouse or light-gun player, MouseID):\r\n  (none)\r\n"
                                     "DirectInput joysticks (Device # of a joystick player, JoyID):\r\n  (none)\r\n");
}

// The run's binding, through the raw input seam.
class RunBinding : public ::testing::Test {
protected:
    void SetUp() override {
        for (PlayerConfig& p : settings().players) p.Enable = 1;
        settings().players[0].MouseID = 0;
        settings().players[1].MouseID = 1;
    }
    PlayerSettings& settings() { return sys.engine.state.settings; }
    void start() {
        HookState& s = sys.engine.state;
        StartRawInput(sys.rawInput, sys.messageBoxes, s.rawMouse, s.settings, s.players);
    }
    const RawMouse& mouse() { return sys.engine.state.rawMouse; }
    FakeSystem sys;
};

TEST_F(RunBinding, SavedPathsBindAfterTheOrderChangedAndTheReportsFollow) {
    sys.rawInput.devices = std::vector<RawInputDevice>{Mouse(0x30, kGunB), Mouse(0x40, kGunA)};
    settings().players[0].MouseDevice = kGunA;  // saved when gun A was mouse 0
    settings().players[1].MouseDevice = kGunB;
    start();
    EXPECT_EQ(mouse().playerDevice(kPlayer1), 0x40u);
    EXPECT_EQ(mouse().playerDevice(kPlayer2), 0x30u);
    EXPECT_TRUE(mouse().bindingNotes().empty());
    EXPECT_TRUE(sys.eventsStartingWith("stop reports").empty());  // raw input stays on
}

TEST_F(RunBinding, AFileWithoutMouseDeviceBindsAsBefore) {
    sys.rawInput.devices = std::vector<RawInputDevice>{Mouse(0x30, kGunB), Mouse(0x40, kGunA)};
    start();
    EXPECT_EQ(mouse().playerDevice(kPlayer1), 0x30u);
    EXPECT_EQ(mouse().playerDevice(kPlayer2), 0x40u);
    EXPECT_TRUE(mouse().bindingNotes().empty());
    // Both on mouse 0 stops the reports, as it always did; a saved path that puts one of them
    // elsewhere keeps them.
    FakeSystem both;
    both.rawInput.devices = sys.rawInput.devices;
    PlayerSettings& s = both.engine.state.settings;
    for (PlayerConfig& p : s.players) p.Enable = 1;
    StartRawInput(both.rawInput, both.messageBoxes, both.engine.state.rawMouse, s, both.engine.state.players);
    EXPECT_EQ(both.eventsStartingWith("stop reports").size(), 1u);
    FakeSystem apart;
    apart.rawInput.devices = sys.rawInput.devices;
    PlayerSettings& t = apart.engine.state.settings;
    for (PlayerConfig& p : t.players) p.Enable = 1;
    t.players[1].MouseDevice = kGunA;
    StartRawInput(apart.rawInput, apart.messageBoxes, apart.engine.state.rawMouse, t, apart.engine.state.players);
    EXPECT_TRUE(apart.eventsStartingWith("stop reports").empty());
    EXPECT_EQ(apart.engine.state.rawMouse.playerDevice(kPlayer2), 0x40u);
}

TEST_F(RunBinding, ADeviceNotFoundIsToldInTheDebugWindowAndMouseIdApplies) {
    sys.rawInput.devices = std::vector<RawInputDevice>{Mouse(0x30, kBall), Mouse(0x40, kGunB)};
    settings().players[0].MouseDevice = R"(\\?\HID#VID_9999&PID_0001#1&1&0&0000#{x})";
    settings().players[1].Enable = 0;  // a player who is off is not bound, nor told about
    settings().players[1].MouseDevice = R"(\\?\HID#VID_9999&PID_0002#1&1&0&0000#{x})";
    sys.engine.state.descriptor.GameType = "";
    StartInputDevices(sys.engine);
    EXPECT_EQ(mouse().playerDevice(kPlayer1), 0x30u);
    ASSERT_EQ(sys.engine.state.notes.size(), 1u);
    EXPECT_NE(sys.engine.state.notes[0].find("Player 1: the saved device was not found"), std::string::npos);
}

}  // namespace
}  // namespace vt2::test
