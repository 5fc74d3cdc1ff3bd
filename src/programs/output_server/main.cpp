// VT2OutputServer: a small output server for checking what VT2 sends. It registers the DDE
// service "MHServer" with the topic "MHDDE", as the output server MameHooker does, accepts execute
// transactions, and prints each command it receives on a line of its own; with --log FILE it also
// appends them to FILE (created, empty, once the service is registered).
//
//   VT2OutputServer [--log FILE] [--quiet]

#include <windows.h>
#include <ddeml.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

DWORD g_instance = 0;  // the DDEML instance: the server callback has no way to carry it
HSZ g_topic = nullptr;
FILE* g_log = nullptr;
bool g_quiet = false;

void Record(const std::string& command) {
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

BOOL WINAPI OnConsoleEvent(DWORD) {
    PostThreadMessageA(GetCurrentThreadId(), WM_QUIT, 0, 0);
    return TRUE;
}

}  // namespace

int main(int argc, char** argv) {
    const char* logPath = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--log") == 0 && i + 1 < argc) logPath = argv[++i];
        if (std::strcmp(argv[i], "--quiet") == 0) g_quiet = true;
    }
    if (DdeInitializeA(&g_instance, Serve, APPCLASS_STANDARD | CBF_SKIP_REGISTRATIONS | CBF_SKIP_UNREGISTRATIONS, 0) !=
        DMLERR_NO_ERROR) {
        std::fprintf(stderr, "VT2OutputServer: DDE could not be initialised\n");
        return 1;
    }
    HSZ service = DdeCreateStringHandleA(g_instance, "MHServer", CP_WINANSI);
    g_topic = DdeCreateStringHandleA(g_instance, "MHDDE", CP_WINANSI);
    if (!DdeNameService(g_instance, service, nullptr, DNS_REGISTER)) {
        std::fprintf(stderr, "VT2OutputServer: the service MHServer could not be registered\n");
        return 1;
    }
    if (logPath) g_log = std::fopen(logPath, "w");
    SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
    if (!g_quiet) std::fprintf(stderr, "VT2OutputServer: serving MHServer / MHDDE\n");

    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    DdeNameService(g_instance, service, nullptr, DNS_UNREGISTER);
    DdeFreeStringHandle(g_instance, service);
    DdeFreeStringHandle(g_instance, g_topic);
    DdeUninitialize(g_instance);
    if (g_log) std::fclose(g_log);
    return 0;
}
