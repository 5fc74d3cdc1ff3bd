#pragma once
// Preparing a Model 2 emulator folder for VT2: the launch stub and its vt2.cfg, a start script per
// ROM set, the setup scripts, crosshair pictures and input files, the emulator's emulator.ini, and
// the folder remembered in vt2.ini. Each step goes through the system's interfaces in a fixed
// order; the message boxes on the way wait for the user.

#include <functional>
#include <string>

namespace vt2 {

class FileSystem;
class IniFiles;
class MessageBoxes;
class RawInputSystem;

// What the user's light gun shows up as.
enum class LightGunKind { Mouse, Joystick, DontCare };

struct Model2InstallServices {
    FileSystem& files;
    IniFiles& ini;
    MessageBoxes& messages;
    RawInputSystem& rawInput;  // counts the mice when the mouse set-up needs it
    std::function<void(const std::string&)> status;  // the status line under the Install button
};

struct Model2Folders {
    std::string program;   // the program's folder, without a trailing backslash
    std::string emulator;  // the emulator's folder as typed; the files' names follow it directly
};

// The program's own settings file, which remembers the emulator's folder ([Paths] M2Path).
std::string ProgramSettingsPath(const std::string& programFolder);

// The emulator is there: emulator.exe, or else emulator_multicpu.exe, in its folder.
bool EmulatorPresent(FileSystem& files, const std::string& emulatorFolder);
// Says that the emulator is not in the folder (and, for a folder typed without its trailing
// backslash, that it must end with one).
void ReportEmulatorMissing(MessageBoxes& messages, const std::string& emulatorFolder);

// Every step of the install, in order, or up to the first file operation that fails: that one is
// reported (the step, the file and the system's reason), the steps before it stay done, and the
// folder is not remembered. True when the install completed.
bool InstallModel2(const Model2Folders& folders, LightGunKind gun, Model2InstallServices& os);

}  // namespace vt2
