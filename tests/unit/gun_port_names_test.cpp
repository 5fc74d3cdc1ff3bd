// Guns' ports by names that stay: a Linux path, or a USB id found among the serial ports.
#include <gtest/gtest.h>

#include "engine/gun_feedback_step.h"
#include "outputs/gun_port_names.h"
#include "support/fake_platform.h"

namespace vt2::test {
namespace {

TEST(GunPortNames, ALinuxPathOrAUsbIdIsANameAndAnythingElseIsNone) {
    const std::pair<const char*, std::optional<GunPortName>> cases[] = {
        {"/dev/serial/by-id/usb-Gun4IR_P1-if00", GunPortName{"/dev/serial/by-id/usb-Gun4IR_P1-if00", {}}},
        {"  /dev/ttyACM0 ", GunPortName{"/dev/ttyACM0", {}}},
        {"USB\\VID_2341&PID_8036\\HG0001", GunPortName{{}, {0x2341, 0x8036, "HG0001"}}},
        {"usb\\vid_2341&pid_80ab\\hg0001", GunPortName{{}, {0x2341, 0x80AB, "hg0001"}}},  // the serial as written
        {"VID_0403&PID_6001", GunPortName{{}, {0x0403, 0x6001, ""}}},                    // any serial
        {"USB\\VID_2341&PID_8036&MI_00\\6&1A2B3C&0&0000", GunPortName{{}, {0x2341, 0x8036, ""}}},  // an interface's own number
        {"/", std::nullopt},
        {"COM7", std::nullopt},
        {"my gun", std::nullopt},
        {"USB\\VID_23G1&PID_8036", std::nullopt},
        {"USB\\VID_2341&PID_803", std::nullopt},
        {"USB\\VID_2341&PID_80361\\X", std::nullopt},
        {"FTDIBUS\\VID_0403+PID_6001+A50285BIA\\0000", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& [text, name] : cases) {
        EXPECT_EQ(ParseGunPortName(text), name) << text;
        if (name) EXPECT_EQ(ParseGunPortName(GunPortNameText(*name)), name) << text;
    }
    EXPECT_EQ(GunPortNameText({{}, {0x2341, 0x8036, "HG0001"}}), "USB\\VID_2341&PID_8036\\HG0001");
}

TEST(GunPortNames, AUsbIdFindsThePortOfItsDeviceOrOfItsParentAndNoneWhenItIsNotAttached) {
    const std::vector<ListedSerialPort> ports{
        {3, {"ACPI\\PNP0501\\1"}},                                                          // the board's own port
        {7, {"USB\\VID_2341&PID_8036&MI_00\\6&1A2B&0&0000", "USB\\VID_2341&PID_8036\\HG0001"}},  // composite: the parent has the serial
        {9, {"USB\\VID_2341&PID_8036\\HG0002"}},
        {12, {"USB\\VID_0403&PID_6001\\A50285BI"}},
    };
    const std::pair<UsbSerialId, std::optional<int>> cases[] = {
        {{0x2341, 0x8036, "HG0001"}, 7}, {{0x2341, 0x8036, "hg0002"}, 9}, {{0x2341, 0x8036, ""}, 7},
        {{0x0403, 0x6001, "A50285BI"}, 12}, {{0x2341, 0x8036, "HG0003"}, std::nullopt}, {{0x1234, 0x8036, ""}, std::nullopt},
    };
    for (const auto& [id, com] : cases) EXPECT_EQ(FindUsbSerialPort(id, ports), com) << id.serial;
    EXPECT_EQ(FindUsbSerialPort({0x2341, 0x8036, ""}, {}), std::nullopt);
}

TEST(GunPortNames, Vt2IniNamesEachComPortAndAValueThatIsNoNameIsSaid) {
    FakeSystem sys;
    sys.folder.writeFile("vt2.ini", "[Feedback]\r\nCOM1=/dev/serial/by-id/usb-gun-one\r\nCOM255=VID_2341&PID_8036\r\nCOM3=my gun\r\n"
                                    "COM256=/dev/ttyACM9\r\nCOM4=\r\nTCP1=127.0.0.1:13000\r\n");
    std::vector<std::string> notes;
    const auto names = ReadGunPortNames(sys.ini, sys.folder.path(), notes);
    EXPECT_EQ(names, (std::map<int, GunPortName>{{1, {"/dev/serial/by-id/usb-gun-one", {}}}, {255, {{}, {0x2341, 0x8036, ""}}}}));
    ASSERT_EQ(notes.size(), 1u);
    EXPECT_EQ(notes[0], "vt2.ini [Feedback] COM3=my gun is neither a Linux path (/dev/serial/by-id/...) nor a USB id "
                        "(USB\\VID_xxxx&PID_xxxx\\serial): COM3 is the system's own");
}

}  // namespace
}  // namespace vt2::test
