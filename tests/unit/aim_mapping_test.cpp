#include <gtest/gtest.h>

#include <cmath>

#include "engine/aim_area_step.h"
#include "engine/debug_text.h"
#include "engine/engine.h"
#include "engine/game_writes.h"
#include "engine/stop_program.h"
#include "input/offscreen_reload.h"
#include "support/fake_platform.h"

namespace vt2::test {
namespace {

constexpr std::uint32_t kGun1 = 0x10, kGun2 = 0x20;
constexpr std::uint16_t kAbsolute = 0x0001, kAcrossVirtualDesktop = 0x0002;
constexpr std::uint32_t kTriggerDown = 0x0001, kTriggerUp = 0x0002;

// The fake screen is 1280 x 1024; the game's window sits at an offset from its corner.
class AimMapping : public ::testing::Test {
protected:
    void SetUp() override {
        sys.rawInput.devices = std::vector<RawInputDevice>{{kGun1, 0, {}, {}}, {kGun2, 0, {}, {}}};
        HookState& s = sys.engine.state;
        for (PlayerConfig& p : s.settings.players) {
            p.Enable = 1;
            p.MouseAccel = 18;
            p.TriggerButton = 0;
            p.ReloadButton = 1;
            p.StartButton = -1;
            p.CoinButton = -1;
            p.EscButton = -1;
        }
        s.settings.players[1].MouseID = 1;
        s.gameWindow = sys.windows.addWindow({"DemoClass", "Demo", 4242, 0, true, {200, 100, 840, 580}});
    }
    void start(AimAreaKind kind) {
        HookState& s = sys.engine.state;
        s.settings.aim.area = kind;
        StartRawInput(sys.rawInput, sys.messageBoxes, s.rawMouse, s.settings, s.players);
        StartAimArea(sys.engine);
    }
    // A position of the primary screen in pixels as an absolute device gives it (0..65535).
    void aimAt(std::uint32_t gun, double x, double y, std::uint32_t buttons = 0, std::uint16_t flags = kAbsolute) {
        RawMouseReport r;
        r.device = gun;
        r.flags = flags;
        r.lastX = static_cast<std::int32_t>(std::lround(x / 1280.0 * 65535.0));
        r.lastY = static_cast<std::int32_t>(std::lround(y / 1024.0 * 65535.0));
        r.buttons = buttons;
        sys.rawInput.deliver(r);
    }
    void moveBy(std::uint32_t gun, std::int32_t dx, std::int32_t dy) {
        RawMouseReport r;
        r.device = gun;
        r.lastX = dx;
        r.lastY = dy;
        sys.rawInput.deliver(r);
    }
    PlayerValues& player(std::size_t i) { return sys.engine.state.players[i].current; }
    FakeSystem sys;
};

constexpr double kPixel = 1.0 / 400;  // what rounding to 0..65535 may move a point by, as a fraction

TEST_F(AimMapping, AnAbsoluteGunAimsAtFractionsOfEachKindOfArea) {
    struct Case {
        AimAreaKind kind;
        double pixelX, pixelY;  // where the gun points on the primary screen
        double x, y;            // the aim as fractions of the area
    };
    // The window's client area is (200,100)-(840,580); 4:3 inside it is (200,100)-(840,580) too,
    // so the picture's cases stretch it first.
    const Case cases[] = {
        {AimAreaKind::Screen, 640, 512, 0.5, 0.5},
        {AimAreaKind::Window, 200, 100, 0, 0},
        {AimAreaKind::Window, 840, 580, 1, 1},
        {AimAreaKind::Window, 520, 340, 0.5, 0.5},
        {AimAreaKind::Window, 40, 100, -0.25, 0},  // beyond the window: outside 0..1
    };
    for (const Case& c : cases) {
        sys.engine.state.players = {};
        start(c.kind);
        aimAt(kGun1, c.pixelX, c.pixelY);
        EXPECT_NEAR(player(0).X, c.x, kPixel) << static_cast<int>(c.kind) << " " << c.pixelX;
        EXPECT_NEAR(player(0).Y, c.y, kPixel) << static_cast<int>(c.kind) << " " << c.pixelY;
    }
}

TEST_F(AimMapping, ThePictureBetweenTheBarsOfAStretchedWindowAndAWindowThatMoves) {
    sys.windows.window(sys.engine.state.gameWindow).client = {0, 100, 1280, 580};  // 1280 x 480: wide
    sys.engine.state.settings.aim.aspect = {4, 3};
    start(AimAreaKind::Picture);
    EXPECT_EQ(sys.engine.state.aim.area, (PixelRect{320, 100, 960, 580}));
    aimAt(kGun1, 320, 100);
    EXPECT_NEAR(player(0).X, 0.0, kPixel);
    aimAt(kGun1, 960, 580);
    EXPECT_NEAR(player(0).X, 1.0, kPixel);
    EXPECT_NEAR(player(0).Y, 1.0, kPixel);

    // Moved and resized: seen at the next read, not before 100 ms have passed.
    sys.windows.window(sys.engine.state.gameWindow).client = {-1280, -200, 0, 760};  // a monitor up left
    const int reads = sys.windows.clientAreaReads;
    sys.clock.now += kAimAreaReadMs - 1;
    FollowAimArea(sys.engine);
    EXPECT_EQ(sys.windows.clientAreaReads, reads);
    sys.clock.now += 1;
    FollowAimArea(sys.engine);
    EXPECT_EQ(sys.windows.clientAreaReads, reads + 1);
    EXPECT_EQ(sys.engine.state.aim.area, (PixelRect{-1280, -200, 0, 760}));
}

TEST_F(AimMapping, VirtualDesktopPositionsReachAMonitorLeftOfThePrimary) {
    sys.windows.virtualDesktopRect = {-1280, 0, 1280, 1024};
    sys.windows.window(sys.engine.state.gameWindow).client = {-1280, 0, 0, 1024};
    start(AimAreaKind::Window);
    RawMouseReport r;
    r.device = kGun1;
    r.flags = kAbsolute | kAcrossVirtualDesktop;
    r.lastX = 0;
    r.lastY = 65535;
    sys.rawInput.deliver(r);
    EXPECT_DOUBLE_EQ(player(0).X, 0.0);
    EXPECT_DOUBLE_EQ(player(0).Y, 1.0);
    r.lastX = 32767;  // the middle of the desktop: the right edge of the left monitor
    sys.rawInput.deliver(r);
    EXPECT_NEAR(player(0).X, 1.0, kPixel);

    // The same positions without the flag are of the primary screen, which lies right of the game.
    r.flags = kAbsolute;
    r.lastX = 0;
    sys.rawInput.deliver(r);
    EXPECT_DOUBLE_EQ(player(0).X, 1.0);
}

TEST_F(AimMapping, WithoutAnAreaOrItsWindowTheAimIsOfThePrimaryScreenExactlyAsBefore) {
    sys.windows.window(sys.engine.state.gameWindow).exists = false;  // gone: no client area
    for (AimAreaKind kind : {AimAreaKind::Screen, AimAreaKind::Window, AimAreaKind::Picture, AimAreaKind::Calibrated}) {
        sys.engine.state.players = {};
        start(kind);
        RawMouseReport r;
        r.device = kGun1;
        r.flags = kAbsolute;
        r.lastX = 32768;
        r.lastY = 70000;
        sys.rawInput.deliver(r);
        EXPECT_EQ(player(0).X, static_cast<float>(32768 / 65535.0));
        EXPECT_EQ(player(0).Y, static_cast<float>(70000 / 65535.0));
        moveBy(kGun1, 100, -5000);
        EXPECT_EQ(player(0).X, static_cast<float>(32768 / 65535.0 + 1800 / 65535.0));
        EXPECT_EQ(player(0).Y, 0.0f);
    }
}

TEST_F(AimMapping, RelativeMotionStaysInsideTheArea) {
    start(AimAreaKind::Window);
    moveBy(kGun1, -100, 20000);
    EXPECT_EQ(player(0).X, 0.0f);
    EXPECT_EQ(player(0).Y, 1.0f);
    moveBy(kGun1, 1820, 0);  // half the range at 18
    EXPECT_FLOAT_EQ(player(0).X, 1820 * 18 / 65535.0f);
}

TEST_F(AimMapping, ACalibratedGunReadsThroughItsEdgesEvenOffOrUpsideDown) {
    HookState& s = sys.engine.state;
    s.settings.aim.calibrated[0] = DeviceEdges{0.1, 0.2, 0.9, 0.8};  // a few percent in from each edge
    s.settings.aim.calibrated[1] = DeviceEdges{0.9, 0.8, 0.1, 0.2};  // mounted upside down
    start(AimAreaKind::Calibrated);
    aimAt(kGun1, 0.1 * 1280, 0.2 * 1024);
    aimAt(kGun2, 0.1 * 1280, 0.2 * 1024);
    EXPECT_NEAR(player(0).X, 0.0, kPixel);
    EXPECT_NEAR(player(0).Y, 0.0, kPixel);
    EXPECT_NEAR(player(1).X, 1.0, kPixel);
    EXPECT_NEAR(player(1).Y, 1.0, kPixel);
    aimAt(kGun1, 0.5 * 1280, 0.95 * 1024);
    EXPECT_NEAR(player(0).X, 0.5, kPixel);
    EXPECT_NEAR(player(0).Y, 1.25, kPixel);  // past the bottom edge

    // A calibrated relative mouse keeps its own position on the screen and aims through the edges.
    s.players = {};
    moveBy(kGun1, 5000, 1820);  // past the screen's right edge, where it stops; half way down
    EXPECT_NEAR(player(0).X, (1.0 - 0.1) / 0.8, 1e-6);
    EXPECT_NEAR(player(0).Y, (1820 * 18 / 65535.0 - 0.2) / 0.6, 1e-6);
}

TEST_F(AimMapping, PlayerOnesCursorGoesToTheAreasCornerPixels) {
    HookState& s = sys.engine.state;
    s.settings.players[0].SysMouse = 1;
    s.settings.players[1].Enable = 0;
    start(AimAreaKind::Window);
    struct Case {
        float x, y;
        std::string cursor;
    };
    const Case cases[] = {{0, 0, "cursor 200,100"}, {1, 1, "cursor 839,579"}, {0.5f, 0.5f, "cursor 520,340"},
                          {1.5f, -1, "cursor 839,100"}, {1, 0, "cursor 839,100"}};  // never beyond the area
    for (const Case& c : cases) {
        s.players[0].current.X = c.x;
        s.players[0].current.Y = c.y;
        s.players[0].previous.X = -9;  // a move
        sys.log.clear();
        WritePlayerInputs(sys.engine);
        EXPECT_EQ(sys.eventsStartingWith("cursor"), (std::vector<std::string>{c.cursor})) << c.x;
    }
    // An aim far beyond any pixel (a huge absolute reading through a tiny area) still lands on the edge.
    s.players[0].current.X = 1e30f;
    s.players[0].current.Y = -1e30f;
    sys.log.clear();
    WritePlayerInputs(sys.engine);
    EXPECT_EQ(sys.eventsStartingWith("cursor"), (std::vector<std::string>{"cursor 839,100"}));
    // The mouse pushed on past the edge moves the system's cursor but not the aim: it is put back.
    s.players[0].current.X = 1;
    s.players[0].current.Y = 0;
    AgePlayerState(s.players);
    moveBy(kGun1, 500, 0);
    sys.log.clear();
    WritePlayerInputs(sys.engine);
    EXPECT_EQ(sys.eventsStartingWith("cursor"), (std::vector<std::string>{"cursor 839,100"}));
    // With no report, the cursor is looked at once in 100 ms and put back only when it strayed
    // (a placement that lost a race with the system's own move, or the game moving it).
    sys.log.clear();
    WritePlayerInputs(sys.engine);
    EXPECT_EQ(sys.eventsStartingWith("cursor"), (std::vector<std::string>{"cursor read"}));  // where it belongs
    sys.input.cursorAt = {1279, 1023};
    sys.clock.now += 99;
    sys.log.clear();
    WritePlayerInputs(sys.engine);
    EXPECT_TRUE(sys.eventsStartingWith("cursor").empty());
    sys.clock.now += 1;
    WritePlayerInputs(sys.engine);
    EXPECT_EQ(sys.eventsStartingWith("cursor"), (std::vector<std::string>{"cursor read", "cursor 839,100"}));
}

// Player 1's cursor is kept inside the area it shows the aim in (told the system once, again each
// second in case a focus change undid it, and anew when the area moves), never for the whole
// screen or a calibrated aim, and let go on every way the run ends.
TEST_F(AimMapping, PlayerOnesCursorIsKeptInsideTheAreaAndLetGoWhenTheRunEnds) {
    HookState& s = sys.engine.state;
    s.settings.players[0].SysMouse = 1;
    start(AimAreaKind::Window);
    const PixelRect window{200, 100, 840, 580};
    struct Step {
        const char* what;
        std::uint64_t laterMs;
        std::optional<PixelRect> area;  // what the run now knows of the window
        bool calibrated;
        std::optional<PixelRect> confined;
        int calls;
    };
    const Step steps[] = {
        {"the first pass", 0, window, false, window, 1},
        {"the next pass", 10, window, false, window, 1},
        {"a second on", 1000, window, false, window, 2},
        {"the window moved", 10, PixelRect{300, 100, 940, 580}, false, PixelRect{300, 100, 940, 580}, 3},
        {"the window gone", 10, PixelRect{}, false, std::nullopt, 4},
        {"back", 10, window, false, window, 5},
        {"a calibrated aim", 10, window, true, std::nullopt, 6},
    };
    for (const Step& step : steps) {
        sys.clock.now += step.laterMs;
        s.aim.area = *step.area;
        if (step.calibrated) {
            s.aim.kind = AimAreaKind::Calibrated;
            s.aim.calibrated[0] = DeviceEdges{0.1, 0.1, 0.9, 0.9};
        }
        WritePlayerInputs(sys.engine);
        EXPECT_EQ(sys.input.confinedTo, step.confined) << step.what;
        EXPECT_EQ(sys.input.confinements, step.calls) << step.what;
    }
    s.aim.kind = AimAreaKind::Window;
    for (bool orderly : {true, false}) {
        WritePlayerInputs(sys.engine);
        ASSERT_EQ(sys.input.confinedTo, window);
        EXPECT_EQ(sys.exitCodeOf([&] {
            if (orderly) {
                StopProgram(sys.engine, ExitCode::Stopped);
            } else {
                EndProgramAtOnce(sys.engine, ExitCode::Stopped);
            }
        }),
                  0);
        EXPECT_EQ(sys.input.confinedTo, std::nullopt) << (orderly ? "a stop" : "an end at once");
    }

    // Without the system mouse the cursor is nobody's: never confined.
    FakeSystem other;
    other.engine.state.gameWindow = other.windows.addWindow({"DemoClass", "Demo", 4242, 0, true, window});
    other.engine.state.settings.aim.area = AimAreaKind::Window;
    StartAimArea(other.engine);
    WritePlayerInputs(other.engine);
    EXPECT_EQ(other.input.confinements, 0);
}

TEST_F(AimMapping, OffscreenReloadHoldsTheAimAndTurnsATriggerPulledOffThePictureIntoAReload) {
    HookState& s = sys.engine.state;
    s.settings.players[0].OffscreenReload = 1;
    s.inputMap.P1Reload.address = 0x1000;
    start(AimAreaKind::Window);
    aimAt(kGun1, 520, 340);
    aimAt(kGun1, 40, 340, kTriggerDown);  // off the picture, pulled
    EXPECT_EQ(player(0).Trigger, 0);
    EXPECT_EQ(player(0).Reload, 1);
    EXPECT_NEAR(player(0).X, 0.5, kPixel);  // held at the last point on the picture
    EXPECT_TRUE(s.rawMouse.offPicture(0));
    aimAt(kGun1, 600, 340);  // back on the picture, still held: still a reload
    EXPECT_EQ(player(0).Reload, 1);
    EXPECT_EQ(player(0).Trigger, 0);
    aimAt(kGun1, 600, 340, kTriggerUp);
    EXPECT_EQ(player(0).Reload, 0);
    EXPECT_EQ(player(0).Trigger, 0);
    aimAt(kGun1, 600, 340, kTriggerDown);  // on the picture: a shot, which leaving it does not turn
    aimAt(kGun1, 2000, 340);
    EXPECT_EQ(player(0).Trigger, 1);
    EXPECT_EQ(player(0).Reload, 0);
    aimAt(kGun1, 2000, 340, kTriggerUp);
    EXPECT_EQ(player(0).Trigger, 0);
}

TEST_F(AimMapping, OffscreenReloadNeedsTheSettingAndAReloadTheGameTakes) {
    struct Case {
        std::int16_t setting;
        std::uint32_t reloadAddress;
        std::int16_t sysMouse;
        bool reloads;
    };
    const Case cases[] = {{1, 0x1000, 0, true}, {0, 0x1000, 0, false}, {1, 0, 0, false}, {1, 0, 1, true}};
    for (const Case& c : cases) {
        HookState& s = sys.engine.state;
        s.players = {};
        s.settings.players[0].OffscreenReload = c.setting;
        s.settings.players[0].SysMouse = c.sysMouse;
        s.inputMap.P1Reload.address = c.reloadAddress;
        start(AimAreaKind::Window);
        aimAt(kGun1, 40, 340, kTriggerDown);
        EXPECT_EQ(player(0).Reload, c.reloads ? 1 : 0) << c.setting << " " << c.reloadAddress;
        EXPECT_EQ(player(0).Trigger, c.reloads ? 0 : 1);
        aimAt(kGun1, 40, 340, kTriggerUp);
    }
}

TEST_F(AimMapping, TheDebugWindowNamesTheAreaAndWhereEachPlayerIs) {
    start(AimAreaKind::Window);
    aimAt(kGun1, 520, 340);
    aimAt(kGun2, 40, 340);
    BuildDebugText(sys.engine);
    const std::string p1 = sys.mainWindow.labels[MainWindowLabel::Player1];
    const std::string p2 = sys.mainWindow.labels[MainWindowLabel::Player2];
    EXPECT_NE(p1.find("\r\nAim: Window (200,100)-(840,580)\r\nAt:  (520,340)"), std::string::npos) << p1;
    EXPECT_NE(p2.find("\r\nAt:  off the picture"), std::string::npos) << p2;

    sys.engine.state.settings.aim.area = AimAreaKind::Screen;
    start(AimAreaKind::Screen);
    BuildDebugText(sys.engine);
    EXPECT_EQ(sys.mainWindow.labels[MainWindowLabel::Player1].find("Aim:"), std::string::npos);
}

}  // namespace
}  // namespace vt2::test
