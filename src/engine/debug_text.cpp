#include "engine/debug_text.h"

#include "common/text.h"
#include "engine/aim_area_step.h"
#include "engine/engine.h"
#include "input/player_debug_text.h"
#include "outputs/output_texts.h"

namespace vt2 {

void BuildDebugText(Engine& engine) {
    const HookState& s = engine.state;
    MainWindowView& window = engine.os.mainWindow;
    const char separator = engine.os.locale.decimalSeparator();
    const PlayerValues& p1 = s.players[kPlayer1].current;
    const PlayerValues& p2 = s.players[kPlayer2].current;
    const std::string& type = s.descriptor.GameType;
    if (type.empty()) {
        window.setLabelText(MainWindowLabel::Player1,
                            LightGunDebugText(kPlayer1, s.settings.players[kPlayer1].Enable == 1, p1, separator) +
                                AimAreaDebugText(engine, kPlayer1));
        window.setLabelText(MainWindowLabel::Player2,
                            LightGunDebugText(kPlayer2, s.settings.players[kPlayer2].Enable == 1, p2, separator) +
                                AimAreaDebugText(engine, kPlayer2));
    } else if (type == "VON") {
        window.setLabelText(MainWindowLabel::Player1, TwinStickDebugText(kPlayer1, s.players.TwinStickStates, p1));
        window.setLabelText(MainWindowLabel::Player2, TwinStickDebugText(kPlayer2, s.players.TwinStickStates, p2));
    }
    if (s.OutputsActive == 1 || s.feedback) {
        std::string outputs = s.OutputsActive == 1 ? OutputsDebugText(s.outputs, separator) : std::string();
        if (s.feedback) {
            const std::string guns = GunPortsDebugText(engine.os.feedbackPorts.status());
            if (!guns.empty()) outputs += (outputs.empty() ? "" : "\r\n\r\n") + guns;
        }
        window.setLabelText(MainWindowLabel::Outputs, outputs);
    }
}

void AddDebugNote(Engine& engine, const std::string& note) {
    std::vector<std::string>& notes = engine.state.notes;
    notes.push_back(note);
    engine.os.mainWindow.setLabelText(MainWindowLabel::Notes, JoinLines(notes));
}

}  // namespace vt2
