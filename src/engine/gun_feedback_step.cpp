#include "engine/gun_feedback_step.h"

#include "common/ini.h"
#include "common/text.h"
#include "engine/debug_text.h"
#include "engine/engine.h"
#include "outputs/gun_commands.h"

namespace vt2 {

namespace {

constexpr unsigned kStopWaitMs = 500;

// The folder of the feedback files: vt2.ini's choice (inside VT2's folder when it is not a whole
// path), else feedback\ beside VT2.
std::string FeedbackFolder(Engine& engine) {
    const std::string& programFolder = engine.state.programFolder;
    std::string folder = TrimBlanks(ReadIniValue(engine.os.ini, programFolder + "\\vt2.ini", "Feedback", "Folder", false));
    if (folder.empty()) return programFolder + "\\feedback";
    while (folder.size() > 1 && (folder.back() == '\\' || folder.back() == '/')) folder.pop_back();
    const bool whole = folder.size() >= 2 && (folder[1] == ':' || (folder[0] == '\\' && folder[1] == '\\'));
    return whole ? folder : programFolder + "\\" + folder;
}

}  // namespace

std::map<int, std::string> ReadRecoilServers(IniFiles& ini, const std::string& programFolder) {
    std::map<int, std::string> servers;
    for (int n = 1; n <= 8; ++n) {
        const std::string target = TrimBlanks(ReadIniValue(ini, programFolder + "\\vt2.ini", "Feedback", "TCP" + std::to_string(n), false));
        if (!target.empty()) servers[n] = target;
    }
    // The guns whose kind is "tcp" reach their maker's software where it listens unless told.
    servers.try_emplace(kGunRecoilServer, kDefaultRecoilServer);
    return servers;
}

std::map<int, GunPortName> ReadGunPortNames(IniFiles& ini, const std::string& programFolder, std::vector<std::string>& notes) {
    const IniSection section = IniSection::Read(ini, programFolder + "\\vt2.ini", "Feedback");
    std::map<int, GunPortName> names;
    for (int n = 1; n <= 255; ++n) {
        const std::string key = "COM" + std::to_string(n);
        const std::string text = TrimBlanks(section.value(key, false));
        if (text.empty()) continue;
        if (const auto name = ParseGunPortName(text)) {
            names[n] = *name;
        } else {
            notes.push_back("vt2.ini [Feedback] " + key + "=" + text +
                            " is neither a Linux path (/dev/serial/by-id/...) nor a USB id (USB\\VID_xxxx&PID_xxxx\\serial): COM" +
                            std::to_string(n) + " is the system's own");
        }
    }
    return names;
}

std::string PendingFeedbackStopPath(const std::string& programFolder) { return programFolder + "\\feedback-stop.pending"; }

void LoadGunFeedback(Engine& engine, const std::string& gameName) {
    HookState& s = engine.state;
    FileSystem& files = engine.os.files;
    const std::string folder = FeedbackFolder(engine);
    // The game's own file, else the folder's default, else the default VT2 ships (which drives
    // the guns chosen in the configuration window).
    std::string path;
    for (const std::string& candidate : {folder + "\\" + gameName + ".ini", folder + "\\default.ini",
                                         s.programFolder + "\\feedback\\default.ini"}) {
        if (path.empty() && files.fileExists(candidate)) path = candidate;
    }
    const auto text = path.empty() ? std::nullopt : files.readFile(path);
    if (!text) return;  // no file: no gun is driven
    FeedbackFile file = ParseFeedbackFile(*text);
    std::array<GunSetup, 2> guns;
    for (std::size_t p = 0; p < guns.size(); ++p) {
        const PlayerConfig& player = s.settings.players[p];
        const auto kind = ParseGunKind(player.GunKind);
        if (!kind) AddDebugNote(engine, "Feedback: [Player" + std::to_string(p + 1) + "] GunKind \"" + player.GunKind + "\" is no gun kind");
        guns[p].kind = kind.value_or(GunKind::None);
        guns[p].port = guns[p].kind == GunKind::RecoilServer ? kGunRecoilServer : player.GunPort;
    }
    ResolveGunCommands(file, guns);
    for (const std::string& note : file.notes) AddDebugNote(engine, "Feedback: " + path.substr(path.find_last_of('\\') + 1) + ", " + note);
    GunFeedbackOptions options;
    for (std::size_t p = 0; p < 2; ++p) options.triggerRecoil[p] = s.settings.TriggerRecoil[p] != 0;
    options.autofireMs = static_cast<unsigned>(s.settings.AutofireMs);
    s.feedback = std::make_unique<GunFeedback>(engine.os.feedbackPorts, std::move(file), options);

    // A run that ended without its stop (killed) left it here: the guns get it before this start,
    // so none stays in the mode the last game put it in.
    const std::string pending = PendingFeedbackStopPath(s.programFolder);
    if (const auto left = files.fileExists(pending) ? files.readFile(pending) : std::nullopt) {
        const ParsedFeedbackLine stop = ParseFeedbackLine(TrimBlanks(left->substr(0, left->find_first_of("\r\n"))));
        if (stop.problem.empty() && stop.alternatives.size() == 1) s.feedback->sendLeftoverStop(stop.alternatives.front());
        files.deleteFile(pending);
    }
    if (!s.feedback->file().stopText.empty() && !files.writeFileWhole(pending, s.feedback->file().stopText + "\r\n")) {
        AddDebugNote(engine, "Feedback: " + pending + " cannot be written (" + files.errorText() +
                                 "): a run that is killed leaves the guns as they are");
    }
    s.numericWithGuns = NumericOutputsFan{};
    s.numericWithGuns.add(engine.os.numericOutputs);
    s.numericWithGuns.add(*s.feedback);
}

void GunFeedbackPass(Engine& engine) {
    HookState& s = engine.state;
    if (!s.feedback) return;
    const std::array<bool, 2> triggers{s.players[kPlayer1].current.Trigger != 0, s.players[kPlayer2].current.Trigger != 0};
    for (const FeedbackGun& gun : engine.os.feedbackPorts.takeReturnedGuns()) s.feedback->startAgain(gun);
    s.feedback->pass(triggers, engine.os.clock.nowMs());
    for (const std::string& note : s.feedback->takeNotes()) AddDebugNote(engine, note);
    for (const std::string& note : engine.os.feedbackPorts.takeNotes()) AddDebugNote(engine, "Feedback: " + note);
}

void StopGunFeedback(Engine& engine) {
    HookState& s = engine.state;
    if (!s.feedback) return;
    s.feedback->stop(kStopWaitMs);  // nothing when the stop message of the outputs has sent it already
    engine.os.files.deleteFile(PendingFeedbackStopPath(s.programFolder));
}

}  // namespace vt2
