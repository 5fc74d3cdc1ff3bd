// The launch stub under Wine: installed into an emulator folder by the Model 2 setup helper's
// install (run here with the real file and INI adapters), it starts the program vt2.cfg names,
// here a recorder standing in for VT2.exe, and says by its exit code where it stopped.
#include <gtest/gtest.h>

#include <string>

#include "platform/message_boxes.h"
#include "adapters/win32/win32_file_system.h"
#include "adapters/win32/win32_ini_files.h"
#include "adapters/win32/win32_raw_input.h"
#include "setup/model2_install.h"
#include "support/test_paths.h"
#include "support/win32_harness.h"

namespace vt2::test {
namespace {

// Every message answered at once, Yes to the questions.
class AnsweringMessageBoxes final : public MessageBoxes {
public:
    void showMessage(const std::string& text) override { shown.push_back(text); }
    MessageAnswer ask(const std::string& text, const std::string&, MessageButtons buttons, MessageIcon) override {
        shown.push_back(text);
        return buttons == MessageButtons::YesNo ? MessageAnswer::Yes : MessageAnswer::Ok;
    }
    std::vector<std::string> shown;
};

class Stub : public ::testing::Test {
protected:
    void SetUp() override {
        program.addModel2SetupFiles();
        // The recorder is the program the stub starts, under VT2's name.
        ASSERT_TRUE(CopyFileA((std::string(kFixturesFolder) + "\\vt2recorder.exe").c_str(),
                              program.file("VT2.exe").c_str(), FALSE));
        emulator.writeFile("emulator.exe", "MZ");
        emulator.writeFile("scripts\\model2.lua", "-- stock\n");
        emulator.writeFile("CFG\\keep.input", "x");
        win32::Win32FileSystem files;
        win32::Win32IniFiles ini;
        win32::Win32RawInput rawInput(nullptr);
        Model2InstallServices os{files, ini, messages, rawInput, [](const std::string&) {}};
        ASSERT_TRUE(InstallModel2({program.path(), emulator.path() + "\\"}, LightGunKind::Mouse, os));
    }
    // Starts the installed stub with these arguments; its exit code.
    std::optional<DWORD> runStub(const std::string& arguments) {
        ChildProcess stub = ChildProcess::Start(emulator.file("VTStub.exe"), arguments, emulator.path());
        return stub.waitForExit();
    }
    // The recorder's records, once there are that many lines.
    std::vector<std::string> recorded(std::size_t lines) {
        std::vector<std::string> got;
        WaitUntil([&] { return (got = ReadLines(program.file("recorded.txt"))).size() >= lines; });
        return got;
    }

    TempInstall program;   // VT2's folder
    TempInstall emulator{TempContents::Nothing};  // the emulator's folder
    AnsweringMessageBoxes messages;
};

TEST_F(Stub, StartsTheCommandOfVt2CfgWithItsArgumentsInTheProgramFolderHidden) {
    // A program of VT2's name beside the stub, where Windows would look first, is not started.
    ASSERT_TRUE(CopyFileA((std::string(kFixturesFolder) + "\\vt2recorder.exe").c_str(),
                          emulator.file("VT2.exe").c_str(), FALSE));
    ASSERT_EQ(runStub("hotd"), 0u);
    const auto lines = recorded(3);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], "command VT2.exe hotd");
    EXPECT_EQ(lines[1], "folder " + program.path());
    EXPECT_EQ(lines[2], "show 0");  // SW_HIDE
    EXPECT_EQ(GetFileAttributesA(emulator.file("recorded.txt").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(Stub, ArgumentsPassUnchangedAndNoneLeaveOneBlank) {
    ASSERT_EQ(runStub("\"my odd game\"  two\tthree"), 0u);
    ASSERT_EQ(runStub(""), 0u);
    const auto lines = recorded(6);
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[0], "command VT2.exe \"my odd game\"  two\tthree");
    EXPECT_EQ(lines[3], "command VT2.exe ");
}

TEST_F(Stub, AFolderWithoutItsBackslashWorksToo) {
    emulator.writeFile("vt2.cfg", program.path() + "\r\nVT2.exe\r\n");
    ASSERT_EQ(runStub("vcop"), 0u);
    const auto lines = recorded(2);
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[0], "command VT2.exe vcop");
    EXPECT_EQ(lines[1], "folder " + program.path());
}

TEST_F(Stub, AVt2CfgSavedByAnEditorWorksToo) {
    // A byte order mark and lines ended by CR alone, or by LF alone.
    emulator.writeFile("vt2.cfg", "\xEF\xBB\xBF" + program.path() + "\\\rVT2.exe\r");
    ASSERT_EQ(runStub("a"), 0u);
    emulator.writeFile("vt2.cfg", program.path() + "\\\nVT2.exe\n");
    ASSERT_EQ(runStub("b"), 0u);
    const auto lines = recorded(6);
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[0], "command VT2.exe a");
    EXPECT_EQ(lines[3], "command VT2.exe b");
}

TEST_F(Stub, EachFailingStepHasItsExitCodeAndStartsNothing) {
    emulator.removeFile("vt2.cfg");
    EXPECT_EQ(runStub("hotd"), 1u);
    emulator.writeFile("vt2.cfg", program.path() + "\\\r\n");
    EXPECT_EQ(runStub("hotd"), 2u);
    emulator.writeFile("vt2.cfg", program.path() + "\\no such folder\\\r\nVT2.exe\r\n");
    EXPECT_EQ(runStub("hotd"), 3u);
    emulator.writeFile("vt2.cfg", program.path() + "\\\r\nNotThere.exe\r\n");
    EXPECT_EQ(runStub("hotd"), 4u);
    EXPECT_FALSE(GetFileAttributesA(program.file("recorded.txt").c_str()) != INVALID_FILE_ATTRIBUTES);
}

TEST_F(Stub, TheInstallWroteTheEmulatorFolderWithTheRealAdapters) {
    char value[64] = {};
    const std::string ini = emulator.file("emulator.ini");
    GetPrivateProfileStringA("Input", "RawDevP1", "", value, sizeof value, ini.c_str());
    EXPECT_STREQ(value, "2");  // Wine lists one mouse
    GetPrivateProfileStringA("Input", "RawDevP2", "", value, sizeof value, ini.c_str());
    EXPECT_STREQ(value, "2");
    GetPrivateProfileStringA("Paths", "M2Path", "", value, sizeof value, program.file("vt2.ini").c_str());
    EXPECT_EQ(std::string(value), emulator.path() + "\\");
    const auto hotd = ReadLines(emulator.file("scripts\\hotd.lua"));
    EXPECT_EQ(hotd, (std::vector<std::string>{"ROM = \"hotd\"", "require(\"VT2\");"}));
    EXPECT_EQ(ReadLines(emulator.file("scripts\\model2.lua")), std::vector<std::string>{"-- stock"});
    EXPECT_NE(GetFileAttributesA(emulator.file("scripts\\VT2.lua").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_NE(GetFileAttributesA(emulator.file("artwork\\crosshairs\\p2.png").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_NE(GetFileAttributesA(emulator.file("scripts\\vonj.lua").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(messages.shown.back().rfind("Installation complete!", 0), 0u);
}

}  // namespace
}  // namespace vt2::test
