#include "adapters/win32/win32_feedback_ports.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <chrono>
#include <utility>

#include "adapters/win32/system_error_text.h"
#include "adapters/win32/win32_bridge_link.h"
#include "adapters/win32/win32_bridge_serial.h"
#include "adapters/win32/win32_serial_port_list.h"
#include "outputs/serial_settings.h"

namespace vt2::win32 {

namespace {

constexpr unsigned kReopenAfterMs = 1000;  // a gun gone is looked for again at most this often
constexpr DWORD kWriteTimeoutMs = 200;     // a gun that takes nothing holds the thread no longer
constexpr unsigned kConnectTimeoutMs = 1000;
constexpr unsigned kBridgeAnswerMs = 500;  // the bridge's word on a port it was asked to open
constexpr unsigned kRestartWaitMs = 500;   // how long a gun back waits for the start's writes

std::uint64_t NowMs() { return GetTickCount64(); }

}  // namespace

struct Win32FeedbackPorts::Port {
    bool recoilServer = false;
    int number = 0;
    std::string target;  // a recoil server's host:port
    std::optional<GunPortName> stableName;  // COM N as vt2.ini names it
    bool viaBridge = false;                 // opened by the Linux bridge, which said so
    SerialSettings settings;
    HANDLE serial = INVALID_HANDLE_VALUE;
    SOCKET socket = INVALID_SOCKET;
    std::string lastSent;
    std::string problem;
    bool told = false;  // the problem was said
    std::uint64_t lastTryMs = 0;
    bool tried = false;
    bool openNow = false;  // for status(), which another thread asks: set under the lock

    bool open() const { return recoilServer ? socket != INVALID_SOCKET : viaBridge || serial != INVALID_HANDLE_VALUE; }
    std::string name() const {
        if (recoilServer) return "recoil server " + std::to_string(number) + " (" + (target.empty() ? "not set in vt2.ini" : target) + ")";
        const std::string named = stableName ? " = " + GunPortNameText(*stableName) : std::string();
        return "COM" + std::to_string(number) + named + " (" + std::to_string(settings.baud) + " baud" +
               (viaBridge ? ", by the Linux bridge)" : ")");
    }
    // A port the bridge holds is closed by a word to the bridge; viaBridge is set under the lock.
    void close() {
        if (serial != INVALID_HANDLE_VALUE) CloseHandle(serial);
        serial = INVALID_HANDLE_VALUE;
        if (socket != INVALID_SOCKET) closesocket(socket);
        socket = INVALID_SOCKET;
    }
    ~Port() { close(); }
};

namespace {

bool ApplySettings(HANDLE serial, const SerialSettings& s) {
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    if (!GetCommState(serial, &dcb)) return false;
    dcb.BaudRate = s.baud;
    dcb.ByteSize = static_cast<BYTE>(s.dataBits);
    dcb.Parity = s.parity == 'E' ? EVENPARITY : s.parity == 'O' ? ODDPARITY : s.parity == 'M' ? MARKPARITY : s.parity == 'S' ? SPACEPARITY : NOPARITY;
    dcb.StopBits = s.stopBits == 2 ? TWOSTOPBITS : ONESTOPBIT;
    dcb.fBinary = TRUE;
    dcb.fDtrControl = DTR_CONTROL_ENABLE;  // the guns listen only with DTR on
    dcb.fRtsControl = RTS_CONTROL_ENABLE;
    dcb.fOutxCtsFlow = FALSE;
    dcb.fOutxDsrFlow = FALSE;
    dcb.fOutX = FALSE;
    dcb.fInX = FALSE;
    return SetCommState(serial, &dcb) != 0;
}

// A recoil server's socket, connected within the timeout; INVALID_SOCKET and why otherwise.
SOCKET ConnectTo(const std::string& target, std::string& problem) {
    const std::size_t colon = target.rfind(':');
    if (target.empty() || colon == std::string::npos) {
        problem = "no host:port for it in vt2.ini [Feedback]";
        return INVALID_SOCKET;
    }
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (getaddrinfo(target.substr(0, colon).c_str(), target.substr(colon + 1).c_str(), &hints, &found) != 0 || !found) {
        problem = target + " is no host and port";
        return INVALID_SOCKET;
    }
    SOCKET s = socket(found->ai_family, found->ai_socktype, found->ai_protocol);
    u_long nonBlocking = 1;
    ioctlsocket(s, FIONBIO, &nonBlocking);
    connect(s, found->ai_addr, static_cast<int>(found->ai_addrlen));
    freeaddrinfo(found);
    fd_set writable, failed;
    FD_ZERO(&writable);
    FD_ZERO(&failed);
    FD_SET(s, &writable);
    FD_SET(s, &failed);
    timeval wait{0, static_cast<long>(kConnectTimeoutMs) * 1000};
    if (select(0, nullptr, &writable, &failed, &wait) != 1 || !FD_ISSET(s, &writable)) {
        problem = "nothing answers at " + target;
        closesocket(s);
        return INVALID_SOCKET;
    }
    u_long blocking = 0;
    ioctlsocket(s, FIONBIO, &blocking);
    const DWORD timeout = kWriteTimeoutMs;
    setsockopt(s, SOL_SOCKET, SO_SNDTIMEO, reinterpret_cast<const char*>(&timeout), sizeof timeout);
    const BOOL noDelay = TRUE;  // one short command a message, at once
    setsockopt(s, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&noDelay), sizeof noDelay);
    return s;
}

// Where a port named by vt2.ini is now: a Linux path through Wine's view of the Linux files, or
// the COM port the USB gun of that id has now; false and why when it is not there.
bool SerialPathOf(const GunPortName& name, std::string& path, std::string& problem) {
    if (!name.linuxPath.empty()) {
        if (!RunsUnderWine()) {
            problem = name.linuxPath + " is a Linux path, for VT2 under Wine";
            return false;
        }
        path = "\\\\?\\unix" + name.linuxPath;
        for (char& c : path) {
            if (c == '/') c = '\\';
        }
        return true;
    }
    const auto com = FindUsbSerialPort(name.usb, ListSerialPorts());
    if (!com) {
        problem = "no serial port of " + GunPortNameText(name) + " is attached";
        return false;
    }
    path = "\\\\.\\COM" + std::to_string(*com);
    return true;
}

}  // namespace

Win32FeedbackPorts::Win32FeedbackPorts(std::map<int, std::string> recoilServers, std::map<int, GunPortName> names,
                                       std::vector<std::string> notes, int bridgePort)
    : recoilServers_(std::move(recoilServers)), names_(std::move(names)), bridgePort_(bridgePort), notes_(std::move(notes)) {}

Win32FeedbackPorts::~Win32FeedbackPorts() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    if (thread_.joinable()) thread_.join();
    ports_.clear();
    if (socketsStarted_) WSACleanup();
}

void Win32FeedbackPorts::send(const FeedbackWrite& write) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!thread_.joinable()) thread_ = std::thread([this] { run(); });
        if (!queue_.push(write)) notes_.push_back("too many commands waiting for the guns: the oldest recoil or lamp change was dropped");
    }
    changed_.notify_all();
}

void Win32FeedbackPorts::flush(unsigned maxWaitMs) {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait_for(lock, std::chrono::milliseconds(maxWaitMs), [this] { return queue_.empty() && !busy_; });
}

std::vector<FeedbackPortStatus> Win32FeedbackPorts::status() {
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<FeedbackPortStatus> all;
    for (const auto& [key, p] : ports_) all.push_back({p->name(), p->openNow, p->lastSent, p->problem});
    return all;
}

std::vector<std::string> Win32FeedbackPorts::takeNotes() {
    std::lock_guard<std::mutex> lock(mutex_);
    return std::exchange(notes_, {});
}

std::vector<FeedbackGun> Win32FeedbackPorts::takeReturnedGuns() {
    std::lock_guard<std::mutex> lock(mutex_);
    return std::exchange(returned_, {});
}

void Win32FeedbackPorts::run() {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        unsigned waitMs = 0;
        std::optional<FeedbackWrite> next = queue_.take(NowMs(), waitMs);
        if (!next) {
            if (stopping_) return;
            changed_.notify_all();  // a flush may be waiting for the queue to empty
            if (waitMs > 0) {
                changed_.wait_for(lock, std::chrono::milliseconds(waitMs));
            } else {
                changed_.wait(lock);
            }
            continue;
        }
        busy_ = true;
        lock.unlock();
        carryOut(*next);  // the port's own calls, without the lock: send() never waits for a gun
        lock.lock();
        busy_ = false;
    }
}

Win32FeedbackPorts::Port& Win32FeedbackPorts::port(const FeedbackWrite& write) {
    const bool server = write.kind == FeedbackWrite::Kind::TcpWrite;
    std::lock_guard<std::mutex> lock(mutex_);
    std::unique_ptr<Port>& p = ports_[{server, write.port}];
    if (!p) {
        p = std::make_unique<Port>();
        p->recoilServer = server;
        p->number = write.port;
        const auto target = recoilServers_.find(write.port);
        if (server && target != recoilServers_.end()) p->target = target->second;
        const auto name = names_.find(write.port);
        if (!server && name != names_.end()) p->stableName = name->second;
    }
    return *p;
}

bool Win32FeedbackPorts::openByTheBridge(Port& p, std::string& problem) {
    if (!p.stableName || p.stableName->linuxPath.empty() || bridgePort_ <= 0 || bridgeSilent_ || !RunsUnderWine()) return false;
    if (!bridge_) bridge_ = std::make_unique<BridgeSerialClient>(bridgePort_);
    std::string noBridge;
    if (!bridge_->ready(noBridge)) return false;
    const BridgeSerialOpen request{static_cast<std::uint8_t>(p.number), p.settings.baud, p.settings.parity,
                                   static_cast<std::uint8_t>(p.settings.dataBits), static_cast<std::uint8_t>(p.settings.stopBits),
                                   p.stableName->linuxPath};
    bridgeProblems_.erase(p.number);
    if (!bridge_->send(request)) return false;
    const std::uint64_t until = NowMs() + kBridgeAnswerMs;
    for (std::uint64_t now = NowMs(); now < until; now = NowMs()) {
        for (const BridgeSerialState& state : bridge_->takeStates(static_cast<unsigned>(until - now))) {
            if (state.port != p.number) {
                if (!state.open) bridgeProblems_[state.port] = state.problem;
                continue;
            }
            if (!state.open) {
                problem = state.problem;
                return false;
            }
            std::lock_guard<std::mutex> lock(mutex_);  // status() names the port by how it is open
            p.viaBridge = true;
            return true;
        }
    }
    // A bridge that says nothing of serial ports is older than they are: Wine opens the paths.
    bridgeSilent_ = true;
    std::lock_guard<std::mutex> lock(mutex_);
    notes_.push_back("the Linux bridge on port " + std::to_string(bridgePort_) +
                     " opens no serial port (an older bridge?): Wine opens the Linux paths of vt2.ini [Feedback]");
    return false;
}

bool Win32FeedbackPorts::writeByTheBridge(Port& p, const std::string& bytes, std::string& problem) {
    for (const BridgeSerialState& state : bridge_->takeStates(0)) {
        if (!state.open) bridgeProblems_[state.port] = state.problem;
    }
    if (const auto gone = bridgeProblems_.find(p.number); gone != bridgeProblems_.end()) {
        problem = gone->second;
        bridgeProblems_.erase(gone);
        return false;
    }
    // A message carries a short text: a longer command goes in pieces, in order.
    for (std::size_t at = 0; at < bytes.size(); at += kBridgeMaxText) {
        if (!bridge_->send(BridgeSerialWrite{static_cast<std::uint8_t>(p.number), bytes.substr(at, kBridgeMaxText)})) {
            problem = "went away with the Linux bridge";
            return false;
        }
    }
    return true;
}

void Win32FeedbackPorts::carryOut(const FeedbackWrite& write) {
    Port& p = port(write);
    std::string problem;
    auto fail = [&](const std::string& why) {
        p.close();
        std::lock_guard<std::mutex> lock(mutex_);
        p.openNow = false;
        p.viaBridge = false;
        const bool news = !p.told || p.problem != why;
        p.problem = why;
        p.told = true;
        if (news) notes_.push_back(p.name() + ": " + why + " (looked for again at the next command)");
    };
    auto reachable = [&]() {
        if (p.open()) return true;
        const std::uint64_t now = NowMs();
        if (p.tried && now < p.lastTryMs + kReopenAfterMs) return false;
        p.tried = true;
        p.lastTryMs = now;
        if (p.recoilServer) {
            if (!socketsStarted_) {
                WSADATA data;
                socketsStarted_ = WSAStartup(MAKEWORD(2, 2), &data) == 0;
            }
            p.socket = ConnectTo(p.target, problem);
            if (p.socket == INVALID_SOCKET) {
                fail(problem);
                return false;
            }
        } else if (openByTheBridge(p, problem)) {
            // taken below as any port opened
        } else if (!problem.empty()) {
            fail(problem);
            return false;
        } else {
            std::string path = "\\\\.\\COM" + std::to_string(p.number);
            if (p.stableName && !SerialPathOf(*p.stableName, path, problem)) {
                fail(problem);
                return false;
            }
            p.serial = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
            if (p.serial == INVALID_HANDLE_VALUE) {
                fail("cannot be opened: " + SystemErrorText(GetLastError()));
                return false;
            }
            COMMTIMEOUTS timeouts{};
            timeouts.WriteTotalTimeoutConstant = kWriteTimeoutMs;
            SetCommTimeouts(p.serial, &timeouts);
            if (!ApplySettings(p.serial, p.settings)) {
                fail("does not take its settings: " + SystemErrorText(GetLastError()));
                return false;
            }
        }
        std::lock_guard<std::mutex> lock(mutex_);
        if (p.told) {
            notes_.push_back(p.name() + " is there again");
            returned_.push_back({p.recoilServer, p.number});
        }
        p.openNow = true;
        p.problem.clear();
        p.told = false;
        return true;
    };
    switch (write.kind) {
        case FeedbackWrite::Kind::Open:
        case FeedbackWrite::Kind::Settings: {
            const auto settings = ParseSerialSettings(write.text);
            if (!settings) {
                std::lock_guard<std::mutex> lock(mutex_);
                notes_.push_back("COM" + std::to_string(write.port) + ": \"" + write.text + "\" are no serial settings: they are not taken");
                return;
            }
            {
                std::lock_guard<std::mutex> lock(mutex_);  // status() names the port by its settings
                p.settings = *settings;
            }
            if (p.open() && p.viaBridge) {
                std::lock_guard<std::mutex> lock(mutex_);
                p.viaBridge = false;  // the bridge opens it again with these settings, below
            } else if (p.open()) {
                if (!ApplySettings(p.serial, p.settings)) fail("does not take its settings: " + SystemErrorText(GetLastError()));
                return;
            }
            p.tried = false;  // an open asked for is tried at once
            reachable();
            return;
        }
        case FeedbackWrite::Kind::Close: {
            if (p.viaBridge && bridge_) bridge_->send(BridgeSerialClose{static_cast<std::uint8_t>(p.number)});
            p.close();
            std::lock_guard<std::mutex> lock(mutex_);
            p.openNow = false;
            p.viaBridge = false;
            return;
        }
        case FeedbackWrite::Kind::Write:
        case FeedbackWrite::Kind::TcpWrite: {
            const bool wasGone = p.told;
            if (!reachable()) return;
            if (wasGone && !write.restart) {
                // Back after it had gone: the gun forgot the start's mode. This write goes once the
                // start's writes for it went (the run sends them at its next pass).
                {
                    std::lock_guard<std::mutex> lock(mutex_);
                    queue_.waitForRestart(write, NowMs() + kRestartWaitMs);
                }
                changed_.notify_all();
                return;
            }
            bool written = false;
            if (p.recoilServer) {
                written = ::send(p.socket, write.text.data(), static_cast<int>(write.text.size()), 0) == static_cast<int>(write.text.size());
                if (!written) fail("went away: " + SystemErrorText(static_cast<DWORD>(WSAGetLastError())));
            } else if (p.viaBridge) {
                written = writeByTheBridge(p, write.text, problem);
                if (!written) fail(problem);
            } else {
                DWORD done = 0;
                written = WriteFile(p.serial, write.text.data(), static_cast<DWORD>(write.text.size()), &done, nullptr) &&
                          done == write.text.size();
                if (!written) fail("went away: " + SystemErrorText(GetLastError()));
            }
            if (written) {
                std::lock_guard<std::mutex> lock(mutex_);
                p.lastSent = write.text;
            }
            return;
        }
    }
}

}  // namespace vt2::win32
