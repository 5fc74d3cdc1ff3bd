#pragma once
// The calibration's window: borderless, above every other, over one monitor; black, with the
// target in white rings, the device's mark in green and the text in the middle.

#include <windows.h>

#include "adapters/win32/unique_handle.h"
#include "platform/target_screen.h"

namespace vt2::win32 {

inline constexpr const char* kTargetScreenCaption = "VT2 Calibration";

class Win32TargetScreen final : public TargetScreen {
public:
    explicit Win32TargetScreen(HINSTANCE instance) : instance_(instance) {}
    void open(const PixelRect& monitor, TargetScreenKeys& keys) override;
    void show(const TargetScreenView& view) override;
    void close() override;

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void paint(HDC dc) const;
    void invalidateMark(const std::optional<DesktopPixel>& mark) const;
    static constexpr int kMarkReach = 16;  // the mark's square: this many pixels each way
    POINT inWindow(DesktopPixel pixel) const { return {pixel.x - monitor_.left, pixel.y - monitor_.top}; }

    HINSTANCE instance_;
    unique_window window_;
    PixelRect monitor_;
    TargetScreenKeys* keys_ = nullptr;
    TargetScreenView view_;
};

}  // namespace vt2::win32
