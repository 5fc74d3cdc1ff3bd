#include "ui/model2_setup_model.h"

#include <iterator>

#include "common/ini.h"
#include "platform/file_system.h"
#include "platform/ini_files.h"
#include "platform/message_boxes.h"
#include "platform/program_launcher.h"
#include "setup/model2_install.h"
#include "ui/layouts.h"

namespace vt2 {

namespace {

// The hidden panel's games and the ROM sets the emulator is started with.
constexpr const char* kLaunchGames[][2] = {{"House of the Dead", "hotd"}, {"Virtua Cop", "vcop"}, {"Virtua Cop 2", "vcop2"}};

}  // namespace

Model2SetupModel::Model2SetupModel(Model2SetupServices& services)
    : StoredFormModel(Model2SetupDesign()), os_(services) {}

void Model2SetupModel::open() {
    if (!os_.forms.isOpen(*this)) Form_Load();
    os_.forms.show(*this);
}

void Model2SetupModel::Form_Load() {
    resetControls();
    control("optItype_0").checked = true;
    control("optRI_1").checked = true;
    for (const auto& game : kLaunchGames) control("cmbGame").items.push_back(game[0]);
    // The panel lies below the client area, and nothing shows it.
    for (const ControlDesign& c : design().controls) {
        if (c.name == "fraHelp" || c.frame == "fraHelp") control(c.name).visible = false;
    }
    const std::string remembered =
        ReadIniValue(os_.ini, ProgramSettingsPath(os_.programFolder), "Paths", "M2Path", false);
    if (!remembered.empty()) control("txtM2Path").text = remembered;
}

void Model2SetupModel::clicked(const std::string& name) {
    if (name == "cmdVerify") cmdVerify_Click();
    if (name == "cmdInstall") cmdInstall_Click();
    if (name == "cmdSet") cmdSet_Click();
    if (name == "cmdLaunch") cmdLaunch_Click();
}

void Model2SetupModel::cmdVerify_Click() {
    const std::string m = emulatorFolder();
    if (!EmulatorPresent(os_.files, m)) {
        ReportEmulatorMissing(os_.messages, m);
        return;
    }
    os_.messages.ask("Model 2 Found!  Excellent!", "Location Verified", MessageButtons::Ok, MessageIcon::None);
    rememberFolder();
}

void Model2SetupModel::rememberFolder() {
    const std::string file = ProgramSettingsPath(os_.programFolder);
    if (os_.ini.writeString(file, "Paths", "M2Path", emulatorFolder())) return;
    os_.messages.ask("The folder could not be remembered in " + file + ".\r\n\r\n" + os_.ini.errorText(),
                     "Model 2 Setup", MessageButtons::Ok, MessageIcon::Exclamation);
}

void Model2SetupModel::cmdInstall_Click() {
    // The install's boxes hold the window still; should a click get through all the same, one
    // install at a time.
    if (installing_) return;
    installing_ = true;
    LightGunKind gun = LightGunKind::Mouse;
    if (control("optItype_1").checked) gun = LightGunKind::Joystick;
    if (control("optItype_2").checked) gun = LightGunKind::DontCare;
    Model2InstallServices install{os_.files, os_.ini, os_.messages, os_.rawInput, [this](const std::string& text) {
                                      control("lblStatus").text = text;
                                      // Seen while a message of the install waits for the user.
                                      if (os_.forms.isOpen(*this)) os_.forms.refresh(*this);
                                  }};
    InstallModel2({os_.programFolder, emulatorFolder()}, gun, install);
    installing_ = false;
}

void Model2SetupModel::invalidPath() {
    os_.messages.ask("Please set a valid path to model 2 first!", "Invalid Path!", MessageButtons::Ok,
                     MessageIcon::Exclamation);
}

void Model2SetupModel::cmdSet_Click() {
    const std::string file = emulatorFolder() + "emulator.ini";
    if (!os_.files.fileExists(file)) {
        invalidPath();
        return;
    }
    if (os_.ini.writeString(file, "Input", "UseRawInput", control("optRI_0").checked ? "1" : "0")) return;
    os_.messages.ask("Could not write " + file + ".\r\n\r\n" + os_.ini.errorText(), "Model 2 Setup", MessageButtons::Ok,
                     MessageIcon::Exclamation);
}

void Model2SetupModel::cmdLaunch_Click() {
    const std::string m = emulatorFolder();
    if (!os_.files.fileExists(m + "emulator.exe")) {
        invalidPath();
        return;
    }
    // The folder stays the program's current folder afterwards.
    if (!os_.files.changeDirectory(m)) return;
    const int game = control("cmbGame").selected;
    if (game < 0 || game >= static_cast<int>(std::size(kLaunchGames))) return;
    os_.launcher.startProgram(m, "emulator.exe", kLaunchGames[game][1], WindowShowState::NormalActive);
}

}  // namespace vt2
