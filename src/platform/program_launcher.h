#pragma once

#include <string>

namespace vt2 {

// The window state a started program is asked to take for its first window.
enum class WindowShowState { Hidden, MaximisedActive, MinimisedActive, MinimisedInactive, NormalActive, NormalInactive };

class ProgramLauncher {
public:
    virtual ~ProgramLauncher() = default;
    // Starts folder + program with the program's name alone as its command line; false on failure.
    virtual bool startProgram(const std::string& folder, const std::string& program, WindowShowState state) = 0;
    // Starts a command line (a program, a blank and its arguments) in the current folder; false on failure.
    virtual bool startCommandLine(const std::string& commandLine, WindowShowState state) = 0;
    // Opens a document with the shell's "open" verb; the shell's result code.
    virtual int openDocument(const std::string& file) = 0;
};

}  // namespace vt2
