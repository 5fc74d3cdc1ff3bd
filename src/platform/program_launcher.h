#pragma once

#include <string>

namespace vt2 {

// The window state a started program is asked to take for its first window.
enum class WindowShowState { Hidden, MaximisedActive, MinimisedActive, MinimisedInactive, NormalActive, NormalInactive };

class ProgramLauncher {
public:
    virtual ~ProgramLauncher() = default;
    // Starts the program file folder + program, named in full so that no program of its name
    // elsewhere is started instead, with the program's name (and the arguments after a blank,
    // when there are any) as its command line; false on failure.
    virtual bool startProgram(const std::string& folder, const std::string& program, const std::string& arguments,
                              WindowShowState state) = 0;
    // Opens a document with the shell's "open" verb; the shell's result code.
    virtual int openDocument(const std::string& file) = 0;
};

}  // namespace vt2
