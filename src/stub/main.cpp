// VTStub: started by the Model 2 emulator's start script in the emulator's folder, it starts VT2
// (which lives in a folder of its own) for the game it was given, and ends at once.
//
// vt2.cfg beside it holds, one per line: the folder to work in, and the command that starts VT2
// there (its program a file of that folder, or a full path). The stub has no window and no messages; it says how it ended by its exit code:
//   0  VT2 started
//   1  vt2.cfg beside the stub could not be opened
//   2  vt2.cfg has fewer than two lines
//   3  the folder of line 1 cannot be made the current folder
//   4  the command cannot be started
// It shares no code with VT2, so that it stays one small file that needs nothing else.

#include <windows.h>

namespace {

enum ExitCode : int { kStarted = 0, kNoConfig = 1, kTooFewLines = 2, kNoFolder = 3, kNotStarted = 4 };

constexpr DWORD kMaxConfig = 8192;  // two short lines; anything after them is ignored
constexpr DWORD kMaxCommand = 32768;  // the longest command line Windows takes

char g_config[kMaxConfig + 1];
char g_command[kMaxCommand];
char g_program[kMaxCommand];

// The path of vt2.cfg in the stub's own folder; false when it does not fit.
bool ConfigPath(char* path, DWORD size) {
    const DWORD length = GetModuleFileNameA(nullptr, path, size);
    if (length == 0 || length >= size) return false;
    DWORD slash = length;
    while (slash > 0 && path[slash - 1] != '\\' && path[slash - 1] != '/') --slash;
    const char name[] = "vt2.cfg";
    if (slash + sizeof name > size) return false;
    for (DWORD i = 0; i < sizeof name; ++i) path[slash + i] = name[i];
    return true;
}

// Cuts the next line off text at *at: ends it with a NUL in place (text has room for one past
// length) and returns its start, or null when no line is left. CR LF, LF and CR alone each end a
// line, as an editor may have saved the file.
char* NextLine(char* text, DWORD length, DWORD* at) {
    if (*at >= length) return nullptr;
    const DWORD start = *at;
    DWORD end = start;
    while (end < length && text[end] != '\n' && text[end] != '\r') ++end;
    *at = end + 1;
    if (end + 1 < length && text[end] == '\r' && text[end + 1] == '\n') *at = end + 2;
    text[end] = '\0';
    return text + start;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// The program file the command names, by its full path in g_program: the command's first word
// (or its quoted start) after the folder, unless it is a full path itself. Named in full, it is
// the one started, never a program of its name in the stub's own folder (the emulator's), where
// Windows would look first. False when it does not fit.
bool ProgramPath(const char* folder, const char* command) {
    const char* start = command;
    const char* end = command;
    if (*start == '"') {
        ++start;
        end = start;
        while (*end && *end != '"') ++end;
    } else {
        while (*end && !IsBlank(*end)) ++end;
    }
    const bool full = (start[0] && start[1] == ':') || (start[0] == '\\' && start[1] == '\\');
    DWORD n = 0;
    if (!full) {
        for (const char* p = folder; *p; ++p) {
            if (n + 1 >= kMaxCommand) return false;
            g_program[n++] = *p;
        }
        if (n > 0 && g_program[n - 1] != '\\' && g_program[n - 1] != '/') g_program[n++] = '\\';
    }
    for (const char* p = start; p < end; ++p) {
        if (n + 1 >= kMaxCommand) return false;
        g_program[n++] = *p;
    }
    g_program[n] = '\0';
    return true;
}

// What follows the program's own name on its command line, blanks after the name skipped.
const char* OwnArguments() {
    const char* p = GetCommandLineA();
    if (*p == '"') {
        ++p;
        while (*p && *p != '"') ++p;
        if (*p == '"') ++p;
    } else {
        while (*p && !IsBlank(*p)) ++p;
    }
    while (IsBlank(*p)) ++p;
    return p;
}

int Run() {
    char path[MAX_PATH];
    if (!ConfigPath(path, MAX_PATH)) return kNoConfig;
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return kNoConfig;
    DWORD length = 0;
    const BOOL read = ReadFile(file, g_config, kMaxConfig, &length, nullptr);
    CloseHandle(file);
    if (!read) return kNoConfig;

    // A UTF-8 byte order mark (Notepad's "UTF-8") is no part of the folder.
    DWORD at = length >= 3 && g_config[0] == '\xEF' && g_config[1] == '\xBB' && g_config[2] == '\xBF' ? 3 : 0;
    const char* folder = NextLine(g_config, length, &at);
    const char* command = NextLine(g_config, length, &at);
    if (!folder || !command) return kTooFewLines;

    // A folder with a drive makes that drive current too.
    if (!SetCurrentDirectoryA(folder)) return kNoFolder;

    const char* arguments = OwnArguments();
    DWORD n = 0;
    for (const char* p = command; *p; ++p) {
        if (n + 2 >= kMaxCommand) return kNotStarted;
        g_command[n++] = *p;
    }
    g_command[n++] = ' ';
    for (const char* p = arguments; *p; ++p) {
        if (n + 1 >= kMaxCommand) return kNotStarted;
        g_command[n++] = *p;
    }
    g_command[n] = '\0';

    if (!ProgramPath(folder, command)) return kNotStarted;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION started{};
    if (!CreateProcessA(g_program, g_command, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &started))
        return kNotStarted;
    // Not waited for: the emulator goes on while VT2 starts.
    CloseHandle(started.hThread);
    CloseHandle(started.hProcess);
    return kStarted;
}

}  // namespace

// The program's entry itself, without the C runtime's start-up: the stub needs nothing of it.
extern "C" void WINAPI StubEntry() { ExitProcess(static_cast<UINT>(Run())); }
