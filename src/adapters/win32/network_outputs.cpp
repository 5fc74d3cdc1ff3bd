#include "adapters/win32/network_outputs.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <deque>
#include <mutex>
#include <vector>

#include "outputs/numeric_output_values.h"
#include "outputs/output_protocols.h"
#include "outputs/threaded_output_link.h"
#include "adapters/win32/system_error_text.h"

namespace vt2::win32 {

namespace {

// What the caller hands the thread, in order.
struct Event {
    enum Kind { Start, Text, Stop, Quit } kind;
    std::string text;          // Start: the game; Text: the message
    unsigned maxWaitMs = 0;    // Stop: how long the goodbyes may take
};

struct Client {
    SOCKET socket = INVALID_SOCKET;
    std::string out;  // what it has not taken yet
};

}  // namespace

// Shared by the object and its thread; the thread keeps its share until it ends.
struct Win32NetworkOutputs::Shared {
    Shared() {
        WSADATA data;
        started = WSAStartup(MAKEWORD(2, 2), &data) == 0;
        wake = CreateEventA(nullptr, FALSE, FALSE, nullptr);
        done = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    }
    ~Shared() {
        if (listener != INVALID_SOCKET) closesocket(listener);
        if (wake) CloseHandle(wake);
        if (done) CloseHandle(done);
        if (started) WSACleanup();
    }
    void push(Event e) {
        bool wasEmpty = false;
        {
            std::lock_guard<std::mutex> lock(mutex);
            wasEmpty = events.empty();
            events.push_back(std::move(e));
        }
        // The thread takes every waiting event at each wake: one wake per batch, not per event
        // (each is a call into the system, which costs more than the rest of an update).
        if (wasEmpty) SetEvent(wake);
    }

    bool started = false;
    HANDLE wake = nullptr;  // events are waiting
    HANDLE done = nullptr;  // the thread has said goodbye and closed every socket
    SOCKET listener = INVALID_SOCKET;
    std::mutex mutex;
    std::deque<Event> events;
};

namespace {

void Drop(Client& c) {
    if (c.socket != INVALID_SOCKET) closesocket(c.socket);
    c.socket = INVALID_SOCKET;
}

// Sends what the socket takes now; false when the client is gone or has stopped reading.
bool Flush(Client& c) {
    while (!c.out.empty()) {
        const int sent = send(c.socket, c.out.data(), static_cast<int>(std::min<std::size_t>(c.out.size(), 65536)), 0);
        if (sent == SOCKET_ERROR) {
            if (WSAGetLastError() != WSAEWOULDBLOCK) return false;
            break;  // FD_WRITE says when there is room again
        }
        c.out.erase(0, static_cast<std::size_t>(sent));
    }
    return c.out.size() <= Win32NetworkOutputs::kMaxBacklog;
}

class ServerThread {
public:
    explicit ServerThread(std::shared_ptr<Win32NetworkOutputs::Shared> shared) : s_(std::move(shared)) {}

    void run() {
        WSAEVENT accepting = WSACreateEvent();
        WSAEventSelect(s_->listener, accepting, FD_ACCEPT);
        // One event for every client's socket: a wait takes at most 64 handles, and with one each
        // 60 idle connections took every place a real client needed.
        clientsEvent_ = WSACreateEvent();
        for (;;) {
            const HANDLE handles[] = {s_->wake, accepting, clientsEvent_};
            WaitForMultipleObjects(3, handles, FALSE, 1000);
            if (!handleEvents()) break;
            acceptClients(accepting);
            serveClients();
        }
        WSACloseEvent(accepting);
        WSACloseEvent(clientsEvent_);
        if (s_->listener != INVALID_SOCKET) closesocket(s_->listener);
        s_->listener = INVALID_SOCKET;
        SetEvent(s_->done);
    }

private:
    void toAll(const std::string& text) {
        for (Client& c : clients_) c.out += text;
    }

    // False when the thread is to end.
    bool handleEvents() {
        std::deque<Event> events;
        {
            std::lock_guard<std::mutex> lock(s_->mutex);
            events.swap(s_->events);
        }
        for (Event& e : events) {
            switch (e.kind) {
                case Event::Start:
                    game_ = e.text;
                    started_ = true;
                    toAll(NetworkStartText(game_));
                    break;
                case Event::Text:
                    if (started_) toAll(e.text);
                    break;
                case Event::Stop:
                    // No one new from here on: a client that comes now would only see the door close.
                    closesocket(s_->listener);
                    s_->listener = INVALID_SOCKET;
                    toAll(kNetworkStopText);
                    sayGoodbye(e.maxWaitMs);
                    return false;
                case Event::Quit:
                    sayGoodbye(0);
                    return false;
            }
        }
        return true;
    }

    void acceptClients(WSAEVENT accepting) {
        WSANETWORKEVENTS what{};
        if (WSAEnumNetworkEvents(s_->listener, accepting, &what) != 0 || !(what.lNetworkEvents & FD_ACCEPT)) return;
        for (;;) {
            const SOCKET accepted = accept(s_->listener, nullptr, nullptr);
            if (accepted == INVALID_SOCKET) return;
            // Full: the client connected longest ago makes room. Connections that only sit there
            // lock nobody out; a real client that comes is always taken.
            if (clients_.size() >= Win32NetworkOutputs::kMaxClients) {
                Drop(clients_.front());
                clients_.erase(clients_.begin());
            }
            Client c;
            c.socket = accepted;
            WSAEventSelect(c.socket, clientsEvent_, FD_READ | FD_WRITE | FD_CLOSE);  // also makes it non-blocking
            if (started_) c.out = NetworkStartText(game_);
            clients_.push_back(std::move(c));
        }
    }

    static constexpr int kReadsPerWake = 16;

    void serveClients() {
        // Reset before the sockets are asked: what happens after this sets it again.
        WSAResetEvent(clientsEvent_);
        for (Client& c : clients_) {
            WSANETWORKEVENTS what{};
            WSAEnumNetworkEvents(c.socket, nullptr, &what);
            if (what.lNetworkEvents & FD_READ) {
                // What clients send is read and ignored, a bounded amount a wake: a client that
                // sends without pause would otherwise keep the thread from everyone else. What
                // is left signals the event again.
                char ignored[4096];
                for (int reads = 0; reads < kReadsPerWake && recv(c.socket, ignored, sizeof ignored, 0) > 0; ++reads) {
                }
            }
            if ((what.lNetworkEvents & FD_CLOSE) || !Flush(c)) Drop(c);
        }
        std::erase_if(clients_, [](const Client& c) { return c.socket == INVALID_SOCKET; });
    }

    // Lets the last messages leave, for at most maxWaitMs, then closes every connection.
    void sayGoodbye(unsigned maxWaitMs) {
        const ULONGLONG until = GetTickCount64() + maxWaitMs;
        for (;;) {
            bool pending = false;
            for (Client& c : clients_) {
                if (c.socket != INVALID_SOCKET && !Flush(c)) Drop(c);
                pending = pending || (c.socket != INVALID_SOCKET && !c.out.empty());
            }
            if (!pending || GetTickCount64() >= until) break;
            Sleep(5);
        }
        for (Client& c : clients_) {
            if (c.socket != INVALID_SOCKET) shutdown(c.socket, SD_SEND);
            Drop(c);
        }
        clients_.clear();
    }

    std::shared_ptr<Win32NetworkOutputs::Shared> s_;
    std::vector<Client> clients_;  // in the order they came
    WSAEVENT clientsEvent_ = WSA_INVALID_EVENT;
    std::string game_;
    bool started_ = false;
};

}  // namespace

Win32NetworkOutputs::Win32NetworkOutputs(std::string bindAddress, std::uint16_t port,
                                         std::function<void(const std::string&)> report)
    : shared_(std::make_shared<Shared>()), bindAddress_(std::move(bindAddress)), port_(port), report_(std::move(report)) {}

Win32NetworkOutputs::~Win32NetworkOutputs() {
    if (!open_) return;
    shared_->push({Event::Quit, {}, 0});
    // A thread that does not end in time keeps its share of the state and ends on its own.
    WaitForSingleObject(shared_->done, 1000);
}

bool Win32NetworkOutputs::open() {
    const std::string where = bindAddress_ + ":" + std::to_string(port_);
    auto fail = [&](const std::string& why) {
        if (report_) report_("Outputs: the network outputs cannot listen on " + where + " (" + why + "); they are off for this run");
        if (shared_->listener != INVALID_SOCKET) closesocket(shared_->listener);
        shared_->listener = INVALID_SOCKET;
        return false;
    };
    if (!shared_->started || !shared_->wake || !shared_->done) return fail("no network");
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port_);
    if (inet_pton(AF_INET, bindAddress_.c_str(), &address.sin_addr) != 1) return fail("not an IPv4 address");
    shared_->listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (shared_->listener == INVALID_SOCKET) return fail(SystemErrorText(static_cast<DWORD>(WSAGetLastError())));
    // Nobody else may take the port while VT2 has it, nor VT2 a port another program has.
    BOOL exclusive = TRUE;
    setsockopt(shared_->listener, SOL_SOCKET, SO_EXCLUSIVEADDRUSE, reinterpret_cast<const char*>(&exclusive),
               sizeof exclusive);
    if (bind(shared_->listener, reinterpret_cast<const sockaddr*>(&address), sizeof address) == SOCKET_ERROR) {
        const int error = WSAGetLastError();
        return fail(error == WSAEADDRINUSE ? "the port is taken by another program"
                                           : SystemErrorText(static_cast<DWORD>(error)));
    }
    if (listen(shared_->listener, SOMAXCONN) == SOCKET_ERROR)
        return fail(SystemErrorText(static_cast<DWORD>(WSAGetLastError())));
    sockaddr_in bound{};
    int length = sizeof bound;
    if (getsockname(shared_->listener, reinterpret_cast<sockaddr*>(&bound), &length) == 0) port_ = ntohs(bound.sin_port);
    const std::shared_ptr<Shared> shared = shared_;
    if (!StartDetachedThread([shared] { ServerThread(shared).run(); })) return fail("no thread");
    open_ = true;
    // A player who opened the outputs to the network is told so, where they look.
    if (const std::string note = NetworkExposureNote(bindAddress_, port_); !note.empty() && report_) report_(note);
    return true;
}

void Win32NetworkOutputs::start(const std::string& game, const std::map<int, std::string>& names) {
    names_ = names;
    if (open_) shared_->push({Event::Start, game, 0});
}

void Win32NetworkOutputs::update(int id, std::int32_t value) {
    if (!open_) return;
    const auto name = names_.find(id);
    shared_->push({Event::Text, NetworkUpdateText(name == names_.end() ? "output" + std::to_string(id) : name->second,
                                                  value),
                   0});
}

void Win32NetworkOutputs::stop(unsigned maxWaitMs) {
    if (!open_) return;
    shared_->push({Event::Stop, {}, maxWaitMs});
    WaitForSingleObject(shared_->done, maxWaitMs + 100);
    open_ = false;
}

}  // namespace vt2::win32
