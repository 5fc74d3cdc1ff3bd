#include "platform/win32/win32_raw_input.h"

#include <vector>

namespace vt2::win32 {

namespace {
// The window property through which the replaced procedure finds its adapter.
constexpr const char* kAdapterProperty = "VT2.RawInput";
}  // namespace

std::optional<std::vector<RawInputDevice>> Win32RawInput::deviceList() {
    UINT count = 0;
    if (GetRawInputDeviceList(nullptr, &count, sizeof(RAWINPUTDEVICELIST)) != 0) return std::nullopt;
    std::vector<RAWINPUTDEVICELIST> list(count);
    std::vector<RawInputDevice> devices;
    if (count == 0) return devices;
    const UINT got = GetRawInputDeviceList(list.data(), &count, sizeof(RAWINPUTDEVICELIST));
    if (got == static_cast<UINT>(-1)) return std::nullopt;
    for (UINT i = 0; i < got; ++i) {
        devices.push_back({static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(list[i].hDevice)),
                           static_cast<std::uint32_t>(list[i].dwType)});
    }
    return devices;
}

bool Win32RawInput::registerMice() {
    RAWINPUTDEVICE mice{};
    mice.usUsagePage = 1;  // generic desktop
    mice.usUsage = 2;      // mouse
    mice.dwFlags = RIDEV_INPUTSINK;
    mice.hwndTarget = window_;
    return RegisterRawInputDevices(&mice, 1, sizeof mice) != FALSE;
}

void Win32RawInput::startReports(RawMouseReportSink& sink) {
    if (previous_) return;  // never replace the procedure twice
    sink_ = &sink;
    SetPropA(window_, kAdapterProperty, this);
    previous_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Win32RawInput::RawInputWindowProc)));
}

void Win32RawInput::stopReports() {
    if (!previous_) return;
    SetWindowLongPtrA(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous_));
    RemovePropA(window_, kAdapterProperty);
    previous_ = nullptr;
    sink_ = nullptr;
}

LRESULT CALLBACK Win32RawInput::RawInputWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = static_cast<Win32RawInput*>(GetPropA(window, kAdapterProperty));
    if (!self || !self->previous_) return DefWindowProcA(window, message, wParam, lParam);
    if (message != WM_INPUT) return CallWindowProcA(self->previous_, window, message, wParam, lParam);

    UINT size = 0;
    const auto input = reinterpret_cast<HRAWINPUT>(lParam);
    GetRawInputData(input, RID_INPUT, nullptr, &size, sizeof(RAWINPUTHEADER));
    std::vector<BYTE> buffer(size);
    if (size < sizeof(RAWINPUTHEADER) ||
        GetRawInputData(input, RID_INPUT, buffer.data(), &size, sizeof(RAWINPUTHEADER)) != size) {
        return CallWindowProcA(self->previous_, window, message, wParam, lParam);
    }
    const auto* raw = reinterpret_cast<const RAWINPUT*>(buffer.data());
    if (raw->header.dwType != RIM_TYPEMOUSE) return CallWindowProcA(self->previous_, window, message, wParam, lParam);

    RawMouseReport report;
    report.type = raw->header.dwType;
    report.device = static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(raw->header.hDevice));
    report.flags = raw->data.mouse.usFlags;
    report.buttons = raw->data.mouse.ulButtons;
    report.rawButtons = raw->data.mouse.ulRawButtons;
    report.lastX = raw->data.mouse.lLastX;
    report.lastY = raw->data.mouse.lLastY;
    self->sink_->onMouseReport(report);
    DefWindowProcA(window, message, wParam, lParam);  // lets the system clean up the report
    return 0;
}

}  // namespace vt2::win32
