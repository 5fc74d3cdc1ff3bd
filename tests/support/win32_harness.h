#pragma once
// Helpers for tests that run real programs under Wine: processes stopped by id when the test ends,
// throw-away installations laid out like dist\, and waits for conditions with generous timeouts.

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "adapters/win32/unique_handle.h"

namespace vt2::test {

// Polls condition until it holds or timeoutMs have passed; true when it held.
bool WaitUntil(const std::function<bool()>& condition, int timeoutMs = 20000);

// A process started by a test; it is ended when the object goes, if it still runs.
class ChildProcess {
public:
    static ChildProcess Start(const std::string& program, const std::string& arguments,
                              const std::string& folder = "", WORD showWindow = SW_SHOWNORMAL);
    // A process the test did not start itself (one that a program under test started).
    static ChildProcess Adopt(DWORD processId);
    ChildProcess() = default;
    ChildProcess(ChildProcess&&) = default;
    ChildProcess& operator=(ChildProcess&&) = default;
    ~ChildProcess();

    DWORD id() const { return id_; }
    HANDLE handle() const { return process_.get(); }
    bool running() const;
    // The exit code once the process has ended within timeoutMs.
    std::optional<DWORD> waitForExit(int timeoutMs = 20000) const;
    void terminate();

private:
    win32::unique_kernel_handle process_;
    DWORD id_ = 0;
};

// One of the demo games VT2.exe hooks: the one of dist\ by the name "demo", which every
// installation holds; in a 64-bit build the 64-bit one, whose memory lies above 4 GB, by "demo64"
// (installed when a test asks for it, so that the configuration tool's list stays as it was),
// and the real 32-bit one of the 32-bit build when the build names it (installed over dist's,
// under the same name).
struct DemoGame {
    const char* label;       // the tests' name for it
    const char* name;        // its descriptor's name, VT2.exe's argument
    const char* program;     // in the installation's demo\ folder
    const char* caption;     // its window's caption, also its descriptor's [Info] Name
    const char* layoutFile;  // the addresses of its variables, written by the build
    const char* installedFrom = "";            // a program installed over dist's, with...
    const char* descriptorInstalledFrom = "";  // ...its descriptor
    std::string descriptor() const { return std::string("memcfg\\") + name + ".ini"; }
};
extern const DemoGame kDemoGame;
extern const DemoGame kDemoGame64;
extern const DemoGame kDemoGame32;
// The demo games this build has: both of dist\ in a 64-bit build (and the 32-bit one beside it
// when the build names one), the first alone in a 32-bit build.
std::vector<DemoGame> DemoGames();
// False for a 32-bit game on a machine that runs no 32-bit programs.
bool CanRun(const DemoGame& game);
// Its name in a test's output.
inline void PrintTo(const DemoGame& game, std::ostream* out) { *out << game.label; }
// For a parameterised test's name.
std::string DemoGameName(const ::testing::TestParamInfo<DemoGame>& info);
// A parameterised test's start with one of them: skipped (said so) where it cannot run, else
// installed.
#define VT2_USE_DEMO_GAME(install, game)                                                                  \
    do {                                                                                                  \
        if (!CanRun(game)) GTEST_SKIP() << (game).label << ": this machine runs no 32-bit programs";     \
        (install).installDemoGame(game);                                                                  \
    } while (false)

// A folder laid out like dist\: VT2.exe, memcfg\demo.ini, joycfg\default.ini, demo\VT2DemoGame.exe
// (and vt2.ini [Loop] Busy=1 when the environment has VT2_TEST_LOOP=busy);
// or an empty folder (another program's, such as an emulator's).
// Or the win64 package whole, as a player unzips it (a 64-bit build given the 32-bit demo game).
enum class TempContents { Vt2, Nothing, UnzippedPackage };
class TempInstall {
public:
    explicit TempInstall(TempContents contents = TempContents::Vt2);
    ~TempInstall();
    TempInstall(const TempInstall&) = delete;
    TempInstall& operator=(const TempInstall&) = delete;

    const std::string& path() const { return path_; }
    std::string file(const std::string& relative) const { return path_ + "\\" + relative; }
    // Writes a file of the installation, making its folders as needed.
    void writeFile(const std::string& relative, const std::string& content) const;
    // The Model 2 setup files of dist\ in m2setupfiles\.
    void addModel2SetupFiles() const;
    void removeFile(const std::string& relative) const;
    // linux\vt2bridge of dist\, runnable, as the 64-bit package holds it (VT2 starts it itself).
    bool addLinuxBridge() const;
    // Sets one key of an INI file of the installation.
    void setIni(const std::string& relative, const std::string& section, const std::string& key,
                const std::string& value) const;

    ChildProcess startVt2(const std::string& arguments) const;
    ChildProcess startDemoGame(const std::string& arguments = "") const;
    ChildProcess startDemoGame(const DemoGame& game, const std::string& arguments = "") const;
    // Puts a demo game other than dist's first one, and its descriptor, in place.
    void installDemoGame(const DemoGame& game) const;

private:
    std::string path_;
};

// The main window of a running VT2, found by its class among the windows of that process.
HWND FindMainWindowOf(DWORD processId);
HWND FindTopWindowOf(DWORD processId, const char* windowClass);
std::string WindowText(HWND window);
std::string LabelText(HWND mainWindow, int controlId);
// Waits for VT2's status label to read exactly text.
bool WaitForStatus(const ChildProcess& vt2, const std::string& text, int timeoutMs = 20000);

// The output server of dist\ logging to logFile (with options: the protocols and more, as its
// command line takes them); started and listening when it returns.
ChildProcess StartOutputServer(const std::string& logFile, const std::string& options = "");
// The lines of a text file (no line endings).
std::vector<std::string> ReadLines(const std::string& file);
// A file's bytes as they are; empty when it cannot be read.
std::string FileBytes(const std::string& path);

// Runs install's VT2.exe with arguments and its output into a file, as a shell's redirection
// does: "exit N" and each line it printed, joined with "|".
std::string OutputOfVt2(const TempInstall& install, const std::string& arguments, int timeoutMs = 20000);

// Runs the input injector fixture (vt2inject) with these arguments and waits for it to end.
bool Inject(const std::string& arguments);

// Moves the pointer to the screen's lower right, away from every window. Under Wine, a window
// under the pointer turns the X server's late pointer positions into mouse moves of their own,
// which would add to (and take from) the moves a test injects.
bool ParkPointerAwayFromWindows();

// Tray icons as Wine shows them without a desktop tray.
int TrayIconCount();

// The addresses of the demo game's variables, from the layout the build wrote.
class DemoLayout {
public:
    explicit DemoLayout(const DemoGame& game = kDemoGame);
    std::uint64_t address(const std::string& variable) const;

private:
    std::map<std::string, std::uint64_t> addresses_;
};

// Reads a value of the demo game's memory.
template <typename T>
T ReadGameValue(const ChildProcess& game, std::uint64_t address) {
    T value{};
    SIZE_T copied = 0;
    ReadProcessMemory(game.handle(), reinterpret_cast<LPCVOID>(static_cast<std::uintptr_t>(address)), &value,
                      sizeof value, &copied);
    return value;
}

// The Linux bridge of dist\linux\ playing recordings (paths on the Linux side, and any more of
// its options) on a port of its own. It ends when its last client goes: this object holds a
// connection until VT2 takes over (which replaces it), so that the bridge ends with VT2, or with
// the test when VT2 never came.
class RecordedBridge {
public:
    RecordedBridge(int port, const std::string& arguments);
    ~RecordedBridge();
    RecordedBridge(const RecordedBridge&) = delete;
    RecordedBridge& operator=(const RecordedBridge&) = delete;
    bool listening() const { return probe_ != ~std::uintptr_t{0}; }
    // Ends the bridge (on the Linux side, by its command line) and waits until its port is free.
    bool stop();

private:
    bool connect();
    int port_;
    ChildProcess bridge_;
    std::uintptr_t probe_ = ~std::uintptr_t{0};  // its socket
};

// A gun on COM<n> under Wine: a pseudo-terminal on the Linux side linked as the prefix's COM port,
// logging every byte it gets (with stamps, each read with the time it came, for a benchmark).
class PtyGun {
public:
    explicit PtyGun(int com, bool stamps = false);
    // A gun whose pty a Linux path names (a stable name, as /dev/serial/by-id/... gives one).
    explicit PtyGun(const std::string& linuxLink);
    ~PtyGun();
    PtyGun(const PtyGun&) = delete;
    PtyGun& operator=(const PtyGun&) = delete;
    bool ready() const { return ready_; }
    // Every byte received; with stamps, the log's lines ("<ns> <hex bytes>").
    std::string received() const;
    // The gun pulled out: its pty and its COM link go.
    void unplug();

private:
    void start(const std::string& linkForTheShell, bool stamps);
    std::string logOnLinux_, logOnWindows_;
    ChildProcess helper_;
    bool ready_ = false;
};

// Writes a value into the demo game's memory.
template <typename T>
bool WriteGameValue(const ChildProcess& game, std::uint64_t address, T value) {
    SIZE_T written = 0;
    return WriteProcessMemory(game.handle(), reinterpret_cast<void*>(static_cast<std::uintptr_t>(address)), &value, sizeof value,
                              &written) &&
           written == sizeof value;
}

// Reads a pointer of the demo game's memory: four bytes in a 32-bit game, eight in a 64-bit one.
std::uint64_t ReadGamePointer(const ChildProcess& game, std::uint64_t address);

}  // namespace vt2::test
