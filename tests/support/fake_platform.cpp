#include "support/fake_platform.h"

#include <atomic>
#include <fstream>
#include <random>
#include <sstream>

#include "common/text.h"
#include "adapters/portable/native_path.h"

namespace vt2::test {

void FakeMessagePump::pumpPendingMessages() {
    ++pumps_;
    log_.push_back("pump");
    if (onPump) onPump(pumps_);
    std::deque<std::function<void()>> now;
    now.swap(pending_);
    for (auto& message : now) message();
}

FakeWindowSystem::Window* FakeWindowSystem::lookUp(WindowHandle handle) {
    if (handle == 0 || handle > windows_.size()) return nullptr;
    Window& w = windows_[handle - 1];
    return w.exists ? &w : nullptr;
}

WindowHandle FakeWindowSystem::findWindow(const std::string& windowClass, const std::optional<std::string>& caption) {
    ++findCalls_;
    log_.push_back("find " + windowClass + (caption ? "|" + *caption : std::string("|<any>")));
    for (std::size_t i = 0; i < windows_.size(); ++i) {
        const Window& w = windows_[i];
        if (w.exists && (windowClass.empty() || w.windowClass == windowClass) && (!caption || w.caption == *caption)) {
            return i + 1;
        }
    }
    return 0;
}

WindowHandle FakeWindowSystem::findWindowOfProcess(std::uint32_t processId, const std::string& windowClass,
                                                   const std::optional<std::string>& caption) {
    log_.push_back("find in process " + std::to_string(processId) + " " + windowClass +
                   (caption ? "|" + *caption : std::string("|<any>")));
    for (std::size_t i = 0; i < windows_.size(); ++i) {
        const Window& w = windows_[i];
        if (w.exists && w.processId == processId && (windowClass.empty() || w.windowClass == windowClass) &&
            (!caption || w.caption == *caption)) {
            return i + 1;
        }
    }
    return 0;
}

std::string FakeWindowSystem::windowText(WindowHandle handle, std::size_t bufferChars) {
    log_.push_back("caption");
    const Window* w = lookUp(handle);
    if (!w || bufferChars == 0) return {};
    return w->caption.substr(0, bufferChars - 1);
}

std::uint32_t FakeWindowSystem::windowProcessId(WindowHandle handle) {
    const Window* w = lookUp(handle);
    return w ? w->processId : 0;
}

std::uint32_t FakeWindowSystem::windowStyle(WindowHandle handle) {
    const Window* w = lookUp(handle);
    return w ? w->style : 0;
}

void FakeWindowSystem::setWindowStyle(WindowHandle handle, std::uint32_t style) {
    std::ostringstream text;
    text << "set style " << std::hex << style;
    log_.push_back(text.str());
    if (Window* w = lookUp(handle)) w->style = style;
}

void FakeWindowSystem::moveToTopLeftWithNewFrame(WindowHandle handle) {
    log_.push_back("move to top left " + std::to_string(handle));
}

std::optional<PixelRect> FakeWindowSystem::clientAreaOnDesktop(WindowHandle handle) {
    ++clientAreaReads;
    const Window* w = lookUp(handle);
    if (w == nullptr) return std::nullopt;
    return w->client;
}

PixelRect FakeWindowSystem::monitorOf(WindowHandle handle) {
    const Window* w = lookUp(handle);
    if (w == nullptr) return monitors.front();
    for (const PixelRect& m : monitors) {
        if (w->client.left >= m.left && w->client.left < m.right && w->client.top >= m.top && w->client.top < m.bottom) return m;
    }
    return monitors.front();
}

void FakeWindowSystem::postQuit(WindowHandle window) { log_.push_back("post quit " + std::to_string(window)); }

bool FakeProgramLauncher::startProgram(const std::string& folder, const std::string& program,
                                       const std::string& arguments, WindowShowState state) {
    log_.push_back("start " + folder + "|" + program + (arguments.empty() ? "" : "|" + arguments));
    lastState = state;
    return true;
}

namespace {

class FakeOpenProcess final : public OpenProcessMemory {
public:
    explicit FakeOpenProcess(FakeGameProcess& process) : process_(process) {}
    bool read(std::uint64_t address, void* buffer, std::size_t length) override {
        auto* out = static_cast<std::uint8_t*>(buffer);
        for (std::size_t i = 0; i < length; ++i) {
            const auto it = process_.bytes.find(address + i);
            if (it == process_.bytes.end()) return false;
            out[i] = it->second;
        }
        return true;
    }
    bool write(std::uint64_t address, const void* buffer, std::size_t length) override {
        for (std::size_t i = 0; i < length; ++i) {
            if (!process_.bytes.count(address + i)) return false;
        }
        const auto* in = static_cast<const std::uint8_t*>(buffer);
        for (std::size_t i = 0; i < length; ++i) process_.bytes[address + i] = in[i];
        process_.writes.emplace_back(address, std::vector<std::uint8_t>(in, in + length));
        return true;
    }

    MemoryAccess accessAt(std::uint64_t address) override {
        if (!process_.bytes.count(address)) return MemoryAccess::Unmapped;
        return process_.readOnly.count(address) ? MemoryAccess::ReadOnly : MemoryAccess::Writable;
    }
    std::vector<WritableRegion> writableRegions() override {
        std::vector<WritableRegion> regions;
        for (const auto& [address, byte] : process_.bytes) {
            if (process_.readOnly.count(address)) continue;
            if (!regions.empty() && regions.back().start + regions.back().size == address) {
                ++regions.back().size;
            } else {
                regions.push_back({address, 1});
            }
        }
        return regions;
    }
    bool hasEnded() override { return process_.ended; }
    bool is64Bit() override { return process_.is64Bit; }
    bool reachable() override { return process_.reachable; }

private:
    FakeGameProcess& process_;
};

}  // namespace

class FakeRunLocks::Lock final : public RunLock {
public:
    Lock(std::set<std::string>& held, std::string name) : held_(held), name_(std::move(name)) { held_.insert(name_); }
    ~Lock() override { held_.erase(name_); }

private:
    std::set<std::string>& held_;
    std::string name_;
};

std::unique_ptr<RunLock> FakeRunLocks::lock(const std::string& name) {
    const std::string lower = ToLowerAscii(name);
    if (heldElsewhere.count(lower) || held.count(lower)) return nullptr;
    return std::make_unique<Lock>(held, lower);
}

namespace {
class FakePausedThreads final : public PausedThreads {
public:
    FakePausedThreads(EventLog& log, std::function<void()> onChange, std::uint32_t processId)
        : log_(log), onChange_(std::move(onChange)), processId_(processId) {}
    ~FakePausedThreads() override {
        log_.push_back("resume threads " + std::to_string(processId_));
        if (onChange_) onChange_();
    }

private:
    EventLog& log_;
    std::function<void()> onChange_;
    std::uint32_t processId_;
};
}  // namespace

std::unique_ptr<PausedThreads> FakeProcessThreads::pause(std::uint32_t processId) {
    if (!canPause) return nullptr;
    log_.push_back("pause threads " + std::to_string(processId));
    if (onChange) onChange();
    return std::make_unique<FakePausedThreads>(log_, onChange, processId);
}

std::unique_ptr<OpenProcessMemory> FakeProcessMemory::openProcess(std::uint32_t processId) {
    log_.push_back("open process " + std::to_string(processId));
    const auto it = processes.find(processId);
    if (it == processes.end()) return nullptr;
    return std::make_unique<FakeOpenProcess>(it->second);
}

namespace {
const char* LabelName(MainWindowLabel label) {
    switch (label) {
        case MainWindowLabel::Status: return "status";
        case MainWindowLabel::Player1: return "player1";
        case MainWindowLabel::Player2: return "player2";
        case MainWindowLabel::Outputs: return "outputs";
        case MainWindowLabel::Notes: return "notes";
    }
    return "?";
}
}  // namespace

void FakeMainWindow::setLabelText(MainWindowLabel label, const std::string& text) {
    labels[label] = text;
    // The debug labels are logged by name only; their texts are in labels.
    if (label == MainWindowLabel::Status) {
        log_.push_back(std::string("label ") + LabelName(label) + "=" + text);
    } else {
        log_.push_back(std::string("label ") + LabelName(label));
    }
}

void FakeMainWindow::setMinimised() {
    log_.push_back("minimise");
    minimised = true;
    visible = false;  // a minimised main window hides itself
}

void FakeMainWindow::setNormal() {
    log_.push_back("normal");
    minimised = false;
}

void FakeMainWindow::show() {
    log_.push_back("show");
    visible = true;
}

void FakeMainWindow::hide() {
    log_.push_back("hide");
    visible = false;
}

void FakeMainWindow::addTrayIcon() {
    log_.push_back("tray add");
    trayIcon = true;
}

void FakeMainWindow::removeTrayIcon() {
    log_.push_back("tray remove");
    trayIcon = false;
}

TempProgramFolder::TempProgramFolder() {
    static std::atomic<int> counter{0};
    static const unsigned run = std::random_device{}();
    root_ = std::filesystem::temp_directory_path() /
            ("vt2-test-" + std::to_string(run) + "-" + std::to_string(counter++));
    std::filesystem::remove_all(root_);
    std::filesystem::create_directories(root_ / "memcfg");
    std::filesystem::create_directories(root_ / "joycfg");
    path_ = root_.string();
}

TempProgramFolder::~TempProgramFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
}

void TempProgramFolder::writeFile(const std::string& relative, const std::string& content) const {
    const auto full = NativePath(path_ + "\\" + relative);
    std::filesystem::create_directories(full.parent_path());
    std::ofstream out(full, std::ios::binary | std::ios::trunc);
    out << content;
}

std::string TempProgramFolder::readFile(const std::string& relative) const {
    std::ifstream in(NativePath(path_ + "\\" + relative), std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

FakeSystem::FakeSystem() { engine.state.programFolder = folder.path(); }

std::optional<int> FakeSystem::exitCodeOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const ProcessEnded& ended) {
        return ended.exitCode;
    }
    return std::nullopt;
}

std::vector<std::string> FakeSystem::eventsStartingWith(const std::string& prefix) const {
    std::vector<std::string> found;
    for (const auto& e : log) {
        if (e.rfind(prefix, 0) == 0) found.push_back(e);
    }
    return found;
}

FakeGameProcess& FakeSystem::hookProcess(std::uint32_t processId) {
    FakeGameProcess& game = memory.processes[processId];
    engine.state.memory = std::make_unique<MemoryManager>(memory);
    engine.state.memory->PID(static_cast<std::int32_t>(processId));
    return game;
}

int FakeSystem::indexOf(const std::string& e) const {
    for (std::size_t i = 0; i < log.size(); ++i) {
        if (log[i] == e) return static_cast<int>(i);
    }
    return -1;
}

}  // namespace vt2::test
