#include "adapters/win32/window_outputs.h"

#include <windows.h>

#include <chrono>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <iterator>
#include <mutex>
#include <vector>

#include "outputs/threaded_output_link.h"

namespace vt2::win32 {

namespace {

constexpr const char* kWindowClass = "MAMEOutput";
constexpr UINT kWakeMessage = WM_APP + 1;  // a thread message: events are waiting

// The six messages of the protocol, the same numbers in every program that registers them.
struct ProtocolMessages {
    UINT start = RegisterWindowMessageA("MAMEOutputStart");
    UINT stop = RegisterWindowMessageA("MAMEOutputStop");
    UINT updateState = RegisterWindowMessageA("MAMEOutputUpdateState");
    UINT registerClient = RegisterWindowMessageA("MAMEOutputRegister");
    UINT unregisterClient = RegisterWindowMessageA("MAMEOutputUnregister");
    UINT getIdString = RegisterWindowMessageA("MAMEOutputGetIDString");
};

struct Event {
    enum Kind { Start, Update, Stop, Quit } kind;
    std::string game;
    std::map<int, std::string> names;
    int id = 0;
    std::int32_t value = 0;
};

}  // namespace

struct Win32WindowOutputs::Shared {
    Shared() {
        ready = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        done = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        stopped = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    }
    ~Shared() {
        for (HANDLE h : {ready, done, stopped}) {
            if (h) CloseHandle(h);
        }
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
        if (wasEmpty) PostThreadMessageA(threadId, kWakeMessage, 0, 0);
    }

    HANDLE ready = nullptr;    // the thread takes messages
    HANDLE done = nullptr;     // the thread has ended
    HANDLE stopped = nullptr;  // the last stop is broadcast and the window gone
    DWORD threadId = 0;
    std::mutex mutex;
    std::deque<Event> events;
};

namespace {

// Name answers go to each client from a thread of that client's own. WM_COPYDATA can only be
// sent, and a send waits for the client to take it: a client that hangs would otherwise hold up
// the updates of every client and the stop. A client's thread ends when it has had nothing to do
// for a while; the number of clients and of answers waiting for each is bounded, so that a flood
// of requests costs a bounded amount.
class NameAnswers {
public:
    static constexpr std::size_t kMaxWaitingPerClient = 256;
    static constexpr unsigned kIdleEndMs = 2000;

    void answer(HWND listener, HWND from, std::vector<char> data) {
        std::shared_ptr<Client> client = clientFor(listener);
        if (!client) return;  // too many clients at once: the request is dropped
        std::lock_guard<std::mutex> lock(client->mutex);
        if (client->waiting.size() >= kMaxWaitingPerClient) return;
        // Each answer comes from the window of the game that was asked (a restarted game has a
        // window of its own), not from the one the client's thread began with.
        client->waiting.push_back({from, std::move(data)});
        if (client->running) {
            client->work.notify_one();
            return;
        }
        client->running = StartDetachedThread([client, listener] { Serve(*client, listener); });
        if (!client->running) client->waiting.clear();
    }

private:
    struct Client {
        std::mutex mutex;
        std::condition_variable work;
        std::deque<std::pair<HWND, std::vector<char>>> waiting;  // the answering window, the answer
        bool running = false;
    };

    std::shared_ptr<Client> clientFor(HWND listener) {
        const auto it = clients_.find(listener);
        if (it != clients_.end()) return it->second;
        if (clients_.size() >= Win32WindowOutputs::kMaxClients) {
            // Clients whose thread has ended make room.
            for (auto c = clients_.begin(); c != clients_.end();) {
                std::lock_guard<std::mutex> lock(c->second->mutex);
                c = c->second->running ? std::next(c) : clients_.erase(c);
            }
            if (clients_.size() >= Win32WindowOutputs::kMaxClients) return nullptr;
        }
        return clients_[listener] = std::make_shared<Client>();
    }

    static void Serve(Client& client, HWND listener) {
        std::unique_lock<std::mutex> lock(client.mutex);
        for (;;) {
            client.work.wait_for(lock, std::chrono::milliseconds(kIdleEndMs), [&] { return !client.waiting.empty(); });
            if (client.waiting.empty() || !IsWindow(listener)) break;
            auto [from, data] = std::move(client.waiting.front());
            client.waiting.pop_front();
            lock.unlock();
            COPYDATASTRUCT copy{1, static_cast<DWORD>(data.size()), data.data()};
            DWORD_PTR ignored = 0;
            SendMessageTimeoutA(listener, WM_COPYDATA, reinterpret_cast<WPARAM>(from), reinterpret_cast<LPARAM>(&copy),
                                SMTO_ABORTIFHUNG | SMTO_NORMAL, Win32WindowOutputs::kNameAnswerTimeoutMs, &ignored);
            lock.lock();
        }
        client.waiting.clear();
        client.running = false;
    }

    std::map<HWND, std::shared_ptr<Client>> clients_;
};

class OutputWindow {
public:
    explicit OutputWindow(std::shared_ptr<Win32WindowOutputs::Shared> shared) : s_(std::move(shared)) {}

    void run() {
        MSG message;
        PeekMessageA(&message, nullptr, WM_USER, WM_USER, PM_NOREMOVE);  // makes the thread's queue
        s_->threadId = GetCurrentThreadId();
        SetEvent(s_->ready);
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = &OutputWindow::Procedure;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = kWindowClass;
        RegisterClassA(&windowClass);
        bool quit = false;
        while (!quit && GetMessageA(&message, nullptr, 0, 0) > 0) {
            if (message.hwnd == nullptr && message.message == kWakeMessage) {
                quit = !handleEvents();
                continue;
            }
            DispatchMessageA(&message);
        }
        closeWindow();
        SetEvent(s_->done);
    }

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_NCCREATE) {
            SetWindowLongPtrA(window, GWLP_USERDATA,
                              reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams));
        }
        auto* self = reinterpret_cast<OutputWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
        if (self && self->answer(message, wParam, lParam)) return 0;
        return DefWindowProcA(window, message, wParam, lParam);
    }

    // The clients' messages; true when it was one.
    bool answer(UINT message, WPARAM wParam, LPARAM lParam) {
        const HWND listener = reinterpret_cast<HWND>(wParam);
        if (message == m_.registerClient) {
            // Registering again with the same id replaces its window and sends every value again.
            // A new id beyond the bound is refused, once the windows that are gone made room: one
            // client registering under hundreds of ids would have every update posted hundreds of times.
            if (clients_.find(lParam) == clients_.end()) {
                std::erase_if(clients_, [](const auto& client) { return !IsWindow(client.second); });
                if (clients_.size() >= Win32WindowOutputs::kMaxClients) return true;
            }
            clients_[lParam] = listener;
            for (const auto& [id, value] : values_) PostMessageA(listener, m_.updateState, static_cast<WPARAM>(id), value);
            return true;
        }
        if (message == m_.unregisterClient) {
            const auto it = clients_.find(lParam);
            if (it != clients_.end() && it->second == listener) clients_.erase(it);
            return true;
        }
        if (message == m_.getIdString) {
            const int id = static_cast<int>(lParam);
            const auto name = names_.find(id);
            const std::string text = id == 0 ? game_ : name != names_.end() ? name->second : std::string();
            std::vector<char> data(sizeof(std::int32_t) + text.size() + 1, '\0');
            const std::int32_t id32 = id;
            std::memcpy(data.data(), &id32, sizeof id32);
            std::memcpy(data.data() + sizeof id32, text.c_str(), text.size());
            nameAnswers_.answer(listener, window_, std::move(data));
            return true;
        }
        return false;
    }

    bool handleEvents() {
        std::deque<Event> events;
        {
            std::lock_guard<std::mutex> lock(s_->mutex);
            events.swap(s_->events);
        }
        for (Event& e : events) {
            switch (e.kind) {
                case Event::Start: open(e); break;
                case Event::Update:
                    if (!window_) break;
                    values_[e.id] = e.value;
                    for (const auto& [client, listener] : clients_)
                        PostMessageA(listener, m_.updateState, static_cast<WPARAM>(e.id), e.value);
                    break;
                case Event::Stop:
                    closeWindow();
                    SetEvent(s_->stopped);
                    break;
                case Event::Quit: return false;
            }
        }
        return true;
    }

    void open(const Event& e) {
        closeWindow();
        game_ = e.game;
        names_ = e.names;
        values_.clear();
        for (const auto& [id, name] : names_) values_[id] = 0;  // every output starts at 0
        window_ = CreateWindowExA(0, kWindowClass, kWindowClass, WS_OVERLAPPED, 0, 0, 0, 0, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), this);
        if (window_) PostMessageA(HWND_BROADCAST, m_.start, reinterpret_cast<WPARAM>(window_), 0);
    }

    void closeWindow() {
        if (!window_) return;
        PostMessageA(HWND_BROADCAST, m_.stop, reinterpret_cast<WPARAM>(window_), 0);
        DestroyWindow(window_);
        window_ = nullptr;
        clients_.clear();
    }

    std::shared_ptr<Win32WindowOutputs::Shared> s_;
    ProtocolMessages m_;
    HWND window_ = nullptr;
    std::string game_;
    std::map<int, std::string> names_;
    std::map<int, std::int32_t> values_;
    std::map<LPARAM, HWND> clients_;  // by the client's id
    NameAnswers nameAnswers_;
};

}  // namespace

Win32WindowOutputs::Win32WindowOutputs(std::function<void(const std::string&)> report)
    : shared_(std::make_shared<Shared>()), report_(std::move(report)) {}

Win32WindowOutputs::~Win32WindowOutputs() {
    if (!open_) return;
    shared_->push({Event::Quit, {}, {}});
    WaitForSingleObject(shared_->done, 1000);
}

bool Win32WindowOutputs::open() {
    const std::shared_ptr<Shared> shared = shared_;
    const bool started = shared->ready && shared->done && shared->stopped &&
                         StartDetachedThread([shared] { OutputWindow(shared).run(); }) &&
                         WaitForSingleObject(shared->ready, 5000) == WAIT_OBJECT_0;
    if (!started) {
        if (report_) report_("Outputs: the MAMEOutput window's thread could not start; the window outputs are off for this run");
        return false;
    }
    open_ = true;
    return true;
}

void Win32WindowOutputs::start(const std::string& game, const std::map<int, std::string>& names) {
    if (!open_) return;
    ResetEvent(shared_->stopped);
    shared_->push({Event::Start, game, names});
}

void Win32WindowOutputs::update(int id, std::int32_t value) {
    if (open_) shared_->push({Event::Update, {}, {}, id, value});
}

void Win32WindowOutputs::stop(unsigned maxWaitMs) {
    if (!open_) return;
    shared_->push({Event::Stop, {}, {}});
    WaitForSingleObject(shared_->stopped, maxWaitMs);
}

}  // namespace vt2::win32
