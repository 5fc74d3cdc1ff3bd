#include "setup/model2_install.h"

#include "common/ini.h"
#include "input/raw_mouse.h"
#include "platform/file_system.h"
#include "platform/ini_files.h"
#include "platform/message_boxes.h"
#include "setup/model2_files.h"

namespace vt2 {

namespace {

constexpr const char* kInstallTitle = "Install Model 2 Files";

// One run of the install: the step it is at, and the report of the first failure.
class Install {
public:
    Install(const Model2Folders& folders, Model2InstallServices& os)
        : setup_(folders.program + "\\m2setupfiles"), m_(folders.emulator), folders_(folders), os_(os) {}

    bool run(LightGunKind gun);

private:
    void status(const std::string& text) {
        step_ = text;
        os_.status(text);
    }
    // Reports why the install stops at this step: what failed, and the system's reason if any.
    bool stop(const std::string& what, const std::string& reason) {
        std::string step = step_;
        if (step.rfind("Status:  ", 0) == 0) step = step.substr(9);
        os_.messages.ask("The installation stopped at \"" + step + "\": " + what + ".\r\n\r\n" +
                             (reason.empty() ? "" : reason + "\r\n\r\n") +
                             "The steps before it are done; nothing after it was changed.",
                         "Install Stopped", MessageButtons::Ok, MessageIcon::Exclamation);
        return false;
    }
    bool fail(const std::string& what) { return stop(what, os_.files.errorText()); }
    bool copy(const std::string& from, const std::string& to) {
        return os_.files.copyFile(from, to) || fail("could not copy " + from + " to " + to);
    }
    // A copy that first deletes the file it replaces.
    bool replace(const std::string& from, const std::string& to) {
        if (os_.files.fileExists(to) && !os_.files.deleteFile(to)) return fail("could not delete " + to);
        return copy(from, to);
    }
    bool write(const std::string& path, const std::string& content) {
        return os_.files.writeFileWhole(path, content) || fail("could not write " + path);
    }
    bool folderThere(const std::string& path) {
        if (os_.files.folderExists(path)) return true;
        if (os_.files.createFolder(path)) return true;
        return fail("could not create the folder " + path);
    }
    bool setupFolderThere(const std::string& path) {
        return os_.files.folderExists(path) || stop("the folder " + path + " is missing", "");
    }
    bool setKey(const std::string& section, const std::string& key, const std::string& value) {
        return writeKey(m_ + "emulator.ini", section, key, value);
    }
    bool writeKey(const std::string& file, const std::string& section, const std::string& key, const std::string& value) {
        return os_.ini.writeString(file, section, key, value) || stop("could not write " + file, os_.ini.errorText());
    }
    // Every file of a setup folder (with that extension) over the file of its name in target.
    bool replaceAll(const std::string& from, const std::string& extension, const std::string& target) {
        if (!setupFolderThere(from)) return false;
        for (const std::string& name : os_.files.listFiles(from, extension)) {
            if (!replace(from + "\\" + name, target + name)) return false;
        }
        return true;
    }
    bool installLuaScripts();
    bool configureForMice();
    bool configureWithoutMice();

    const std::string setup_;
    const std::string m_;
    const Model2Folders& folders_;
    Model2InstallServices& os_;
    std::string step_;
};

bool Install::installLuaScripts() {
    status("Status:  Installing LUA Scripts");
    const std::string list = setup_ + "\\m2roms.lst";
    const auto roms = os_.files.readFile(list);
    if (!roms) return fail("could not read " + list);
    const std::vector<std::string> names = RomSetNames(*roms);
    // Without a ROM set no game would start VT2: that is no complete install.
    if (names.empty()) return stop(list + " names no ROM set", "");
    for (const std::string& rom : names) {
        if (!write(m_ + "scripts\\" + rom + ".lua", RomScriptText(rom))) return false;
    }
    // A setup script of a ROM set's name replaces the generated one.
    return replaceAll(setup_ + "\\scripts", ".lua", m_ + "scripts\\");
}

bool Install::configureForMice() {
    os_.messages.showMessage(
        "In order to get dual mice to function properly, Vantor will disable the mouse buttons by turning on raw-input "
        "in model 2 and setting the IDs to an unavailable mouse.  ALL MICE DEVICES YOU WILL USE MUST BE PLUGGED IN "
        "PRIOR TO PRESSING OK!!  If you need to change settings for a game within model 2, please set UseRawInput to "
        "0 in the emulator.ini or use the button on this page.");
    status("Status:  Configuring Model 2");
    if (!setKey("Input", "UseRawInput", "1")) return false;
    // Counted now, when the user has plugged in every mouse: one more than the number of mice is a
    // device that none of them is, so the emulator leaves the mice to VT2.
    const std::string unavailable = std::to_string(LastMouseIndex(os_.rawInput) + 2);
    return setKey("Input", "RawDevP1", unavailable) && setKey("Input", "RawDevP2", unavailable) &&
           setKey("Renderer", "DrawCross", "0");
}

bool Install::configureWithoutMice() {
    os_.messages.showMessage(
        "You have stated that you aren't using a mouse-based lightgun.  If you ever use one, please run this setup "
        "again.");
    return setKey("Input", "UseRawInput", "0") && setKey("Renderer", "DrawCross", "0");
}

bool Install::run(LightGunKind gun) {
    if (!EmulatorPresent(os_.files, m_)) {
        ReportEmulatorMissing(os_.messages, m_);
        return false;
    }
    os_.messages.ask(
        "Note:  You are about to be presented with a series of prompts as the installation progresses.  PLEASE READ "
        "EACH ONE CAREFULLY!!!",
        kInstallTitle, MessageButtons::Ok, MessageIcon::Information);

    status("Status:  Setting Vantor Folder");
    status("Installing Exe Stub");
    if (!copy(setup_ + "\\VTStub.exe", m_ + "VTStub.exe")) return false;
    status("Configuring Stub");
    if (!write(m_ + "vt2.cfg", StubConfigText(folders_.program))) return false;

    const MessageAnswer lua = os_.messages.ask(
        "Custom LUA scripts will now be installed.  These are REQUIRED for proper operation, but you may already have "
        "installed these scripts previously or need to backup old scripts.\r\n\r\nInstall LUA Scripts?",
        "Install LUA Scripts", MessageButtons::YesNo, MessageIcon::None);
    if (lua == MessageAnswer::Yes) {
        if (!installLuaScripts()) return false;
    } else {
        status("Status:  Skipping LUA Scripts");
    }

    status("Status:  Installing Crosshairs");
    if (!folderThere(m_ + "artwork") || !folderThere(m_ + "artwork\\crosshairs")) return false;
    const std::string crosshairs = setup_ + "\\artwork\\crosshairs";
    if (!setupFolderThere(crosshairs)) return false;
    for (const std::string& name : os_.files.listFiles(crosshairs, "")) {
        if (!copy(crosshairs + "\\" + name, m_ + "artwork\\crosshairs\\" + name)) return false;
    }

    if (!(gun == LightGunKind::Mouse ? configureForMice() : configureWithoutMice())) return false;

    status("Copying CFG Files");
    if (!replaceAll(setup_ + "\\CFG", ".input", m_ + "CFG\\")) return false;

    if (!writeKey(ProgramSettingsPath(folders_.program), "Paths", "M2Path", m_)) return false;
    status("Status:  Complete");
    os_.messages.showMessage(
        "Installation complete!  The functionaliy of Model 2 has changed significantly.  Please read the readme for "
        "details.");
    return true;
}

}  // namespace

std::string ProgramSettingsPath(const std::string& programFolder) { return programFolder + "\\vt2.ini"; }

bool EmulatorPresent(FileSystem& files, const std::string& emulatorFolder) {
    return files.fileExists(emulatorFolder + "emulator.exe") || files.fileExists(emulatorFolder + "emulator_multicpu.exe");
}

void ReportEmulatorMissing(MessageBoxes& messages, const std::string& emulatorFolder) {
    std::string text =
        "Model 2 is NOT located in the path specified!  Make sure the full path is included and try again.";
    if (emulatorFolder.empty() || emulatorFolder.back() != '\\')
        text += "\r\n\r\nThe path must end with a backslash: " + emulatorFolder + "\\";
    messages.ask(text, "Model 2 Not Found!", MessageButtons::Ok, MessageIcon::Exclamation);
}

bool InstallModel2(const Model2Folders& folders, LightGunKind gun, Model2InstallServices& os) {
    return Install(folders, os).run(gun);
}

}  // namespace vt2
