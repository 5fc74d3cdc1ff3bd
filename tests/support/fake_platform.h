#pragma once
// A recording fake of the operating-system seam. Every call that matters to the order of a run is
// written to one event log, so tests can check what happened and in which order.

#include <cstdint>
#include <deque>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "engine/engine.h"
#include "outputs/output_sender.h"
#include "platform/platform.h"
#include "adapters/portable/portable_file_system.h"
#include "adapters/portable/portable_ini_files.h"

namespace vt2::test {

using EventLog = std::vector<std::string>;

// Thrown where the real program would end its process.
struct ProcessEnded {
    int exitCode;
};

class FakeProcessExit final : public ProcessExit {
public:
    explicit FakeProcessExit(EventLog& log) : log_(log) {}
    [[noreturn]] void endProcess(int exitCode) override {
        log_.push_back("exit " + std::to_string(exitCode));
        throw ProcessEnded{exitCode};
    }

private:
    EventLog& log_;
};

// Time passes only while the program sleeps.
class FakeClock final : public Clock {
public:
    explicit FakeClock(EventLog& log) : log_(log) {}
    void sleepMs(unsigned milliseconds) override {
        log_.push_back("sleep " + std::to_string(milliseconds));
        now += milliseconds;
    }
    std::uint64_t nowMs() override { return now; }
    std::uint64_t now = 100000;

private:
    EventLog& log_;
};

// Window messages as callbacks: each pump runs what was posted before it.
class FakeMessagePump final : public MessagePump {
public:
    explicit FakeMessagePump(EventLog& log) : log_(log) {}
    void pumpPendingMessages() override;
    // As a whole pump here (the fake's messages are the callbacks posted before it), counted apart.
    void pumpNextMessage() override {
        ++nextMessagePumps;
        pumpPendingMessages();
    }
    int nextMessagePumps = 0;
    void post(std::function<void()> message) { pending_.push_back(std::move(message)); }
    // Called at the start of the n-th pump (counting from 1), before the posted messages.
    std::function<void(int)> onPump;
    int pumps() const { return pumps_; }

private:
    EventLog& log_;
    std::deque<std::function<void()>> pending_;
    int pumps_ = 0;
};

// Real files under a temporary folder, plus made-up files that only "exist", and a record of the
// folder changes.
class FakeFileSystem final : public FileSystem {
public:
    explicit FakeFileSystem(EventLog& log) : log_(log) {}
    bool fileExists(const std::string& path) override { return pretend.count(path) > 0 || real_.fileExists(path); }
    bool changeDirectory(const std::string& folder) override {
        log_.push_back("chdir " + folder);
        return true;
    }
    std::vector<std::string> listFiles(const std::string& folder, const std::string& extension) override {
        return real_.listFiles(folder, extension);
    }
    bool deleteFile(const std::string& path) override {
        log_.push_back("delete " + path);
        if (undeletable.count(path)) return false;
        return real_.deleteFile(path);
    }
    bool folderExists(const std::string& path) override { return real_.folderExists(path); }
    bool createFolder(const std::string& path) override {
        log_.push_back("create folder " + path);
        return !failing.count(path) && real_.createFolder(path);
    }
    bool copyFile(const std::string& from, const std::string& to) override {
        log_.push_back("copy " + from + " > " + to);
        return !failing.count(to) && real_.copyFile(from, to);
    }
    std::optional<std::string> readFile(const std::string& path) override { return real_.readFile(path); }
    std::optional<std::string> readFilePart(const std::string& path, std::uint64_t offset, std::size_t length) override {
        ++partsRead;
        return real_.readFilePart(path, offset, length);
    }
    int partsRead = 0;
    bool writeFileWhole(const std::string& path, const std::string& content) override {
        log_.push_back("write " + path);
        return !failing.count(path) && real_.writeFileWhole(path, content);
    }
    std::string errorText() override { return "Access is denied."; }
    std::set<std::string> pretend;
    std::set<std::string> undeletable;  // as if in use or read-only
    std::set<std::string> failing;      // targets that cannot be created, copied to or written

private:
    EventLog& log_;
    PortableFileSystem real_;
};

class FakeWindowSystem final : public WindowSystem {
public:
    struct Window {
        std::string windowClass;
        std::string caption;
        std::uint32_t processId = 0;
        std::uint32_t style = 0;
        bool exists = true;
        PixelRect client{};  // on the desktop
    };

    explicit FakeWindowSystem(EventLog& log) : log_(log) {}

    WindowHandle addWindow(Window window) {
        windows_.push_back(std::move(window));
        return windows_.size();  // handles are 1-based indexes
    }
    Window& window(WindowHandle handle) { return windows_.at(handle - 1); }
    int findCalls() const { return findCalls_; }

    WindowHandle findWindow(const std::string& windowClass, const std::optional<std::string>& caption) override;
    std::string windowText(WindowHandle window, std::size_t bufferChars) override;
    std::uint32_t windowProcessId(WindowHandle window) override;
    bool windowExists(WindowHandle window) override { return lookUp(window) != nullptr; }
    WindowHandle findWindowOfProcess(std::uint32_t processId, const std::string& windowClass,
                                     const std::optional<std::string>& caption) override;
    std::uint32_t windowStyle(WindowHandle window) override;
    void setWindowStyle(WindowHandle window, std::uint32_t style) override;
    void moveToTopLeftWithNewFrame(WindowHandle window) override;
    std::optional<PixelRect> clientAreaOnDesktop(WindowHandle window) override;
    PixelRect virtualDesktop() override { return virtualDesktopRect; }
    PixelRect monitorOf(WindowHandle window) override;
    void postQuit(WindowHandle window) override;
    void bringToFront(WindowHandle window) override { log_.push_back("front " + std::to_string(window)); }
    int clientAreaReads = 0;
    PixelRect virtualDesktopRect{0, 0, 1280, 1024};  // the fake screen alone
    std::vector<PixelRect> monitors{{0, 0, 1280, 1024}};  // the primary first

private:
    Window* lookUp(WindowHandle handle);
    EventLog& log_;
    std::vector<Window> windows_;
    int findCalls_ = 0;
};

class FakeProgramLauncher final : public ProgramLauncher {
public:
    explicit FakeProgramLauncher(EventLog& log) : log_(log) {}
    bool startProgram(const std::string& folder, const std::string& program, const std::string& arguments,
                      WindowShowState state) override;
    int openDocument(const std::string& file) override {
        log_.push_back("open " + file);
        return 42;
    }
    std::optional<WindowShowState> lastState;

private:
    EventLog& log_;
};

// A game process as a sparse map of bytes; addresses not in the map are unmapped.
class FakeGameProcess {
public:
    // Maps length bytes at address, each set to fill.
    void map(std::uint64_t address, std::size_t length, std::uint8_t fill = 0) {
        for (std::size_t i = 0; i < length; ++i) bytes[address + i] = fill;
    }
    void put(std::uint64_t address, const std::vector<std::uint8_t>& values) {
        for (std::size_t i = 0; i < values.size(); ++i) bytes[address + i] = values[i];
    }
    void putLong(std::uint64_t address, std::uint32_t value) { putBytesOf(address, value, 4); }
    void putPointer64(std::uint64_t address, std::uint64_t value) { putBytesOf(address, value, 8); }
    std::vector<std::uint8_t> at(std::uint64_t address, std::size_t length) const {
        std::vector<std::uint8_t> out;
        for (std::size_t i = 0; i < length; ++i) out.push_back(bytes.at(address + i));
        return out;
    }
    std::map<std::uint64_t, std::uint8_t> bytes;
    std::vector<std::pair<std::uint64_t, std::vector<std::uint8_t>>> writes;  // every successful write
    bool ended = false;       // the process has ended
    bool is64Bit = false;     // a 64-bit game
    bool reachable = true;    // false: as a 64-bit game is to a 32-bit program
    std::set<std::uint64_t> readOnly;  // mapped bytes that cannot be written

private:
    void putBytesOf(std::uint64_t address, std::uint64_t value, std::size_t count) {
        for (std::size_t i = 0; i < count; ++i) bytes[address + i] = static_cast<std::uint8_t>(value >> (8 * i));
    }
};

class FakeProcessMemory final : public ProcessMemory {
public:
    explicit FakeProcessMemory(EventLog& log) : log_(log) {}
    std::unique_ptr<OpenProcessMemory> openProcess(std::uint32_t processId) override;
    std::map<std::uint32_t, FakeGameProcess> processes;  // the processes that can be opened

private:
    EventLog& log_;
};

// Logs "pause threads N" and "resume threads N"; onChange runs at both, so a test can see what
// happened while the threads were held.
class FakeProcessThreads final : public ProcessThreads {
public:
    explicit FakeProcessThreads(EventLog& log) : log_(log) {}
    std::unique_ptr<PausedThreads> pause(std::uint32_t processId) override;
    bool canPause = true;
    std::function<void()> onChange;

private:
    EventLog& log_;
};

class FakeModuleList final : public ModuleList {
public:
    explicit FakeModuleList(EventLog& log) : log_(log) {}
    std::vector<ModuleEntry> modulesOf(std::uint32_t processId) override {
        log_.push_back("module snapshot " + std::to_string(processId));
        const auto it = modules.find(processId);
        return it == modules.end() ? std::vector<ModuleEntry>{} : it->second;
    }
    std::map<std::uint32_t, std::vector<ModuleEntry>> modules;

private:
    EventLog& log_;
};

// Locks held by "other processes" are in heldElsewhere; those this program takes are counted.
class FakeRunLocks final : public RunLocks {
public:
    std::unique_ptr<RunLock> lock(const std::string& name) override;
    std::set<std::string> heldElsewhere;  // lower-case names
    std::set<std::string> held;           // what this program holds now, lower-case

private:
    class Lock;
};

// Logs "message TEXT" for the program's plain boxes and "box TITLE|TEXT" for the others; a Yes/No
// box takes the next of answers (Yes when none is left).
class FakeMessageBoxes final : public MessageBoxes {
public:
    explicit FakeMessageBoxes(EventLog& log) : log_(log) {}
    void showMessage(const std::string& text) override {
        log_.push_back("message " + text);
        if (onShown) onShown(text);
    }
    MessageAnswer ask(const std::string& text, const std::string& title, MessageButtons buttons,
                      MessageIcon icon) override {
        log_.push_back("box " + title + "|" + text + (buttons == MessageButtons::YesNo ? "|yes/no" : "") +
                       (icon == MessageIcon::Information ? "|information" : "") +
                       (icon == MessageIcon::Exclamation ? "|exclamation" : ""));
        if (onShown) onShown(text);
        if (buttons == MessageButtons::Ok) return MessageAnswer::Ok;
        if (answers.empty()) return MessageAnswer::Yes;
        const MessageAnswer answer = answers.front();
        answers.pop_front();
        return answer;
    }
    void tellLater(const std::string& text, const std::string& title, MessageIcon icon) override {
        log_.push_back("box later " + title + "|" + text);
        later.push_back({text, title, icon});
    }
    // The message loop runs again: the boxes asked for later are shown.
    void runLater() {
        while (!later.empty()) {
            const auto [text, title, icon] = later.front();
            later.pop_front();
            ask(text, title, MessageButtons::Ok, icon);
        }
    }
    std::deque<std::tuple<std::string, std::string, MessageIcon>> later;
    std::deque<MessageAnswer> answers;
    // What the user does while a box is up, before answering it.
    std::function<void(const std::string& text)> onShown;

private:
    EventLog& log_;
};

class FakeKeyboard final : public KeyboardState {
public:
    explicit FakeKeyboard(EventLog& log) : log_(log) {}
    std::int16_t asyncKeyState(int virtualKey) override {
        reads.push_back(virtualKey);
        log_.push_back("key state " + std::to_string(virtualKey));
        const auto it = states.find(virtualKey);
        return it == states.end() ? 0 : it->second;
    }
    std::int16_t keyState(int virtualKey) override {
        const auto it = states.find(virtualKey);
        return it == states.end() ? 0 : it->second;
    }
    std::map<int, std::int16_t> states;  // the raw state per key; missing keys are up
    std::vector<int> reads;

private:
    EventLog& log_;
};

class FakeRawInput final : public RawInputSystem {
public:
    explicit FakeRawInput(EventLog& log) : log_(log) {}
    std::optional<std::vector<RawInputDevice>> deviceList() override { return devices; }
    bool registerMice() override {
        log_.push_back("register mice");
        return registers;
    }
    void startReports(RawMouseReportSink& s) override {
        log_.push_back("start reports");
        sink = &s;
    }
    void stopReports() override {
        log_.push_back("stop reports");
        sink = nullptr;
    }
    // A report as the window procedure delivers it: only while reports are started.
    void deliver(const RawMouseReport& report) {
        if (sink) sink->onMouseReport(report);
    }

    std::optional<std::vector<RawInputDevice>> devices = std::vector<RawInputDevice>{};
    bool registers = true;
    RawMouseReportSink* sink = nullptr;

private:
    EventLog& log_;
};

class FakeJoysticks final : public JoystickSystem {
public:
    explicit FakeJoysticks(EventLog& log) : log_(log) {}
    bool createDirectX() override { return note("directx"); }
    bool createDirectInput() override { return note("directinput"); }
    void release() override { note("release directx"); }
    int attachedControllers() override {
        note("enumerate");
        return controllers;
    }
    std::vector<JoystickDescription> describeControllers() override { return described; }
    std::vector<JoystickDescription> described;
    std::array<std::uintptr_t, 2> createEvents() override {
        note("create events");
        return {101, 102};
    }
    void unacquire(std::size_t player) override { note("unacquire " + std::to_string(player + 1)); }
    void forget(std::size_t player) override { note("forget " + std::to_string(player + 1)); }
    bool createDevice(std::size_t player, int joyId) override {
        note("create device " + std::to_string(player + 1) + " on " + std::to_string(joyId));
        return joyId <= controllers;
    }
    AxisFlags identifyAxes(std::size_t player) override {
        note("identify axes " + std::to_string(player + 1));
        return axes[player];
    }
    void attachEvent(std::size_t player) override { note("attach event " + std::to_string(player + 1)); }
    void setRange(std::size_t player, std::int32_t minimum, std::int32_t maximum) override {
        note("range " + std::to_string(player + 1) + " " + std::to_string(minimum) + ".." + std::to_string(maximum));
    }
    void acquire(std::size_t player) override { note("acquire " + std::to_string(player + 1)); }
    bool poll(std::size_t player) override {
        note("poll " + std::to_string(player + 1));
        return pollWorks;
    }
    JoystickRead readState(std::size_t player, JoystickState& state) override {
        if (reads[player] == JoystickRead::Ok) state = states[player];
        return reads[player];
    }
    std::vector<std::uintptr_t> signalledEvents() override { return std::exchange(signalled, {}); }

    int controllers = 0;
    std::array<AxisFlags, 2> axes{};
    std::array<JoystickState, 2> states{};
    std::array<JoystickRead, 2> reads{JoystickRead::Ok, JoystickRead::Ok};
    std::vector<std::uintptr_t> signalled;
    bool pollWorks = true;

private:
    bool note(const std::string& e) {
        log_.push_back(e);
        return true;
    }
    EventLog& log_;
};

class FakeSyntheticInput final : public SyntheticInput {
public:
    explicit FakeSyntheticInput(EventLog& log) : log_(log) {}
    ScreenSize primaryScreenSize() override {
        log_.push_back("screen size");
        return screen;
    }
    void setCursorPosition(int x, int y) override {
        log_.push_back("cursor " + std::to_string(x) + "," + std::to_string(y));
        cursorAt = {x, y};
        if (onCursor) onCursor(x, y);
    }
    std::function<void(int x, int y)> onCursor;  // a game that follows the cursor
    std::function<void(std::uint32_t flags)> onMouse;  // ...and its buttons
    std::optional<CursorPoint> cursorPosition() override {
        log_.push_back("cursor read");
        return cursorAt;
    }
    CursorPoint cursorAt;  // where the last placement put it, or where a test moved it
    void confineCursor(const std::optional<PixelRect>& rect) override {
        confinedTo = rect;
        ++confinements;
    }
    std::optional<PixelRect> confinedTo;  // kept apart from the log: most tests follow the cursor alone
    int confinements = 0;
    void mouseEvent(std::uint32_t flags) override {
        log_.push_back("mouse " + std::to_string(flags));
        if (onMouse) onMouse(flags);
    }
    std::uint32_t scanCodeOf(std::uint32_t virtualKey) override { return virtualKey + 1000; }
    void keyEvent(std::uint8_t virtualKey, std::uint8_t scanCode, std::uint32_t flags) override {
        log_.push_back(std::string(flags ? "key up " : "key down ") + std::to_string(virtualKey) + " scan " +
                       std::to_string(scanCode));
    }
    ScreenSize screen{1280, 1024};

private:
    EventLog& log_;
};

// DDEML as a recording fake: each call is logged; a "server" takes the executed commands.
class FakeDde final : public DdeClient {
public:
    explicit FakeDde(EventLog& log) : log_(log) {}
    Handle initialize(std::uint32_t flags) override {
        calls.push_back("initialize " + std::to_string(flags));
        return failAt == "initialize" ? 0 : 1;
    }
    Handle createStringHandle(Handle, const std::string& text, int codePage) override {
        calls.push_back("string " + text + " " + std::to_string(codePage));
        return failAt == "string " + text ? 0 : nextHandle_++;
    }
    void freeStringHandle(Handle, Handle string) override { calls.push_back("free " + std::to_string(string)); }
    Handle connect(Handle, Handle service, Handle topic) override {
        calls.push_back("connect " + std::to_string(service) + " " + std::to_string(topic));
        return serverRunning && failAt != "connect" ? 77 : 0;
    }
    Handle createDataHandle(Handle, const std::uint8_t* data, std::uint32_t length) override {
        calls.push_back("data " + std::to_string(length));
        lastData.assign(data, data + length);
        return failAt == "data" ? 0 : 88;
    }
    bool clientTransaction(Handle data, Handle conversation, std::uint32_t type, std::uint32_t timeoutMs) override {
        calls.push_back("execute " + std::to_string(data) + " " + std::to_string(conversation) + " " +
                        std::to_string(type) + " " + std::to_string(timeoutMs));
        if (failAt == "execute") return false;
        const std::string command(reinterpret_cast<const char*>(lastData.data()));
        received.push_back(command);
        log_.push_back("dde " + command);
        return true;
    }
    void disconnect(Handle conversation) override { calls.push_back("disconnect " + std::to_string(conversation)); }
    void uninitialize(Handle) override { calls.push_back("uninitialize"); }

    bool serverRunning = true;
    std::string failAt;  // "initialize", "string MHServer", "connect", "data", "execute"
    std::vector<std::string> calls;
    std::vector<std::string> received;
    std::vector<std::uint8_t> lastData;

private:
    EventLog& log_;
    Handle nextHandle_ = 10;
};

// The reference link over the fake DDE, recording the waits at the end.
class FakeOutputLink final : public OutputLink {
public:
    FakeOutputLink(DdeClient& dde, EventLog& log) : link_(dde), log_(log) {}
    void send(const std::string& command) override { link_.send(command); }
    void finish(unsigned maxWaitMs) override { log_.push_back("finish outputs " + std::to_string(maxWaitMs)); }

private:
    BlockingOutputLink link_;
    EventLog& log_;
};

// The guns' ports: every write in the order it was sent.
class FakeFeedbackPorts final : public FeedbackPorts {
public:
    void send(const FeedbackWrite& write) override { writes.push_back(write); }
    void flush(unsigned) override { ++flushes; }
    std::vector<FeedbackPortStatus> status() override { return {}; }
    std::vector<std::string> takeNotes() override { return std::exchange(notes, {}); }
    std::vector<FeedbackGun> takeReturnedGuns() override { return std::exchange(returned, {}); }
    std::vector<std::string> notes;
    std::vector<FeedbackGun> returned;
    // The texts written (Write and TcpWrite), in order.
    std::vector<std::string> texts() const {
        std::vector<std::string> out;
        for (const FeedbackWrite& w : writes) {
            if (w.kind == FeedbackWrite::Kind::Write || w.kind == FeedbackWrite::Kind::TcpWrite) out.push_back(w.text);
        }
        return out;
    }
    std::vector<FeedbackWrite> writes;
    int flushes = 0;
};

class FakeNumericOutputs final : public NumericOutputs {
public:
    explicit FakeNumericOutputs(EventLog& log) : log_(log) {}
    void start(const std::string& game, const std::map<int, std::string>& names) override {
        std::string text = "numeric start " + game;
        for (const auto& [id, name] : names) text += " " + std::to_string(id) + ":" + name;
        log_.push_back(text);
    }
    void update(int id, std::int32_t value) override {
        log_.push_back("numeric " + std::to_string(id) + "=" + std::to_string(value));
    }
    void stop(unsigned maxWaitMs) override { log_.push_back("numeric stop " + std::to_string(maxWaitMs)); }

private:
    EventLog& log_;
};

// The loop's timer: each wait is logged, with the events it also waits for.
class FakePacer final : public LoopPacer {
public:
    FakePacer(EventLog& log, FakeClock& clock) : log_(log), clock_(clock) {}
    bool begin(unsigned tickMs) override {
        log_.push_back("pacer begin " + std::to_string(tickMs));
        tickMs_ = tickMs;
        return available;
    }
    bool waitForNextPass(const std::vector<std::uintptr_t>& events) override {
        std::string text = "pacer wait";
        for (std::uintptr_t e : events) text += " " + std::to_string(e);
        log_.push_back(text);
        ++waits;
        clock_.now += tickMs_;  // each wait lasts a tick
        // Each wait ends as the next of wakes says (true: a message), then on a message.
        const bool message = wakes.empty() || wakes.front();
        if (!wakes.empty()) wakes.erase(wakes.begin());
        return message;
    }
    void end() override { log_.push_back("pacer end"); }
    bool available = true;
    int waits = 0;
    std::vector<bool> wakes;

private:
    EventLog& log_;
    FakeClock& clock_;
    unsigned tickMs_ = 1;
};

class FakeSteadyClock final : public SteadyClock {
public:
    std::uint64_t nowMs() override { return now; }
    std::uint64_t now = 5000;
};

class FakeLocale final : public UserLocale {
public:
    char decimalSeparator() override { return separator; }
    char separator = '.';
};

class FakeMainWindow final : public MainWindowView {
public:
    explicit FakeMainWindow(EventLog& log) : log_(log) {}
    void setLabelText(MainWindowLabel label, const std::string& text) override;
    std::string labelText(MainWindowLabel label) override { return labels[label]; }
    void setMinimised() override;
    void setNormal() override;
    bool isMinimised() override { return minimised; }
    void show() override;
    void hide() override;
    void bringToForeground() override { log_.push_back("foreground"); }
    void openPopupMenu() override { log_.push_back("popup menu"); }
    void addTrayIcon() override;
    void removeTrayIcon() override;
    void stripSystemMenu() override { log_.push_back("strip system menu"); }
    void armStartTimer(unsigned milliseconds) override { log_.push_back("arm timer " + std::to_string(milliseconds)); }
    void disarmStartTimer() override { log_.push_back("disarm timer"); }
    void showConfigurationWindow() override { log_.push_back("configuration window"); }

    std::map<MainWindowLabel, std::string> labels;
    bool minimised = false;
    bool visible = false;
    bool trayIcon = false;

private:
    EventLog& log_;
};

// A temporary program folder with memcfg\ and joycfg\, removed at the end.
class TempProgramFolder {
public:
    TempProgramFolder();
    ~TempProgramFolder();
    TempProgramFolder(const TempProgramFolder&) = delete;
    TempProgramFolder& operator=(const TempProgramFolder&) = delete;
    // The folder as the program writes it: backslash paths are joined to it.
    const std::string& path() const { return path_; }
    // Writes a file under the folder; relative is written with backslashes, like "memcfg\\demo.ini".
    void writeFile(const std::string& relative, const std::string& content) const;
    std::string readFile(const std::string& relative) const;

private:
    std::filesystem::path root_;
    std::string path_;
};

// Everything a core test needs: the fakes, a program folder and the engine over them.
struct FakeSystem {
    FakeSystem();

    EventLog log;
    TempProgramFolder folder;
    PortableIniFiles ini;
    FakeFileSystem files{log};
    FakeWindowSystem windows{log};
    FakeProgramLauncher launcher{log};
    FakeClock clock{log};
    FakeMessagePump messages{log};
    FakeProcessExit process{log};
    FakeProcessMemory memory{log};
    FakeModuleList modules{log};
    FakeProcessThreads threads{log};
    FakeMainWindow mainWindow{log};
    FakeMessageBoxes messageBoxes{log};
    FakeKeyboard keyboard{log};
    FakeRawInput rawInput{log};
    FakeJoysticks joysticks{log};
    FakeSyntheticInput input{log};
    FakeDde dde{log};
    FakeOutputLink outputs{dde, log};
    FakeLocale locale;
    FakeRunLocks runLocks;
    FakeNumericOutputs numericOutputs{log};
    FakePacer pacer{log, clock};
    FakeFeedbackPorts feedbackPorts;
    Platform os{ini,        files,        windows,  launcher, clock,     messages, process, memory,  modules, threads,
                mainWindow, messageBoxes, keyboard, rawInput, joysticks, input,    locale,  outputs, runLocks,
                numericOutputs, pacer, feedbackPorts};
    Engine engine{os, {}};

    // Runs f and returns the exit code the process ended with; fails the test if it did not end.
    std::optional<int> exitCodeOf(const std::function<void()>& f);
    // The events that start with prefix, in order.
    std::vector<std::string> eventsStartingWith(const std::string& prefix) const;
    // Index of the first event equal to e, or -1.
    int indexOf(const std::string& e) const;
    // Hooks the engine to a fake game process of that id, as the hook run does.
    FakeGameProcess& hookProcess(std::uint32_t processId = 4242);
};

}  // namespace vt2::test
