#pragma once

#include "platform/program_launcher.h"

namespace vt2::win32 {

class Win32ProgramLauncher final : public ProgramLauncher {
public:
    bool startProgram(const std::string& folder, const std::string& program, const std::string& arguments,
                      WindowShowState state) override;
    int openDocument(const std::string& file) override;
};

// The ShowWindow code that a window state stands for.
int ShowCommandFor(WindowShowState state);

}  // namespace vt2::win32
