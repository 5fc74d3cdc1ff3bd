#pragma once

#include <string>

#include "platform/window_system.h"

namespace vt2 {

// The caption of a window, at most 99 characters, NULs removed; empty when the window is gone.
std::string GetWindowCaption(WindowSystem& windows, WindowHandle window);

}  // namespace vt2
