#include "engine/aim_area_step.h"

#include <array>

#include "common/text.h"
#include "engine/engine.h"

namespace vt2 {

namespace {

void ReadAimArea(Engine& engine) {
    HookState& s = engine.state;
    AimGeometry& g = s.aim;
    const ScreenSize screen = engine.os.input.primaryScreenSize();
    g.primary = PixelRect{0, 0, screen.width, screen.height};
    g.virtualDesktop = engine.os.windows.virtualDesktop();
    if (g.kind != AimAreaKind::Window && g.kind != AimAreaKind::Picture) return;
    // A window gone or minimised leaves no area: the aim falls back to the primary screen.
    const PixelRect client = engine.os.windows.clientAreaOnDesktop(s.gameWindow).value_or(PixelRect{});
    g.area = g.kind == AimAreaKind::Window ? client : PictureInside(client, s.settings.aim.aspect);
    if (g.area.empty()) g.area = PixelRect{};
}

bool MapsReload(const InputMap& map, std::size_t player) {
    const bool combined = map.ReloadMode == "M2L" || map.ReloadMode == "M2VC";
    if (player == kPlayer1) return map.P1Reload.address != 0;
    return map.P2Reload.address != 0 || (combined && map.P1Reload.address != 0);
}

const char* AreaName(AimAreaKind kind) {
    switch (kind) {
    case AimAreaKind::Window: return "Window";
    case AimAreaKind::Picture: return "Picture";
    case AimAreaKind::Calibrated: return "Calibrated";
    case AimAreaKind::Screen: break;
    }
    return "Screen";
}

std::string RectText(const PixelRect& r) {
    return "(" + std::to_string(r.left) + "," + std::to_string(r.top) + ")-(" + std::to_string(r.right) + "," +
           std::to_string(r.bottom) + ")";
}

}  // namespace

void StartAimArea(Engine& engine) {
    HookState& s = engine.state;
    s.aim = GeometryOf(s.settings.aim, {}, {});
    ReadAimArea(engine);
    s.aimAreaReadAtMs = engine.os.clock.nowMs();
    s.rawMouse.followArea(s.aim);
    for (std::size_t player : {kPlayer1, kPlayer2}) {
        const PlayerConfig& config = s.settings.players[player];
        // Player 1's system cursor always has a right button to give.
        const bool reloadThere = MapsReload(s.inputMap, player) || (player == kPlayer1 && config.SysMouse == 1);
        s.rawMouse.useOffscreenReload(player, config.OffscreenReload == 1 && reloadThere);
    }
}

void FollowAimArea(Engine& engine) {
    HookState& s = engine.state;
    const std::uint64_t now = engine.os.clock.nowMs();
    if (s.aimAreaReadAtMs && now - *s.aimAreaReadAtMs < kAimAreaReadMs) return;
    s.aimAreaReadAtMs = now;
    ReadAimArea(engine);
}

std::string AimAreaDebugText(const Engine& engine, std::size_t player) {
    const HookState& s = engine.state;
    if (s.aim.kind == AimAreaKind::Screen) return {};
    const auto area = PlayerArea(s.aim, player);
    if (!area) return JoinLines({"", std::string("Aim: ") + AreaName(s.aim.kind) + ", not found: the screen"});
    const PlayerValues& p = s.players[player].current;
    std::string at = "At:  off the picture";
    if (!s.rawMouse.offPicture(player)) {
        const std::array<int, 2> pixel = PixelOfArea({p.X, p.Y}, *area);
        at = "At:  (" + std::to_string(pixel[0]) + "," + std::to_string(pixel[1]) + ")";
    }
    return JoinLines({"", std::string("Aim: ") + AreaName(s.aim.kind) + " " + RectText(*area), at});
}

}  // namespace vt2
