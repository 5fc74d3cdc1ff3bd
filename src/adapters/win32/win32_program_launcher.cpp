#include "adapters/win32/win32_program_launcher.h"

#include <windows.h>
#include <shellapi.h>

#include <vector>

#include "adapters/win32/unique_handle.h"

namespace vt2::win32 {

int ShowCommandFor(WindowShowState state) {
    switch (state) {
        case WindowShowState::Hidden: return SW_HIDE;
        case WindowShowState::MaximisedActive: return SW_SHOWMAXIMIZED;
        case WindowShowState::MinimisedActive: return SW_SHOWMINIMIZED;
        case WindowShowState::MinimisedInactive: return SW_SHOWMINNOACTIVE;
        case WindowShowState::NormalActive: return SW_SHOWNORMAL;
        case WindowShowState::NormalInactive: return SW_SHOWNOACTIVATE;
    }
    return SW_SHOWNORMAL;
}

namespace {

// Starts a process without waiting for it.
bool StartProcess(const std::string& application, const std::string& commandLine, const char* folder,
                  WindowShowState state) {
    std::vector<char> commandLineBuffer(commandLine.begin(), commandLine.end());
    commandLineBuffer.push_back('\0');
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = static_cast<WORD>(ShowCommandFor(state));
    PROCESS_INFORMATION started{};
    if (!CreateProcessA(application.c_str(), commandLineBuffer.data(), nullptr, nullptr, FALSE, 0, nullptr, folder,
                        &startup, &started))
        return false;
    unique_kernel_handle process(started.hProcess);
    unique_kernel_handle thread(started.hThread);
    return true;
}

}  // namespace

bool Win32ProgramLauncher::startProgram(const std::string& folder, const std::string& program,
                                        const std::string& arguments, WindowShowState state) {
    // The program file is named in full, so that a program of the same name beside this one or on
    // the search path is never started instead.
    std::string commandLine = program.find(' ') != std::string::npos ? "\"" + program + "\"" : program;
    if (!arguments.empty()) commandLine += " " + arguments;
    return StartProcess(folder + program, commandLine, folder.empty() ? nullptr : folder.c_str(), state);
}

int Win32ProgramLauncher::openDocument(const std::string& file) {
    const HINSTANCE result = ShellExecuteA(nullptr, "open", file.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    return static_cast<int>(reinterpret_cast<INT_PTR>(result));
}

}  // namespace vt2::win32
