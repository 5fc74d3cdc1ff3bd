#pragma once
// The players' guns driven by VT2 itself, as a step of the run: the feedback file found and read
// at the hook, the guns told each pass, and the stop sent on every way out.

#include <map>
#include <string>
#include <vector>

#include "outputs/gun_port_names.h"

namespace vt2 {

struct Engine;
class IniFiles;

// The feedback file: feedback\<game>.ini beside VT2 (or in vt2.ini [Feedback] Folder=), else
// default.ini there. A stop left behind by a run that ended without one is sent first.
void LoadGunFeedback(Engine& engine, const std::string& gameName);
// After the game got the players' buttons: trigger recoil, autofire, solenoids let go.
void GunFeedbackPass(Engine& engine);
// The file's stop, sent and waited for (briefly); nothing when no gun was started.
void StopGunFeedback(Engine& engine);

// vt2.ini [Feedback] TCP<N>=host:port (N from 1 to 8): the recoil servers "tcw N" writes to.
std::map<int, std::string> ReadRecoilServers(IniFiles& ini, const std::string& programFolder);

// vt2.ini [Feedback] COM<N>= (N from 1 to 255): the stable names of the ports the feedback
// files call COM N. A value that is no name is said in notes and leaves COM N as it is.
std::map<int, GunPortName> ReadGunPortNames(IniFiles& ini, const std::string& programFolder, std::vector<std::string>& notes);

// Where a run keeps the stop it has still to send, beside VT2: gone after a clean end.
std::string PendingFeedbackStopPath(const std::string& programFolder);

}  // namespace vt2
