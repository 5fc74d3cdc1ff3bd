#pragma once

#include "platform/window_system.h"

namespace vt2::win32 {

class Win32WindowSystem final : public WindowSystem {
public:
    WindowHandle findWindow(const std::string& windowClass, const std::optional<std::string>& caption) override;
    std::string windowText(WindowHandle window, std::size_t bufferChars) override;
    std::uint32_t windowProcessId(WindowHandle window) override;
    bool windowExists(WindowHandle window) override;
    WindowHandle findWindowOfProcess(std::uint32_t processId, const std::string& windowClass,
                                     const std::optional<std::string>& caption) override;
    std::uint32_t windowStyle(WindowHandle window) override;
    void setWindowStyle(WindowHandle window, std::uint32_t style) override;
    void moveToTopLeftWithNewFrame(WindowHandle window) override;
    std::optional<PixelRect> clientAreaOnDesktop(WindowHandle window) override;
    PixelRect virtualDesktop() override;
    PixelRect monitorOf(WindowHandle window) override;
    void postQuit(WindowHandle window) override;
    void bringToFront(WindowHandle window) override;
};

}  // namespace vt2::win32
