#pragma once
// The Model 2 setup helper's window, frmModel2: the emulator's folder checked and remembered, the
// install with its status line, and the hidden panel's raw input switch and game launch.

#include <string>

#include "ui/stored_form_model.h"

namespace vt2 {

class FileSystem;
class IniFiles;
class MessageBoxes;
class ProgramLauncher;
class RawInputSystem;

struct Model2SetupServices {
    FileSystem& files;
    IniFiles& ini;
    MessageBoxes& messages;
    ProgramLauncher& launcher;
    RawInputSystem& rawInput;
    Forms& forms;
    std::string programFolder;  // without a trailing backslash
};

class Model2SetupModel final : public StoredFormModel {
public:
    explicit Model2SetupModel(Model2SetupServices& services);

    // Shows the window, not waiting for it; opened anew, it starts as it loads (Form_Load).
    void open();
    void Form_Load();
    void clicked(const std::string& control) override;
    void closed() override {}

    void cmdVerify_Click();
    void cmdInstall_Click();
    void cmdSet_Click();
    void cmdLaunch_Click();

private:
    std::string emulatorFolder() const { return control("txtM2Path").text; }
    void rememberFolder();
    void invalidPath();

    Model2SetupServices& os_;
    bool installing_ = false;
};

}  // namespace vt2
