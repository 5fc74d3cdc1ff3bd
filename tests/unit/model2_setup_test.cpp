// The Model 2 setup helper: what the install writes into an emulator folder, byte for byte and in
// which order, where it waits for the user, where it stops; and the window's other buttons.
#include <gtest/gtest.h>

#include <filesystem>

#include "common/ini.h"
#include "adapters/portable/native_path.h"
#include "adapters/portable/portable_file_system.h"
#include "setup/model2_files.h"
#include "setup/model2_install.h"
#include "support/fake_forms.h"
#include "support/fake_platform.h"
#include "ui/model2_setup_model.h"

namespace vt2::test {
namespace {

// The INI files of the test folder, with each write logged.
class LoggingIniFiles final : public IniFiles {
public:
    LoggingIniFiles(IniFiles& real, EventLog& log) : real_(real), log_(log) {}
    std::string readString(const std::string& file, const std::string& section, const std::string& key,
                           std::size_t bufferChars) override {
        return real_.readString(file, section, key, bufferChars);
    }
    std::vector<std::string> readSection(const std::string& file, const std::string& section) override {
        return real_.readSection(file, section);
    }
    bool writeString(const std::string& file, const std::string& section, const std::string& key,
                     const std::string& value) override {
        log_.push_back("ini " + file + " [" + section + "] " + key + "=" + value);
        return !failing.count(file) && real_.writeString(file, section, key, value);
    }
    std::string errorText() override { return "Access is denied."; }
    std::set<std::string> failing;

private:
    IniFiles& real_;
    EventLog& log_;
};

RawInputDevice Mouse(std::uint32_t handle) { return {handle, kRawInputTypeMouse, {}, {}}; }

class Model2Install : public ::testing::Test {
protected:
    void SetUp() override {
        sys.folder.writeFile("m2setupfiles\\VTStub.exe", "MZ stub");
        sys.folder.writeFile("m2setupfiles\\m2roms.lst", "hotd|The House of the Dead (Revision A)\r\nabc|A title\r\n");
        sys.folder.writeFile("m2setupfiles\\scripts\\VT2.lua", "-- module\n");
        sys.folder.writeFile("m2setupfiles\\artwork\\crosshairs\\p1.png", "one");
        sys.folder.writeFile("m2setupfiles\\artwork\\crosshairs\\p2.png", "two");
        sys.folder.writeFile("m2setupfiles\\CFG\\hotd.input", "binds");
        sys.folder.writeFile("m2setupfiles\\CFG\\notes.txt", "not an input file");
        sys.folder.writeFile("emu\\emulator.exe", "MZ");
        sys.folder.writeFile("emu\\emulator.ini", "[Renderer]\r\nFullScreen=1\r\nDrawCross=1\r\n[Input]\r\nUseRawInput=0\r\n"
                                                  "RawDevP1=0\r\nRawDevP2=1\r\n");
        sys.folder.writeFile("emu\\scripts\\hotd.lua", "-- the emulator's own widescreen script\n");
        sys.folder.writeFile("emu\\CFG\\hotd.input", "old binds");
        sys.rawInput.devices = std::vector<RawInputDevice>{Mouse(1), {2, 1, {}, {}}};
    }
    std::string p() const { return sys.folder.path(); }
    std::string m() const { return p() + "\\emu\\"; }
    bool install(LightGunKind gun = LightGunKind::Mouse) {
        Model2InstallServices os{sys.files, ini, sys.messageBoxes, sys.rawInput,
                                 [this](const std::string& text) { sys.log.push_back("status " + text); }};
        return InstallModel2({p(), m()}, gun, os);
    }
    std::string emulatorKey(const char* section, const char* key) {
        return ReadIniValue(sys.ini, m() + "emulator.ini", section, key, false);
    }
    std::string rememberedFolder() { return ReadIniValue(sys.ini, ProgramSettingsPath(p()), "Paths", "M2Path", false); }
    bool exists(const std::string& relative) const { return std::filesystem::exists(NativePath(p() + "\\" + relative)); }
    // The log without the checks that only look.
    EventLog steps() const {
        EventLog out;
        for (const std::string& e : sys.log) {
            if (e.rfind("key state", 0) != 0) out.push_back(e);
        }
        return out;
    }

    FakeSystem sys;
    LoggingIniFiles ini{sys.ini, sys.log};
};

constexpr const char* kMouseMessage =
    "message In order to get dual mice to function properly, Vantor will disable the mouse buttons by turning on "
    "raw-input in model 2 and setting the IDs to an unavailable mouse.  ALL MICE DEVICES YOU WILL USE MUST BE PLUGGED "
    "IN PRIOR TO PRESSING OK!!  If you need to change settings for a game within model 2, please set UseRawInput to 0 "
    "in the emulator.ini or use the button on this page.";

TEST_F(Model2Install, EveryStepInOrderWithTheFilesItWritesByteForByte) {
    sys.messageBoxes.answers = {MessageAnswer::Yes};
    ASSERT_TRUE(install());
    const std::string s = p() + "\\m2setupfiles";
    const std::string emu = "ini " + m() + "emulator.ini ";
    EXPECT_EQ(steps(), (EventLog{
                           "box Install Model 2 Files|Note:  You are about to be presented with a series of prompts as "
                           "the installation progresses.  PLEASE READ EACH ONE CAREFULLY!!!|information",
                           "status Status:  Setting Vantor Folder",
                           "status Installing Exe Stub",
                           "copy " + s + "\\VTStub.exe > " + m() + "VTStub.exe",
                           "status Configuring Stub",
                           "write " + m() + "vt2.cfg",
                           "box Install LUA Scripts|Custom LUA scripts will now be installed.  These are REQUIRED for "
                           "proper operation, but you may already have installed these scripts previously or need to "
                           "backup old scripts.\r\n\r\nInstall LUA Scripts?|yes/no",
                           "status Status:  Installing LUA Scripts",
                           "write " + m() + "scripts\\hotd.lua",
                           "write " + m() + "scripts\\abc.lua",
                           "copy " + s + "\\scripts\\VT2.lua > " + m() + "scripts\\VT2.lua",
                           "status Status:  Installing Crosshairs",
                           "create folder " + m() + "artwork",
                           "create folder " + m() + "artwork\\crosshairs",
                           "copy " + s + "\\artwork\\crosshairs\\p1.png > " + m() + "artwork\\crosshairs\\p1.png",
                           "copy " + s + "\\artwork\\crosshairs\\p2.png > " + m() + "artwork\\crosshairs\\p2.png",
                           kMouseMessage,
                           "status Status:  Configuring Model 2",
                           emu + "[Input] UseRawInput=1",
                           emu + "[Input] RawDevP1=2",
                           emu + "[Input] RawDevP2=2",
                           emu + "[Renderer] DrawCross=0",
                           "status Copying CFG Files",
                           "delete " + m() + "CFG\\hotd.input",
                           "copy " + s + "\\CFG\\hotd.input > " + m() + "CFG\\hotd.input",
                           "ini " + p() + "\\vt2.ini [Paths] M2Path=" + m(),
                           "status Status:  Complete",
                           "message Installation complete!  The functionaliy of Model 2 has changed significantly.  "
                           "Please read the readme for details.",
                       }));
    EXPECT_EQ(sys.folder.readFile("emu\\vt2.cfg"), p() + "\\\r\nVT2.exe\r\n");
    EXPECT_EQ(sys.folder.readFile("emu\\scripts\\hotd.lua"), "ROM = \"hotd\"\r\nrequire(\"VT2\");\r\n");
    EXPECT_EQ(sys.folder.readFile("emu\\scripts\\abc.lua"), "ROM = \"abc\"\r\nrequire(\"VT2\");\r\n");
    EXPECT_EQ(sys.folder.readFile("emu\\VTStub.exe"), "MZ stub");
    EXPECT_EQ(sys.folder.readFile("emu\\artwork\\crosshairs\\p2.png"), "two");
    EXPECT_EQ(sys.folder.readFile("emu\\CFG\\hotd.input"), "binds");
    EXPECT_FALSE(exists("emu\\CFG\\notes.txt"));  // only input files go there
    EXPECT_EQ(emulatorKey("Renderer", "FullScreen"), "1");  // the rest of emulator.ini as it was
    EXPECT_EQ(rememberedFolder(), m());
}

TEST_F(Model2Install, TheMiceAreCountedAfterTheUserHasPluggedThemIn) {
    sys.messageBoxes.answers = {MessageAnswer::Yes};
    sys.messageBoxes.onShown = [this](const std::string& text) {
        if (text.rfind("In order to get dual mice", 0) == 0)
            sys.rawInput.devices = std::vector<RawInputDevice>{Mouse(1), {7, 1, {}, {}}, Mouse(9)};
    };
    ASSERT_TRUE(install());
    // Two mice: 3 is a device number neither has.
    EXPECT_EQ(emulatorKey("Input", "RawDevP1"), "3");
    EXPECT_EQ(emulatorKey("Input", "RawDevP2"), "3");
    EXPECT_EQ(emulatorKey("Input", "UseRawInput"), "1");
}

TEST_F(Model2Install, WithoutAMouseGunTheEmulatorKeepsItsDevicesAndGetsNoRawInput) {
    for (LightGunKind gun : {LightGunKind::Joystick, LightGunKind::DontCare}) {
        sys.log.clear();
        sys.messageBoxes.answers = {MessageAnswer::Yes};
        ASSERT_TRUE(install(gun)) << ::testing::PrintToString(sys.eventsStartingWith("box Install Stopped"));
        EXPECT_GE(sys.indexOf("message You have stated that you aren't using a mouse-based lightgun.  If you ever use "
                              "one, please run this setup again."),
                  0);
        EXPECT_EQ(sys.eventsStartingWith("ini " + m()), (std::vector<std::string>{
                                                             "ini " + m() + "emulator.ini [Input] UseRawInput=0",
                                                             "ini " + m() + "emulator.ini [Renderer] DrawCross=0",
                                                         }));
        EXPECT_EQ(emulatorKey("Input", "RawDevP1"), "0");
        EXPECT_EQ(emulatorKey("Input", "RawDevP2"), "1");
        EXPECT_LT(sys.indexOf("status Status:  Configuring Model 2"), 0);
    }
}

TEST_F(Model2Install, NoToTheLuaQuestionStillInstallsEverythingElse) {
    sys.messageBoxes.answers = {MessageAnswer::No};
    ASSERT_TRUE(install());
    EXPECT_GE(sys.indexOf("status Status:  Skipping LUA Scripts"), 0);
    EXPECT_TRUE(sys.eventsStartingWith("write " + m() + "scripts").empty());
    EXPECT_EQ(sys.folder.readFile("emu\\scripts\\hotd.lua"), "-- the emulator's own widescreen script\n");
    EXPECT_FALSE(exists("emu\\scripts\\VT2.lua"));
    EXPECT_TRUE(exists("emu\\VTStub.exe"));
    EXPECT_TRUE(exists("emu\\vt2.cfg"));
    EXPECT_TRUE(exists("emu\\artwork\\crosshairs\\p1.png"));
    EXPECT_EQ(sys.folder.readFile("emu\\CFG\\hotd.input"), "binds");
    EXPECT_EQ(emulatorKey("Renderer", "DrawCross"), "0");
    EXPECT_EQ(rememberedFolder(), m());
}

TEST_F(Model2Install, ASetupScriptOfAGeneratedNameReplacesTheGeneratedOne) {
    sys.folder.writeFile("m2setupfiles\\scripts\\abc.lua", "-- abc needs more than the start\n");
    sys.messageBoxes.answers = {MessageAnswer::Yes};
    ASSERT_TRUE(install());
    EXPECT_EQ(sys.folder.readFile("emu\\scripts\\abc.lua"), "-- abc needs more than the start\n");
    const int written = sys.indexOf("write " + m() + "scripts\\abc.lua");
    const int deleted = sys.indexOf("delete " + m() + "scripts\\abc.lua");
    const int copied = sys.indexOf("copy " + p() + "\\m2setupfiles\\scripts\\abc.lua > " + m() + "scripts\\abc.lua");
    EXPECT_LT(written, deleted);
    EXPECT_LT(deleted, copied);
    // Setup scripts go in alphabetical order: abc.lua before VT2.lua.
    EXPECT_LT(copied, sys.indexOf("copy " + p() + "\\m2setupfiles\\scripts\\VT2.lua > " + m() + "scripts\\VT2.lua"));
}

TEST_F(Model2Install, AFailingStepStopsTheInstallThereAndTheFolderIsNotRemembered) {
    sys.files.failing.insert(m() + "VTStub.exe");
    sys.messageBoxes.answers = {MessageAnswer::Yes};
    EXPECT_FALSE(install());
    EXPECT_EQ(sys.eventsStartingWith("box Install Stopped"),
              (std::vector<std::string>{"box Install Stopped|The installation stopped at \"Installing Exe Stub\": could "
                                        "not copy " +
                                        p() + "\\m2setupfiles\\VTStub.exe to " + m() +
                                        "VTStub.exe.\r\n\r\nAccess is denied.\r\n\r\nThe steps before it are done; "
                                        "nothing after it was changed.|exclamation"}));
    EXPECT_FALSE(exists("emu\\vt2.cfg"));
    EXPECT_TRUE(sys.eventsStartingWith("box Install LUA").empty());
    EXPECT_EQ(rememberedFolder(), "");
    EXPECT_LT(sys.indexOf("status Status:  Complete"), 0);
}

TEST_F(Model2Install, AMissingFolderOfTheEmulatorStopsTheInstallAfterTheStepsDone) {
    std::filesystem::remove_all(NativePath(m() + "scripts"));
    sys.messageBoxes.answers = {MessageAnswer::Yes};
    EXPECT_FALSE(install());
    EXPECT_EQ(sys.eventsStartingWith("box Install Stopped|The installation stopped at \"Installing LUA Scripts\": could "
                                     "not write " +
                                     m() + "scripts\\hotd.lua.")
                  .size(),
              1u);
    EXPECT_TRUE(exists("emu\\VTStub.exe"));  // done before the failing step, and kept
    EXPECT_TRUE(exists("emu\\vt2.cfg"));
    EXPECT_FALSE(exists("emu\\artwork"));
    EXPECT_EQ(emulatorKey("Input", "UseRawInput"), "0");
    EXPECT_EQ(rememberedFolder(), "");
}

TEST_F(Model2Install, AMissingSetupFolderOrIniThatCannotBeWrittenStopsTheInstall) {
    std::filesystem::remove_all(NativePath(p() + "\\m2setupfiles\\artwork"));
    sys.messageBoxes.answers = {MessageAnswer::No};
    EXPECT_FALSE(install());
    EXPECT_EQ(sys.eventsStartingWith("box Install Stopped").size(), 1u);
    EXPECT_NE(sys.eventsStartingWith("box Install Stopped")[0].find("the folder " + p() +
                                                                    "\\m2setupfiles\\artwork\\crosshairs is missing"),
              std::string::npos);
    EXPECT_EQ(emulatorKey("Renderer", "DrawCross"), "1");

    sys.log.clear();
    sys.folder.writeFile("m2setupfiles\\artwork\\crosshairs\\p1.png", "one");
    ini.failing.insert(p() + "\\vt2.ini");
    sys.messageBoxes.answers = {MessageAnswer::No};
    EXPECT_FALSE(install());
    EXPECT_EQ(sys.eventsStartingWith("box Install Stopped|The installation stopped at \"Copying CFG Files\": could not "
                                     "write " +
                                     p() + "\\vt2.ini.")
                  .size(),
              1u);
    EXPECT_LT(sys.indexOf("status Status:  Complete"), 0);
}

TEST_F(Model2Install, ARomListThatNamesNoRomSetStopsTheInstall) {
    sys.folder.writeFile("m2setupfiles\\m2roms.lst", "\r\n|no name\r\n..\\x|path\r\n");
    sys.messageBoxes.answers = {MessageAnswer::Yes};
    EXPECT_FALSE(install());
    EXPECT_EQ(sys.eventsStartingWith("box Install Stopped|The installation stopped at \"Installing LUA Scripts\": " + p() +
                                     "\\m2setupfiles\\m2roms.lst names no ROM set.")
                  .size(),
              1u);
    EXPECT_LT(sys.indexOf("status Status:  Complete"), 0);
}

TEST_F(Model2Install, WithoutTheEmulatorNothingIsTouched) {
    std::filesystem::remove(NativePath(m() + "emulator.exe"));
    EXPECT_FALSE(install());
    EXPECT_EQ(steps(), (EventLog{"box Model 2 Not Found!|Model 2 is NOT located in the path specified!  Make sure the "
                                 "full path is included and try again.|exclamation"}));
}

TEST(Model2Files, TheRomListGivesOneNamePerLineAndSkipsWhatCannotNameAScript) {
    EXPECT_EQ(RomSetNames("abc|A game|extra\r\nvcop\r\n\r\n   \r\n|no name\r\n"
                          " hotd |padded\nlastline"),
              (std::vector<std::string>{"abc", "vcop", "hotd", "lastline"}));
    // A path, a device or a quote would write outside scripts\ or break the script's text.
    EXPECT_EQ(RomSetNames("..\\..\\x|up\r\nsub\\x|in\r\nCON|device\r\na\"b|quote\r\nok|fine\r\n"),
              (std::vector<std::string>{"ok"}));
    EXPECT_TRUE(RomSetNames("").empty());
    EXPECT_EQ(RomSetNames("a|1\rb|2\rc\n\rd"), (std::vector<std::string>{"a", "b", "c", "d"}));  // any line end
}

class Model2Window : public Model2Install {
protected:
    void open() {
        model.open();
        Type(model, "txtM2Path", m());
    }
    ControlState shown(const std::string& control) { return model.state(control); }

    FakeForms forms{sys.log};
    Model2SetupServices services{sys.files, ini, sys.messageBoxes, sys.launcher, sys.rawInput, forms, p()};
    Model2SetupModel model{services};
};

TEST_F(Model2Window, ItOpensWithTheRememberedFolderMouseChosenAndThePanelHidden) {
    model.open();
    EXPECT_EQ(shown("txtM2Path").text, "C:\\M2Emulator\\");  // nothing remembered yet
    EXPECT_TRUE(shown("optItype_0").checked);
    EXPECT_FALSE(shown("optItype_2").checked);
    EXPECT_TRUE(shown("optRI_1").checked);
    EXPECT_EQ(shown("lblStatus").text, "");
    for (const char* hidden : {"fraHelp", "cmdSet", "cmdLaunch", "cmbGame", "cmdReadMe", "optRI_0"}) {
        EXPECT_FALSE(shown(hidden).visible) << hidden;
    }
    EXPECT_EQ(shown("cmbGame").items, (std::vector<std::string>{"House of the Dead", "Virtua Cop", "Virtua Cop 2"}));
    EXPECT_EQ(shown("cmbGame").selected, -1);
    forms.close(model);

    ini.writeString(ProgramSettingsPath(p()), "Paths", "M2Path", "D:\\Model2\\");
    model.open();
    EXPECT_EQ(shown("txtM2Path").text, "D:\\Model2\\");
    // Shown again while open, it keeps what the user typed.
    Type(model, "txtM2Path", "E:\\");
    model.open();
    EXPECT_EQ(shown("txtM2Path").text, "E:\\");
}

TEST_F(Model2Window, VerifyFindsEitherEmulatorAndRemembersTheFolderAfterSayingSo) {
    open();
    std::filesystem::rename(NativePath(m() + "emulator.exe"), NativePath(m() + "emulator_multicpu.exe"));
    Click(model, "cmdVerify");
    EXPECT_EQ(sys.eventsStartingWith("box"), (std::vector<std::string>{"box Location Verified|Model 2 Found!  Excellent!"}));
    EXPECT_LT(sys.indexOf("box Location Verified|Model 2 Found!  Excellent!"),
              sys.indexOf("ini " + p() + "\\vt2.ini [Paths] M2Path=" + m()));
    EXPECT_EQ(rememberedFolder(), m());

    // Install works with it too; Launch wants emulator.exe itself; Set only emulator.ini.
    sys.messageBoxes.answers = {MessageAnswer::No};
    Click(model, "cmdInstall");
    EXPECT_EQ(shown("lblStatus").text, "Status:  Complete");
    sys.log.clear();
    Choose(model, "cmbGame", 0);
    Click(model, "cmdLaunch");
    EXPECT_EQ(steps(), (EventLog{"box Invalid Path!|Please set a valid path to model 2 first!|exclamation"}));
    sys.log.clear();
    Click(model, "cmdSet");
    EXPECT_EQ(steps(), (EventLog{"ini " + m() + "emulator.ini [Input] UseRawInput=0"}));
}

TEST_F(Model2Window, AFolderWithoutItsBackslashIsRefusedWithTheReason) {
    open();
    Type(model, "txtM2Path", p() + "\\emu");
    Click(model, "cmdVerify");
    EXPECT_EQ(steps().back(), "box Model 2 Not Found!|Model 2 is NOT located in the path specified!  Make sure the full "
                              "path is included and try again.\r\n\r\nThe path must end with a backslash: " +
                                  p() + "\\emu\\|exclamation");
    EXPECT_EQ(rememberedFolder(), "");
    Click(model, "cmdInstall");
    EXPECT_FALSE(exists("emu\\VTStub.exe"));
}

TEST_F(Model2Window, InstallTakesTheChosenGunKindAndShowsItsLastStatus) {
    open();
    Check(model, "optItype_2", true);
    EXPECT_FALSE(shown("optItype_0").checked);  // the options are one group
    sys.messageBoxes.answers = {MessageAnswer::Yes};
    Click(model, "cmdInstall");
    EXPECT_EQ(emulatorKey("Input", "UseRawInput"), "0");
    EXPECT_EQ(emulatorKey("Input", "RawDevP1"), "0");
    EXPECT_EQ(shown("lblStatus").text, "Status:  Complete");
}

TEST_F(Model2Window, SetSwitchesRawInputAndLaunchStartsTheChosenGameFromTheEmulatorFolder) {
    open();
    Check(model, "optRI_0", true);
    Click(model, "cmdSet");
    EXPECT_EQ(emulatorKey("Input", "UseRawInput"), "1");
    Check(model, "optRI_1", true);
    Click(model, "cmdSet");
    EXPECT_EQ(emulatorKey("Input", "UseRawInput"), "0");

    sys.log.clear();
    Click(model, "cmdLaunch");  // no game chosen: the folder changes, nothing starts
    EXPECT_EQ(steps(), (EventLog{"chdir " + m()}));
    for (int game = 0; game < 3; ++game) {
        Choose(model, "cmbGame", game);
        Click(model, "cmdLaunch");
    }
    EXPECT_EQ(sys.eventsStartingWith("start"), (std::vector<std::string>{"start " + m() + "|emulator.exe|hotd",
                                                                         "start " + m() + "|emulator.exe|vcop",
                                                                         "start " + m() + "|emulator.exe|vcop2"}));
    EXPECT_EQ(sys.launcher.lastState, WindowShowState::NormalActive);

    Type(model, "txtM2Path", p() + "\\nowhere\\");
    sys.log.clear();
    Click(model, "cmdSet");
    EXPECT_EQ(steps(), (EventLog{"box Invalid Path!|Please set a valid path to model 2 first!|exclamation"}));
}

TEST(FilesWrittenWhole, AFileIsReplacedWholeOrLeftAsItWas) {
    TempProgramFolder folder;
    PortableFileSystem files;
    const std::string path = folder.path() + "\\vt2.cfg";
    ASSERT_TRUE(files.writeFileWhole(path, "first\r\n"));
    ASSERT_TRUE(files.writeFileWhole(path, "second\r\nline\r\n"));
    EXPECT_EQ(folder.readFile("vt2.cfg"), "second\r\nline\r\n");

    std::filesystem::permissions(NativePath(path), std::filesystem::perms::owner_read);
    EXPECT_FALSE(files.writeFileWhole(path, "third"));
    EXPECT_EQ(folder.readFile("vt2.cfg"), "second\r\nline\r\n");
    ASSERT_TRUE(files.copyFile(path, path + ".copy"));
    EXPECT_FALSE(files.copyFile(path + ".copy", path));
    EXPECT_EQ(folder.readFile("vt2.cfg"), "second\r\nline\r\n");
    EXPECT_EQ(files.listFiles(folder.path(), ".vt2new"), std::vector<std::string>{});  // no temporary file left

    EXPECT_FALSE(files.writeFileWhole(folder.path() + "\\no such folder\\x.lua", "x"));
    EXPECT_FALSE(files.readFile(folder.path() + "\\missing.lst").has_value());
    EXPECT_FALSE(files.readFile(folder.path()).has_value());  // a folder is no file
}

}  // namespace
}  // namespace vt2::test
