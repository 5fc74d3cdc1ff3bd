#include "platform/win32/win32_raw_input.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "input/raw_input_record.h"

namespace vt2::win32 {

namespace {
// The portable reader of the records knows the 32-bit layout.
static_assert(sizeof(RAWINPUTHEADER) == kRawInputHeaderBytes);
static_assert(offsetof(RAWINPUT, data.mouse.usFlags) == 16);
static_assert(offsetof(RAWINPUT, data.mouse.ulButtons) == 20);
static_assert(offsetof(RAWINPUT, data.mouse.lLastX) == 28);
static_assert(offsetof(RAWINPUT, data.mouse.ulExtraInformation) == 36);
static_assert(sizeof(RAWINPUTHEADER) + sizeof(RAWMOUSE) == kRawMouseRecordBytes);

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
    if (GetRawInputData(input, RID_INPUT, nullptr, &size, sizeof(RAWINPUTHEADER)) != 0 || size == 0) {
        return CallWindowProcA(self->previous_, window, message, wParam, lParam);
    }
    std::vector<std::uint8_t> buffer(size);
    const UINT got = GetRawInputData(input, RID_INPUT, buffer.data(), &size, sizeof(RAWINPUTHEADER));
    // Every size is checked before a byte of the record is read.
    const RawInputRecord record =
        got == static_cast<UINT>(-1) ? RawInputRecord{} : ReadRawInputRecord(buffer.data(), std::min<std::size_t>(got, size));
    if (record.kind != RawInputKind::Mouse) return CallWindowProcA(self->previous_, window, message, wParam, lParam);
    self->sink_->onMouseReport(record.report);
    DefWindowProcA(window, message, wParam, lParam);  // lets the system clean up the report
    return 0;
}

}  // namespace vt2::win32
