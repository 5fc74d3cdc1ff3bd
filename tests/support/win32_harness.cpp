#include "support/win32_harness.h"

#include <winsock2.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "common/numbers.h"
#include "adapters/win32/main_window_ids.h"
#include "adapters/win32/unique_handle.h"
#include "support/test_paths.h"

namespace vt2::test {

bool WaitUntil(const std::function<bool()>& condition, int timeoutMs) {
    const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(timeoutMs);
    for (;;) {
        if (condition()) return true;
        if (GetTickCount64() >= deadline) return false;
        Sleep(20);
    }
}

ChildProcess ChildProcess::Start(const std::string& program, const std::string& arguments, const std::string& folder,
                                 WORD showWindow) {
    std::string commandLine = "\"" + program + "\"";
    if (!arguments.empty()) commandLine += " " + arguments;
    std::vector<char> buffer(commandLine.begin(), commandLine.end());
    buffer.push_back('\0');
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = showWindow;
    PROCESS_INFORMATION started{};
    ChildProcess child;
    // Now and then (about once in a few thousand starts, under load) a Wine process dies while it
    // loads its first libraries, and CreateProcess says ERROR_INTERNAL_ERROR: that start is tried
    // again, any other failure is the test's.
    for (int attempt = 1;; ++attempt) {
        std::vector<char> line = buffer;  // CreateProcess may write into it
        if (CreateProcessA(program.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                           folder.empty() ? nullptr : folder.c_str(), &startup, &started)) {
            break;
        }
        const DWORD error = GetLastError();
        std::fprintf(stderr, "cannot start %s (error %lu, attempt %d)\n", program.c_str(), error, attempt);
        if (error != ERROR_INTERNAL_ERROR || attempt == 3) return child;
        Sleep(100 * attempt);
    }
    CloseHandle(started.hThread);
    child.process_.reset(started.hProcess);
    child.id_ = started.dwProcessId;
    return child;
}

ChildProcess ChildProcess::Adopt(DWORD processId) {
    ChildProcess child;
    child.process_.reset(OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE | PROCESS_QUERY_INFORMATION | PROCESS_VM_READ,
                                     FALSE, processId));
    if (child.process_) child.id_ = processId;
    return child;
}

ChildProcess::~ChildProcess() { terminate(); }

bool ChildProcess::running() const {
    return process_ && WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT;
}

std::optional<DWORD> ChildProcess::waitForExit(int timeoutMs) const {
    if (!process_) return std::nullopt;
    if (WaitForSingleObject(process_.get(), static_cast<DWORD>(timeoutMs)) != WAIT_OBJECT_0) return std::nullopt;
    DWORD code = 0;
    GetExitCodeProcess(process_.get(), &code);
    return code;
}

void ChildProcess::terminate() {
    if (running()) {
        TerminateProcess(process_.get(), 99);
        WaitForSingleObject(process_.get(), 5000);
    }
}

namespace {

std::string TempFolderName() {
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    return std::string(temp) + "vt2-e2e-" + std::to_string(GetCurrentProcessId()) + "-" +
           std::to_string(std::random_device{}());
}

void CopyOrFail(const std::string& from, const std::string& to) {
    if (!CopyFileA(from.c_str(), to.c_str(), FALSE)) {
        std::fprintf(stderr, "cannot copy %s to %s (error %lu)\n", from.c_str(), to.c_str(), GetLastError());
    }
}

}  // namespace

TempInstall::TempInstall(TempContents contents) : path_(TempFolderName()) {
    CreateDirectoryA(path_.c_str(), nullptr);
    if (contents == TempContents::Nothing) return;
    if (contents == TempContents::UnzippedPackage) {
        std::error_code error;
        std::filesystem::copy(std::filesystem::path(kUnzippedPackageFolder), std::filesystem::path(path_),
                              std::filesystem::copy_options::recursive, error);
        if (error) ADD_FAILURE() << "cannot copy the package " << kUnzippedPackageFolder << ": " << error.message();
        return;
    }
    for (const char* sub : {"", "\\memcfg", "\\joycfg", "\\demo", "\\docs"}) CreateDirectoryA((path_ + sub).c_str(), nullptr);
    const std::string dist = kDistFolder;
    CopyOrFail(dist + "\\VT2.exe", file("VT2.exe"));
    CopyOrFail(dist + "\\demo\\VT2DemoGame.exe", file("demo\\VT2DemoGame.exe"));
    CopyOrFail(dist + "\\memcfg\\demo.ini", file("memcfg\\demo.ini"));
    CopyOrFail(dist + "\\joycfg\\default.ini", file("joycfg\\default.ini"));
    // The suite runs its hook, playing and outputs tests once more with the busy loop.
    char loop[16] = {};
    if (GetEnvironmentVariableA("VT2_TEST_LOOP", loop, sizeof loop) > 0 && std::strcmp(loop, "busy") == 0) {
        setIni("vt2.ini", "Loop", "Busy", "1");
    }
}

TempInstall::~TempInstall() {
    std::error_code ignored;
    std::filesystem::remove_all(std::filesystem::path(path_), ignored);
}

void TempInstall::writeFile(const std::string& relative, const std::string& content) const {
    std::error_code ignored;
    std::filesystem::create_directories(std::filesystem::path(file(relative)).parent_path(), ignored);
    std::ofstream out(file(relative), std::ios::binary | std::ios::trunc);
    out << content;
}

void TempInstall::addModel2SetupFiles() const {
    std::error_code error;
    std::filesystem::copy(std::filesystem::path(std::string(kDistFolder) + "\\m2setupfiles"),
                          std::filesystem::path(file("m2setupfiles")), std::filesystem::copy_options::recursive, error);
    if (error) ADD_FAILURE() << "cannot copy the Model 2 setup files: " << error.message();
}

void TempInstall::removeFile(const std::string& relative) const { DeleteFileA(file(relative).c_str()); }

namespace {
// Wine's name on the Linux side of a Windows path that exists.
std::string UnixPathOf(const std::string& windowsPath) {
    using ToUnixName = char*(CDECL*)(const WCHAR*);
    const auto toUnix = reinterpret_cast<ToUnixName>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    std::wstring wide(windowsPath.begin(), windowsPath.end());
    char* unixPath = toUnix ? toUnix(wide.c_str()) : nullptr;
    if (!unixPath) return {};
    std::string path(unixPath);
    HeapFree(GetProcessHeap(), 0, unixPath);
    return path;
}
}  // namespace

bool TempInstall::addLinuxBridge() const {
    CreateDirectoryA(file("linux").c_str(), nullptr);
    // Copied on the Linux side, which keeps it runnable (a copy made through Wine would not be).
    ChildProcess copy = ChildProcess::Start("Z:\\bin\\cp", "\"" + UnixPathOf(kLinuxBridge) + "\" \"" + UnixPathOf(file("linux")) + "/\"");
    copy.waitForExit();  // which under Wine may be before the native program's end
    return WaitUntil([&] { return GetFileAttributesA(file("linux\\vt2bridge").c_str()) != INVALID_FILE_ATTRIBUTES; });
}

void TempInstall::setIni(const std::string& relative, const std::string& section, const std::string& key,
                         const std::string& value) const {
    WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), file(relative).c_str());
}

ChildProcess TempInstall::startVt2(const std::string& arguments) const {
    return ChildProcess::Start(file("VT2.exe"), arguments, path_);
}

ChildProcess TempInstall::startDemoGame(const std::string& arguments) const {
    return startDemoGame(kDemoGame, arguments);
}

ChildProcess TempInstall::startDemoGame(const DemoGame& game, const std::string& arguments) const {
    return ChildProcess::Start(file(std::string("demo\\") + game.program), arguments, path_ + "\\demo");
}

void TempInstall::installDemoGame(const DemoGame& game) const {
    if (*game.installedFrom == '\0') return;
    CopyOrFail(game.installedFrom, file(std::string("demo\\") + game.program));
    CopyOrFail(game.descriptorInstalledFrom, file(game.descriptor()));
}

const DemoGame kDemoGame{"demo", "demo", "VT2DemoGame.exe", "VT2 Demo Game", kDemoLayoutFile};
const DemoGame kDemoGame64{"demo64",          "demo64",        "VT2DemoGame64.exe", "VT2 Demo Game (64-bit)",
                           kDemo64LayoutFile, kDemo64Program, kDemo64Descriptor};
const DemoGame kDemoGame32{"demo32bit", "demo", "VT2DemoGame.exe", "VT2 Demo Game", kDemo32LayoutFile,
                           kDemo32Program, kDemo32Descriptor};

std::vector<DemoGame> DemoGames() {
    std::vector<DemoGame> games{kDemoGame};
    if (*kDemo64LayoutFile != '\0') games.push_back(kDemoGame64);
    if (*kDemo32Program != '\0') games.push_back(kDemoGame32);
    return games;
}

bool CanRun(const DemoGame& game) {
    if (*game.installedFrom == '\0') return true;
    // Started and ended again once its window is up. Wine without its 32-bit half refuses it, or,
    // where the kernel runs 32-bit programs but no 32-bit loader is installed, takes it and then
    // never runs it: only a window of its own tells.
    std::string commandLine = std::string("\"") + game.installedFrom + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWMINNOACTIVE;
    PROCESS_INFORMATION started{};
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &started))
        return false;
    const bool runs = WaitUntil(
        [&] {
            return FindTopWindowOf(started.dwProcessId, "VT2DemoGame") != nullptr ||
                   WaitForSingleObject(started.hProcess, 0) == WAIT_OBJECT_0;
        },
        15000) && FindTopWindowOf(started.dwProcessId, "VT2DemoGame") != nullptr;
    TerminateProcess(started.hProcess, 0);
    WaitForSingleObject(started.hProcess, 5000);
    CloseHandle(started.hThread);
    CloseHandle(started.hProcess);
    return runs;
}

std::string DemoGameName(const ::testing::TestParamInfo<DemoGame>& info) { return info.param.label; }

namespace {
struct WindowSearch {
    DWORD processId;
    const char* windowClass;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM parameter) {
    auto* search = reinterpret_cast<WindowSearch*>(parameter);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    char className[128] = {};
    GetClassNameA(window, className, sizeof className);
    if (owner == search->processId && std::strcmp(className, search->windowClass) == 0) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}
}  // namespace

HWND FindTopWindowOf(DWORD processId, const char* windowClass) {
    WindowSearch search{processId, windowClass, nullptr};
    EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND FindMainWindowOf(DWORD processId) { return FindTopWindowOf(processId, win32::kMainWindowClass); }

std::string WindowText(HWND window) {
    char text[1024] = {};
    const int length = GetWindowTextA(window, text, sizeof text);
    return std::string(text, length > 0 ? static_cast<std::size_t>(length) : 0);
}

std::string LabelText(HWND mainWindow, int controlId) { return WindowText(GetDlgItem(mainWindow, controlId)); }

bool WaitForStatus(const ChildProcess& vt2, const std::string& text, int timeoutMs) {
    return WaitUntil(
        [&] {
            const HWND main = FindMainWindowOf(vt2.id());
            return main && LabelText(main, win32::kIdStatusLabel) == text;
        },
        timeoutMs);
}

ChildProcess StartOutputServer(const std::string& logFile, const std::string& options) {
    DeleteFileA(logFile.c_str());
    ChildProcess server = ChildProcess::Start(std::string(kDistFolder) + "\\VT2OutputServer.exe",
                                              "--quiet --log \"" + logFile + "\"" + (options.empty() ? "" : " " + options));
    WaitUntil([&] { return GetFileAttributesA(logFile.c_str()) != INVALID_FILE_ATTRIBUTES; });
    return server;
}

std::vector<std::string> ReadLines(const std::string& file) {
    std::vector<std::string> lines;
    std::ifstream in(file);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

bool Inject(const std::string& arguments) {
    ChildProcess injector = ChildProcess::Start(std::string(kFixturesFolder) + "\\vt2inject.exe", arguments);
    return injector.waitForExit() == 0u;
}

bool ParkPointerAwayFromWindows() {
    const int x = GetSystemMetrics(SM_CXSCREEN) - 180;
    const int y = GetSystemMetrics(SM_CYSCREEN) - 120;
    SetCursorPos(x, y);
    return WaitUntil([&] {
        POINT at{};
        return GetCursorPos(&at) && at.x == x && at.y == y;
    });
}

namespace {
BOOL CALLBACK CountTrayIcons(HWND window, LPARAM parameter) {
    char className[128] = {};
    GetClassNameA(window, className, sizeof className);
    if (std::strcmp(className, "__winex11_tray_icon") == 0) ++*reinterpret_cast<int*>(parameter);
    return TRUE;
}
BOOL CALLBACK CountInTrays(HWND window, LPARAM parameter) {
    char className[128] = {};
    GetClassNameA(window, className, sizeof className);
    if (std::strcmp(className, "__winex11_standalone_tray") == 0) EnumChildWindows(window, CountTrayIcons, parameter);
    return TRUE;
}
}  // namespace

int TrayIconCount() {
    int count = 0;
    EnumWindows(CountInTrays, reinterpret_cast<LPARAM>(&count));
    return count;
}

DemoLayout::DemoLayout(const DemoGame& game) {
    std::ifstream in(game.layoutFile);
    std::string line;
    bool inAddresses = false;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty() && line[0] == '[') {
            inAddresses = line == "[Addresses]";
            continue;
        }
        const auto eq = line.find('=');
        if (!inAddresses || eq == std::string::npos) continue;
        if (const auto value = ToAddress(line.substr(eq + 1), AddressWidth::Bits64)) {
            addresses_[line.substr(0, eq)] = *value;
        }
    }
}

std::uint64_t DemoLayout::address(const std::string& variable) const {
    const auto it = addresses_.find(variable);
    return it == addresses_.end() ? 0 : it->second;
}

PtyGun::PtyGun(int com, bool stamps) { start("\\\"$WINEPREFIX/dosdevices/com" + std::to_string(com) + "\\\"", stamps); }

PtyGun::PtyGun(const std::string& linuxLink) { start("'" + linuxLink + "'", false); }

void PtyGun::start(const std::string& linkForTheShell, bool stamps) {
    static int made = 0;
    logOnLinux_ = "/tmp/vt2-gun-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++made) + ".log";
    logOnWindows_ = "Z:" + logOnLinux_;
    for (char& c : logOnWindows_) {
        if (c == '/') c = '\\';
    }
    helper_ = ChildProcess::Start("Z:\\bin\\sh", "-c \"exec python3 '" + std::string(kGunPtyScriptOnLinux) + "' " + linkForTheShell + " '" +
                                                     logOnLinux_ + "' 600" + (stamps ? " stamps" : "") + "\"");
    ready_ = WaitUntil([&] { return GetFileAttributesA(logOnWindows_.c_str()) != INVALID_FILE_ATTRIBUTES; });
}

PtyGun::~PtyGun() {
    unplug();
    DeleteFileA(logOnWindows_.c_str());
}

std::string PtyGun::received() const {
    std::ifstream in(logOnWindows_, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void PtyGun::unplug() {
    if (!ready_) return;
    ChildProcess::Start("Z:\\bin\\sh", "-c \"pkill -f '" + logOnLinux_ + "'\"").waitForExit();
    helper_.waitForExit(5000);
    ready_ = false;
}

RecordedBridge::RecordedBridge(int port, const std::string& arguments) : port_(port) {
    WSADATA data{};
    WSAStartup(MAKEWORD(2, 2), &data);
    bridge_ = ChildProcess::Start(kLinuxBridge, "--exit-with-client --port " + std::to_string(port) + " --replay " + arguments);
    WaitUntil([&] { return connect(); });
}

RecordedBridge::~RecordedBridge() {
    if (listening()) closesocket(static_cast<SOCKET>(probe_));
    WSACleanup();
}

bool RecordedBridge::stop() {
    if (listening()) closesocket(static_cast<SOCKET>(probe_));
    probe_ = ~std::uintptr_t{0};
    // A native program under Wine ends by a signal of the Linux side: pkill, itself started by Wine
    // through a shell (pkill started by a Windows path takes itself for pgrep).
    const std::string pattern = "vt2bridge --exit-with-client --port " + std::to_string(port_) + " ";
    ChildProcess kill = ChildProcess::Start("Z:\\bin\\sh", "-c \"pkill -f '" + pattern + "'\"");
    kill.waitForExit();
    return WaitUntil([&] {
        if (!connect()) return true;
        closesocket(static_cast<SOCKET>(probe_));
        probe_ = ~std::uintptr_t{0};
        return false;
    });
}

bool RecordedBridge::connect() {
    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<u_short>(port_));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(s, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        closesocket(s);
        return false;
    }
    probe_ = static_cast<std::uintptr_t>(s);
    return true;
}

std::uint64_t ReadGamePointer(const ChildProcess& game, std::uint64_t address) {
    BOOL wow64 = FALSE;
    IsWow64Process(game.handle(), &wow64);
    if (sizeof(void*) == 4 || wow64) return ReadGameValue<std::uint32_t>(game, address);
    return ReadGameValue<std::uint64_t>(game, address);
}

std::string FileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

std::string OutputOfVt2(const TempInstall& install, const std::string& arguments, int timeoutMs) {
    const std::string output = install.file("output.txt");
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    const win32::unique_file_handle file(CreateFileA(output.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                                                     CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    std::string commandLine = "\"" + install.file("VT2.exe") + "\" " + arguments;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = file.get();
    startup.hStdError = file.get();
    PROCESS_INFORMATION started{};
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, install.path().c_str(),
                        &startup, &started))
        return "(not started)";
    const win32::unique_kernel_handle process(started.hProcess);
    const win32::unique_kernel_handle thread(started.hThread);
    if (WaitForSingleObject(process.get(), static_cast<DWORD>(timeoutMs)) != WAIT_OBJECT_0) {
        TerminateProcess(process.get(), 1);
        return "(did not end)";
    }
    DWORD code = 1;
    GetExitCodeProcess(process.get(), &code);
    const auto lines = ReadLines(output);
    std::string text = "exit " + std::to_string(code);
    for (const std::string& line : lines) text += "|" + line;
    return text;
}

}  // namespace vt2::test
