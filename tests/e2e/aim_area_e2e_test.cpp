// Where the aim lands: the game in a window at an offset from the screen's corner, the picture
// between bars, a calibration made by shooting its targets, and a reload fired off the picture.
// Wine's one mouse moves relatively (an injected absolute move arrives as relative raw input too),
// so the areas are checked through relative moves and player 1's system cursor.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "adapters/win32/main_window_ids.h"
#include "support/ui_driver.h"
#include "support/win32_harness.h"

namespace vt2::test {
namespace {

constexpr double kCount = 18.0 / 65535;  // what one count moves the aim by at the default acceleration

RECT ClientOnScreen(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    POINT corner{0, 0};
    ClientToScreen(window, &corner);
    return {corner.x, corner.y, corner.x + client.right, corner.y + client.bottom};
}

bool CursorAt(int x, int y) {
    POINT at{};
    return GetCursorPos(&at) && std::abs(at.x - x) <= 1 && std::abs(at.y - y) <= 1;
}

std::string CursorText() {
    POINT at{};
    GetCursorPos(&at);
    return std::to_string(at.x) + "," + std::to_string(at.y);
}

class AimAreaE2E : public ::testing::Test {
protected:
    void SetUp() override {
        install.setIni("memcfg\\demo.ini", "Info", "LaunchGame", "0");
        game = install.startDemoGame();
        ASSERT_TRUE(WaitUntil([&] { return (gameWindow = FindTopWindowOf(game.id(), "VT2DemoGame")) != nullptr; }));
        ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == gameWindow; }));
    }
    // The game's window placed with its client area's corner at (x, y), its outer size as given.
    void placeGame(int x, int y, int width, int height) {
        SetWindowPos(gameWindow, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
        ASSERT_TRUE(WaitUntil([&] {
            RECT r{};
            GetWindowRect(gameWindow, &r);
            return r.left == x && r.top == y && r.right - r.left == width;
        }));
    }
    void hook(const std::string& area, const std::string& aspect, bool systemMouse) {
        const char* settings = "joycfg\\default.ini";
        install.setIni(settings, "Player1", "SysMouse", systemMouse ? "1" : "0");
        install.setIni(settings, "Aim", "Area", area);
        if (!aspect.empty()) install.setIni(settings, "Aim", "Aspect", aspect);
        ASSERT_TRUE(ParkPointerAwayFromWindows());
        vt2 = install.startVt2("demo");
        ASSERT_TRUE(WaitForStatus(vt2, "Status:  Hooked VT2 Demo Game"));
    }
    std::int16_t aimX() const { return ReadGameValue<std::int16_t>(game, layout.address("vt2demo_p1_x")); }
    std::int16_t aimY() const { return ReadGameValue<std::int16_t>(game, layout.address("vt2demo_p1_y")); }
    std::uint8_t buttons() const { return ReadGameValue<std::uint8_t>(game, layout.address("vt2demo_buttons")); }
    // What VT2's debug window says of player 1, for a failure's message.
    std::string debugText() const { return LabelText(FindMainWindowOf(vt2.id()), win32::kIdPlayer1Label); }

    // Pushes the aim to the far bottom-right, then the far top-left (the aim starts at 0, and a
    // value that does not change is not written): the game's aim at its full range and at 0, and
    // the point VT2 names in the area on the area's corner pixels; with the system mouse, the
    // cursor there too. One move each way: under Wine (with no real mouse) a move injected while
    // VT2 puts the cursor back can make Wine hand the jump back as a move of the mouse.
    void checkCorners(const RECT& area, bool systemMouse) {
        auto at = [](int x, int y) { return "At:  (" + std::to_string(x) + "," + std::to_string(y) + ")"; };
        auto there = [&](int x, int y) {
            return debugText().find(at(x, y)) != std::string::npos && (!systemMouse || CursorAt(x, y));
        };
        ASSERT_TRUE(Inject("move 4000 4000"));
        EXPECT_TRUE(WaitUntil([&] { return aimX() == 640 && aimY() == 480 && there(area.right - 1, area.bottom - 1); }))
            << aimX() << "," << aimY() << " cursor " << CursorText() << "\n" << debugText();
        ASSERT_TRUE(Inject("move -4000 -4000"));
        EXPECT_TRUE(WaitUntil([&] { return aimX() == 0 && aimY() == 0 && there(area.left, area.top); }))
            << aimX() << "," << aimY() << " cursor " << CursorText() << "\n" << debugText();
    }

    TempInstall install;
    DemoLayout layout;
    ChildProcess game;
    ChildProcess vt2;
    HWND gameWindow = nullptr;
};

TEST_F(AimAreaE2E, AWindowAtAnOffsetIsTheAreaItsCornersAndItsMiddle) {
    placeGame(150, 90, 700, 560);
    hook("Window", "", false);
    const RECT client = ClientOnScreen(gameWindow);
    ASSERT_GT(client.left, 150);
    checkCorners(client, false);
    // Half the range on (1820 counts at 18): the middle of the game's range and of its window.
    ASSERT_TRUE(Inject("move 1820 1820"));
    const auto middle = static_cast<std::int16_t>(std::nearbyint(640 * 1820 * kCount));
    const std::string centre = "At:  (" + std::to_string((client.left + client.right - 1) / 2) + "," +
                               std::to_string((client.top + client.bottom - 1) / 2) + ")";
    EXPECT_TRUE(WaitUntil([&] { return aimX() == middle && debugText().find(centre) != std::string::npos; }))
        << aimX() << " against " << middle << "\n" << debugText() << "\nagainst " << centre;
}

TEST_F(AimAreaE2E, WithTheSystemMousePlayerOnesCursorStaysOnTheWindowsCorners) {
    placeGame(150, 90, 700, 560);
    hook("Window", "", true);
    checkCorners(ClientOnScreen(gameWindow), true);
}

// A fast mouse: many small moves 1 to 10 ms apart, the way a hand pushes to a corner, while VT2
// keeps player 1's cursor on the aim. Each corner is pushed to from a little way in (100 counts
// back, 2400 on, as a player saw the cursor stop 46 pixels short under Wine when VT2 put the
// cursor back from beyond the window's edge and Wine handed the jumps back as moves).
TEST_F(AimAreaE2E, PushedFastTheSystemCursorReachesTheWindowsCorners) {
    placeGame(100, 80, 500, 400);
    hook("Window", "", true);
    const RECT area = ClientOnScreen(gameWindow);
    auto at = [](int x, int y) { return "At:  (" + std::to_string(x) + "," + std::to_string(y) + ")"; };
    auto there = [&](int x, int y) { return debugText().find(at(x, y)) != std::string::npos && CursorAt(x, y); };
    auto push = [](int dx, int count, const std::string& gap) {
        const std::string d = std::to_string(dx);
        return Inject("move " + d + " " + d + " " + std::to_string(count) + " --gap " + gap);
    };
    for (const std::string gap : {"1", "2", "10", "1", "2", "10"}) {
        ASSERT_TRUE(push(60, 80, gap) && push(-20, 5, gap) && push(60, 40, gap));
        EXPECT_TRUE(WaitUntil([&] { return aimX() == 640 && aimY() == 480 && there(area.right - 1, area.bottom - 1); }))
            << "gap " << gap << ": " << aimX() << "," << aimY() << " cursor " << CursorText() << "\n" << debugText();
        ASSERT_TRUE(push(-60, 80, gap) && push(20, 5, gap) && push(-60, 40, gap) && push(1, 1, gap));
        // The last count back in leaves the aim on the corner's pixel.
        EXPECT_TRUE(WaitUntil([&] { return aimX() == 0 && aimY() == 0 && there(area.left, area.top); }))
            << "gap " << gap << ": " << aimX() << "," << aimY() << " cursor " << CursorText() << "\n" << debugText();
    }
}

TEST_F(AimAreaE2E, APictureOfFourByThreeInAStretchedWindowIsTheAreaBetweenTheBars) {
    placeGame(40, 60, 1000, 400);
    hook("Picture", "4:3", true);
    const RECT client = ClientOnScreen(gameWindow);
    const int height = client.bottom - client.top;
    const int width = height * 4 / 3;
    const int left = client.left + (client.right - client.left - width) / 2;
    ASSERT_GT(left, client.left + 100);  // bars at the sides
    checkCorners({left, client.top, left + width, client.bottom}, true);
}

TEST_F(AimAreaE2E, ATriggerPulledOffTheCalibratedPictureReloadsAndOnItFires) {
    const char* settings = "joycfg\\default.ini";
    install.setIni(settings, "Player1", "OffscreenReload", "1");
    install.setIni(settings, "Aim", "Area", "Calibrated");
    for (const auto& [key, value] : {std::pair{"Player1Left", "0.1"}, {"Player1Top", "0.1"}, {"Player1Right", "0.9"},
                                     {"Player1Bottom", "0.9"}}) {
        install.setIni(settings, "Aim", key, value);
    }
    ASSERT_TRUE(ParkPointerAwayFromWindows());
    vt2 = install.startVt2("demo");
    ASSERT_TRUE(WaitForStatus(vt2, "Status:  Hooked VT2 Demo Game"));
    // The mouse at the screen's top-left corner: off the picture, which starts a tenth in. The
    // aim is not written there: the game keeps what it had.
    const std::int16_t before = aimX();
    ASSERT_TRUE(Inject("move -3000 -3000 3 --gap 30"));
    ASSERT_TRUE(WaitUntil([&] { return debugText().find("At:  off the picture") != std::string::npos; })) << debugText();
    ASSERT_TRUE(Inject("button left down"));
    EXPECT_TRUE(WaitUntil([&] { return (buttons() & 3) == 2; })) << static_cast<int>(buttons());
    ASSERT_TRUE(Inject("button left up"));
    EXPECT_TRUE(WaitUntil([&] { return (buttons() & 3) == 0; })) << static_cast<int>(buttons());
    EXPECT_EQ(aimX(), before);
    // In the middle of the picture: the trigger fires.
    ASSERT_TRUE(Inject("move 1820 1820"));
    EXPECT_TRUE(WaitUntil([&] { return aimX() == static_cast<std::int16_t>(std::nearbyint(640 * (1820 * kCount - 0.1) / 0.8)); }))
        << aimX();
    ASSERT_TRUE(Inject("button left down"));
    EXPECT_TRUE(WaitUntil([&] { return (buttons() & 3) == 1; })) << static_cast<int>(buttons());
    ASSERT_TRUE(Inject("button left up"));
}

TEST(CalibrationE2E, ShootingTheTargetsSavesEdgesThatTheRunThenAimsThrough) {
    TempInstall install;
    install.setIni("memcfg\\demo.ini", "Info", "LaunchGame", "0");
    ChildProcess vt2 = install.startVt2("");
    UiWindow config = ConfigurationPage2(vt2.id(), "0");
    ASSERT_TRUE(config);
    ASSERT_TRUE(ParkPointerAwayFromWindows());
    config.click(config.control("Calibrate"));  // player 1's: the first of the two
    UiWindow screen = UiWindow::WaitFor(vt2.id(), "VT2 Calibration");
    ASSERT_TRUE(screen);
    // The calibration's mouse starts in the middle: 1000 counts up-left for the first target,
    // 2000 down-right for the second, a shot at each, a third at the check.
    ASSERT_TRUE(Inject("move -1000 -1000"));
    ASSERT_TRUE(Inject("button left down"));
    ASSERT_TRUE(Inject("button left up"));
    ASSERT_TRUE(Inject("move 2000 2000"));
    ASSERT_TRUE(Inject("button left down"));
    ASSERT_TRUE(Inject("button left up"));
    ASSERT_TRUE(Inject("move -1000 -1000"));
    ASSERT_TRUE(Inject("button left down"));
    ASSERT_TRUE(Inject("button left up"));
    EXPECT_EQ(AnswerMessageBox(vt2.id(), "Calibration Saved"), "The calibration of player 1 is saved for this game.");
    EXPECT_TRUE(NoWindowTitled(vt2.id(), "VT2 Calibration"));
    PostMessageA(config.handle(), WM_CLOSE, 0, 0);
    vt2.waitForExit(5000);

    auto saved = [&](const char* section, const char* key) {
        char value[64] = {};
        GetPrivateProfileStringA(section, key, "", value, sizeof value, install.file("joycfg\\demo.ini").c_str());
        return std::string(value);
    };
    EXPECT_EQ(saved("Aim", "Area"), "Calibrated");
    EXPECT_EQ(saved("Player1", "Enable"), "1");  // the game's own file holds its players too
    const double first = 0.5 - 1000 * kCount, second = 0.5 + 1000 * kCount;
    const double scale = (second - first) / 0.8, left = first - 0.1 * scale;
    EXPECT_NEAR(std::atof(saved("Aim", "Player1Left").c_str()), left, 1e-5);
    EXPECT_NEAR(std::atof(saved("Aim", "Player1Right").c_str()), left + scale, 1e-5);
    EXPECT_NEAR(std::atof(saved("Aim", "Player1Top").c_str()), left, 1e-5);
    EXPECT_NEAR(std::atof(saved("Aim", "Player1Bottom").c_str()), left + scale, 1e-5);

    // A run aims through them: the mouse half way across the screen is the middle of the picture.
    ChildProcess game = install.startDemoGame();
    HWND gameWindow = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (gameWindow = FindTopWindowOf(game.id(), "VT2DemoGame")) != nullptr; }));
    ASSERT_TRUE(ParkPointerAwayFromWindows());
    ChildProcess run = install.startVt2("demo");
    ASSERT_TRUE(WaitForStatus(run, "Status:  Hooked VT2 Demo Game"));
    DemoLayout layout;
    ASSERT_TRUE(Inject("move -3000 -3000 3 --gap 30"));
    ASSERT_TRUE(Inject("move 1820 1820"));
    const auto expected = static_cast<std::int16_t>(std::nearbyint(640 * (1820 * kCount - left) / scale));
    EXPECT_TRUE(WaitUntil([&] { return ReadGameValue<std::int16_t>(game, layout.address("vt2demo_p1_x")) == expected; }))
        << ReadGameValue<std::int16_t>(game, layout.address("vt2demo_p1_x")) << " against " << expected;
}

}  // namespace
}  // namespace vt2::test
