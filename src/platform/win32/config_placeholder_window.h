#pragma once
// The configuration window's frame; closing it ends the program.

#include <windows.h>

#include "platform/win32/unique_handle.h"

namespace vt2::win32 {

class ConfigPlaceholderWindow {
public:
    explicit ConfigPlaceholderWindow(HINSTANCE instance);
    HWND handle() const { return window_.get(); }

private:
    unique_window window_;
};

}  // namespace vt2::win32
