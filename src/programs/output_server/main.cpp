// VT2OutputServer: a small output server for checking what VT2 sends, over each protocol VT2
// speaks, printing every message it receives on a line of its own; with --log FILE it also
// appends them to FILE (created, empty, once it is listening).
//
//   VT2OutputServer [--dde] [--network [HOST:PORT]] [--windows] [--stall] [--log FILE] [--quiet]
//
// --dde (the default when no protocol is named): the DDE service "MHServer", topic "MHDDE", as
//     the output server MameHooker registers it; each execute command is printed as it came.
// --network: a client of VT2's network outputs (127.0.0.1:8000 by default), connecting again
//     whenever it can; each message is printed after "net: ". With --stall it connects and never
//     reads, as a hung client would.
// --windows: a client of the "MAMEOutput" window: it registers when the window is there, asks
//     for the name of the game and of each output, and prints "win: " and what it is told.

#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>
#include <ddeml.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <map>
#include <mutex>
#include <string>
#include <thread>

namespace {

DWORD g_instance = 0;  // the DDEML instance: the server callback has no way to carry it
HSZ g_topic = nullptr;
FILE* g_log = nullptr;
bool g_quiet = false;
std::mutex g_recording;  // the network client records from a thread of its own

void Record(const std::string& command) {
    std::lock_guard<std::mutex> lock(g_recording);
    if (!g_quiet) {
        std::printf("%s\n", command.c_str());
        std::fflush(stdout);
    }
    if (g_log) {
        std::fprintf(g_log, "%s\n", command.c_str());
        std::fflush(g_log);
    }
}

HDDEDATA CALLBACK Serve(UINT type, UINT, HCONV, HSZ topic, HSZ, HDDEDATA data, ULONG_PTR, ULONG_PTR) {
    switch (type) {
        case XTYP_CONNECT:
            return reinterpret_cast<HDDEDATA>(static_cast<ULONG_PTR>(DdeCmpStringHandles(topic, g_topic) == 0));
        case XTYP_EXECUTE: {
            const DWORD size = DdeGetData(data, nullptr, 0, 0);
            std::string bytes(size, '\0');
            if (size > 0) DdeGetData(data, reinterpret_cast<LPBYTE>(bytes.data()), size, 0);
            const std::size_t nul = bytes.find('\0');
            Record(nul == std::string::npos ? bytes : bytes.substr(0, nul));
            return reinterpret_cast<HDDEDATA>(static_cast<ULONG_PTR>(DDE_FACK));
        }
        default:
            return nullptr;
    }
}

// --network: connects, prints each message (they end with a carriage return), and connects again
// once the server has closed, until the program ends.
void RunNetworkClient(std::string host, std::string port, bool stall) {
    WSADATA data;
    if (WSAStartup(MAKEWORD(2, 2), &data) != 0) return;
    for (;;) {
        addrinfo hints{};
        hints.ai_family = AF_INET;
        hints.ai_socktype = SOCK_STREAM;
        addrinfo* found = nullptr;
        SOCKET s = INVALID_SOCKET;
        if (getaddrinfo(host.c_str(), port.c_str(), &hints, &found) == 0 && found) {
            s = socket(found->ai_family, found->ai_socktype, found->ai_protocol);
            if (s != INVALID_SOCKET && connect(s, found->ai_addr, static_cast<int>(found->ai_addrlen)) == SOCKET_ERROR) {
                closesocket(s);
                s = INVALID_SOCKET;
            }
            freeaddrinfo(found);
        }
        if (s == INVALID_SOCKET) {
            Sleep(200);
            continue;
        }
        Record("net: (connected)");
        if (stall) {
            // A client that never reads: the server's messages pile up on its side.
            for (;;) Sleep(1000);
        }
        std::string pending;
        char buffer[4096];
        int got = 0;
        while ((got = recv(s, buffer, sizeof buffer, 0)) > 0) {
            pending.append(buffer, static_cast<std::size_t>(got));
            for (std::size_t end; (end = pending.find('\r')) != std::string::npos; pending.erase(0, end + 1)) {
                Record("net: " + pending.substr(0, end));
            }
        }
        closesocket(s);
        Record("net: (closed)");
    }
}

// --windows: the client's listener window and what the MAMEOutput window tells it.
struct WindowClient {
    UINT start = RegisterWindowMessageA("MAMEOutputStart");
    UINT stop = RegisterWindowMessageA("MAMEOutputStop");
    UINT updateState = RegisterWindowMessageA("MAMEOutputUpdateState");
    UINT registerClient = RegisterWindowMessageA("MAMEOutputRegister");
    UINT getIdString = RegisterWindowMessageA("MAMEOutputGetIDString");
    HWND listener = nullptr;
    HWND server = nullptr;
    std::map<int, bool> asked;  // the ids whose names were asked for

    void connect(HWND output) {
        server = output;
        asked.clear();
        Record("win: (registered)");
        PostMessageA(server, registerClient, reinterpret_cast<WPARAM>(listener), 1);
        ask(0);
    }
    void ask(int id) {
        if (asked[id]) return;
        asked[id] = true;
        PostMessageA(server, getIdString, reinterpret_cast<WPARAM>(listener), id);
    }
};
WindowClient* g_windows = nullptr;

LRESULT CALLBACK ListenerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    WindowClient& c = *g_windows;
    if (message == c.start) {
        Record("win: start");
        c.connect(reinterpret_cast<HWND>(wParam));
        return 0;
    }
    if (message == c.stop) {
        Record("win: stop");
        c.server = nullptr;
        return 0;
    }
    if (message == c.updateState) {
        Record("win: " + std::to_string(static_cast<int>(wParam)) + " = " + std::to_string(static_cast<std::int32_t>(lParam)));
        c.ask(static_cast<int>(wParam));
        return 0;
    }
    if (message == WM_COPYDATA) {
        const auto* copy = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
        if (copy->dwData == 1 && copy->cbData > sizeof(std::int32_t)) {
            std::int32_t id = 0;
            std::memcpy(&id, copy->lpData, sizeof id);
            const char* name = static_cast<const char*>(copy->lpData) + sizeof id;
            Record("win: name " + std::to_string(id) + " = " +
                   std::string(name, strnlen(name, copy->cbData - sizeof id)));
        }
        return TRUE;
    }
    if (message == WM_TIMER && !c.server) {
        // Started after the game: the window is found by its class.
        if (HWND output = FindWindowA("MAMEOutput", nullptr)) c.connect(output);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

bool StartWindowClient(WindowClient& client) {
    g_windows = &client;
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = ListenerProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "VT2OutputServerListener";
    RegisterClassA(&windowClass);
    // A top-level window (hidden), so that the start and stop broadcasts reach it.
    client.listener = CreateWindowExA(0, windowClass.lpszClassName, "VT2OutputServer", WS_OVERLAPPED, 0, 0, 0, 0,
                                      nullptr, nullptr, windowClass.hInstance, nullptr);
    if (!client.listener) return false;
    SetTimer(client.listener, 1, 250, nullptr);
    if (HWND output = FindWindowA("MAMEOutput", nullptr)) client.connect(output);
    return true;
}

BOOL WINAPI OnConsoleEvent(DWORD) {
    PostThreadMessageA(GetCurrentThreadId(), WM_QUIT, 0, 0);
    return TRUE;
}

}  // namespace

int main(int argc, char** argv) {
    const char* logPath = nullptr;
    bool dde = false, network = false, windows = false, stall = false;
    std::string host = "127.0.0.1", port = "8000";
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--log") == 0 && i + 1 < argc) logPath = argv[++i];
        if (std::strcmp(argv[i], "--quiet") == 0) g_quiet = true;
        if (std::strcmp(argv[i], "--dde") == 0) dde = true;
        if (std::strcmp(argv[i], "--windows") == 0) windows = true;
        if (std::strcmp(argv[i], "--stall") == 0) stall = true;
        if (std::strcmp(argv[i], "--network") == 0) {
            network = true;
            if (i + 1 < argc && argv[i + 1][0] != '-') {
                const std::string where = argv[++i];
                const std::size_t colon = where.rfind(':');
                host = colon == std::string::npos ? where : where.substr(0, colon);
                if (colon != std::string::npos) port = where.substr(colon + 1);
            }
        }
    }
    if (!network && !windows) dde = true;

    HSZ service = nullptr;
    if (dde) {
        if (DdeInitializeA(&g_instance, Serve, APPCLASS_STANDARD | CBF_SKIP_REGISTRATIONS | CBF_SKIP_UNREGISTRATIONS,
                           0) != DMLERR_NO_ERROR) {
            std::fprintf(stderr, "VT2OutputServer: DDE could not be initialised\n");
            return 1;
        }
        service = DdeCreateStringHandleA(g_instance, "MHServer", CP_WINANSI);
        g_topic = DdeCreateStringHandleA(g_instance, "MHDDE", CP_WINANSI);
        if (!DdeNameService(g_instance, service, nullptr, DNS_REGISTER)) {
            std::fprintf(stderr, "VT2OutputServer: the service MHServer could not be registered\n");
            return 1;
        }
    }
    if (logPath) g_log = std::fopen(logPath, "w");
    WindowClient windowClient;
    if (windows && !StartWindowClient(windowClient)) {
        std::fprintf(stderr, "VT2OutputServer: no window for the MAMEOutput messages\n");
        return 1;
    }
    if (network) std::thread(RunNetworkClient, host, port, stall).detach();
    SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
    if (!g_quiet) {
        if (dde) std::fprintf(stderr, "VT2OutputServer: serving MHServer / MHDDE\n");
        if (network) std::fprintf(stderr, "VT2OutputServer: a network client of %s:%s%s\n", host.c_str(), port.c_str(),
                                  stall ? ", never reading" : "");
        if (windows) std::fprintf(stderr, "VT2OutputServer: a client of the MAMEOutput window\n");
    }

    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    if (dde) {
        DdeNameService(g_instance, service, nullptr, DNS_UNREGISTER);
        DdeFreeStringHandle(g_instance, service);
        DdeFreeStringHandle(g_instance, g_topic);
        DdeUninitialize(g_instance);
    }
    std::lock_guard<std::mutex> lock(g_recording);
    if (g_log) std::fclose(g_log);
    g_log = nullptr;
    return 0;
}
