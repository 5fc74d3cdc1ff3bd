#include "memory/debug_text.h"

#include <string>
#include <vector>

#include "common/value_text.h"
#include "engine/engine.h"

namespace vt2 {

namespace {

std::string JoinLines(const std::vector<std::string>& lines) {
    std::string text;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) text += "\r\n";
        text += lines[i];
    }
    return text;
}

std::string LightGunText(const char* title, bool enabled, const PlayerValues& p, char separator) {
    return JoinLines({std::string(title) + (enabled ? "" : "  (NC)"), "X:  " + FloatText(p.X, separator),
                      "Y:  " + FloatText(p.Y, separator), "", "Trigger:  " + std::to_string(p.Trigger),
                      "Reload:  " + std::to_string(p.Reload), "Start:  " + std::to_string(p.Start),
                      "Coin:  " + std::to_string(p.Coin)});
}

// The stick's entries in the order up, down, left, right, shot, dash.
std::string TwinStickText(const char* title, const TwinStickTable& states, const std::array<int, 6>& entries,
                          const PlayerValues& p) {
    auto state = [&](int i) { return std::to_string(states[static_cast<std::size_t>(i)]); };
    return JoinLines({title, "", "Up:  " + state(entries[0]), "Down:  " + state(entries[1]),
                      "Left:  " + state(entries[2]), "Right:  " + state(entries[3]), "Shot:  " + state(entries[4]),
                      "Dash:  " + state(entries[5]), "Start:  " + std::to_string(p.Start),
                      "Coin:  " + std::to_string(p.Coin)});
}

}  // namespace

void BuildDebugText(Engine& engine) {
    const HookState& s = engine.state;
    MainWindowView& window = engine.os.mainWindow;
    const char separator = engine.os.locale.decimalSeparator();
    const PlayerValues& p1 = s.players[kPlayer1].current;
    const PlayerValues& p2 = s.players[kPlayer2].current;
    const std::string& type = s.descriptor.GameType;
    if (type.empty()) {
        window.setLabelText(MainWindowLabel::Player1,
                            LightGunText("Player 1:", s.settings.players[kPlayer1].Enable == 1, p1, separator));
        window.setLabelText(MainWindowLabel::Player2,
                            LightGunText("Player 2:", s.settings.players[kPlayer2].Enable == 1, p2, separator));
    } else if (type == "VON") {
        const TwinStickTable& states = s.settings.TwinStickStates;
        window.setLabelText(MainWindowLabel::Player1, TwinStickText("Left Stick:", states, {9, 8, 11, 10, 6, 7}, p1));
        window.setLabelText(MainWindowLabel::Player2, TwinStickText("Right Stick:", states, {15, 14, 17, 16, 12, 13}, p2));
    }
    if (s.OutputsActive == 1) {
        std::vector<std::string> lines{"Outputs:", ""};
        for (const OutputRow& row : s.outputs.rows) lines.push_back(row.name + "=" + OutputValueText(row.last, separator));
        window.setLabelText(MainWindowLabel::Outputs, JoinLines(lines));
    }
}

}  // namespace vt2
