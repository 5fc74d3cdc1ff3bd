#pragma once
// Top-level windows of other programs: lookup, captions, owning process and style.

#include <cstdint>
#include <optional>
#include <string>

#include "platform/desktop_rect.h"

namespace vt2 {

// An opaque window handle; 0 means no window.
using WindowHandle = std::uintptr_t;

class WindowSystem {
public:
    virtual ~WindowSystem() = default;
    // The first top-level window of that class; with a caption, only one with exactly that caption.
    // An empty class matches any class.
    virtual WindowHandle findWindow(const std::string& windowClass, const std::optional<std::string>& caption) = 0;
    // The caption as the window-text read gives it into a buffer of bufferChars characters.
    // Empty when the window has none or no longer exists.
    virtual std::string windowText(WindowHandle window, std::size_t bufferChars) = 0;
    // The id of the process that created the window; 0 when the window is gone.
    virtual std::uint32_t windowProcessId(WindowHandle window) = 0;
    virtual bool windowExists(WindowHandle window) = 0;
    // A top-level window of that process with that class (and, when given, that caption); 0 when
    // it has none. An empty class matches any class.
    virtual WindowHandle findWindowOfProcess(std::uint32_t processId, const std::string& windowClass,
                                             const std::optional<std::string>& caption) = 0;
    virtual std::uint32_t windowStyle(WindowHandle window) = 0;
    virtual void setWindowStyle(WindowHandle window, std::uint32_t style) = 0;
    // Moves the window to the screen's top-left corner at the top of the Z order, keeps its outer
    // size, and has its frame recomputed after a style change.
    virtual void moveToTopLeftWithNewFrame(WindowHandle window) = 0;
    // The window's client area on the desktop, in physical pixels; none when the window is gone,
    // empty while it is minimised.
    virtual std::optional<PixelRect> clientAreaOnDesktop(WindowHandle window) = 0;
    // The rectangle that holds every monitor.
    virtual PixelRect virtualDesktop() = 0;
    // The monitor that holds most of the window; the primary screen for no window.
    virtual PixelRect monitorOf(WindowHandle window) = 0;
    // Posts the quit message (WM_QUIT, wParam 0) to the window's thread.
    virtual void postQuit(WindowHandle window) = 0;
    // Makes the window the foreground one, restored when minimised, as the player would click it.
    virtual void bringToFront(WindowHandle window) = 0;
};

}  // namespace vt2
