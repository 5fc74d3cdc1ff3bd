#include "adapters/win32/win32_raw_input.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

// The HID header has no C++ linkage of its own.
extern "C" {
#include <hidsdi.h>
}

#include "input/raw_input_record.h"
#include "adapters/win32/unique_handle.h"

namespace vt2::win32 {

namespace {
// The portable reader of the records knows this program's layout.
constexpr RawInputLayout kLayout = sizeof(void*) == 8 ? RawInputLayout::Bits64 : RawInputLayout::Bits32;
constexpr std::size_t kHeader = RawInputHeaderBytes(kLayout);
static_assert(sizeof(RAWINPUTHEADER) == kHeader);
static_assert(offsetof(RAWINPUT, data.mouse.usFlags) == kHeader);
static_assert(offsetof(RAWINPUT, data.mouse.ulButtons) == kHeader + 4);
static_assert(offsetof(RAWINPUT, data.mouse.lLastX) == kHeader + 12);
static_assert(offsetof(RAWINPUT, data.mouse.ulExtraInformation) == kHeader + 20);
static_assert(sizeof(RAWINPUTHEADER) + sizeof(RAWMOUSE) == RawMouseRecordBytes(kLayout));

// The window property through which the replaced procedure finds its adapter.
constexpr const char* kAdapterProperty = "VT2.RawInput";
}  // namespace

namespace {

std::string DevicePath(HANDLE device) {
    UINT chars = 0;
    if (GetRawInputDeviceInfoA(device, RIDI_DEVICENAME, nullptr, &chars) != 0 || chars == 0) return {};
    std::vector<char> name(chars + 1, '\0');
    if (GetRawInputDeviceInfoA(device, RIDI_DEVICENAME, name.data(), &chars) == static_cast<UINT>(-1)) return {};
    std::string path(name.data());
    // Some systems give the path with "\\??\\" in front; the interface path has "\\?\\".
    if (path.size() > 4 && path.compare(0, 4, "\\\\??\\") == 0) path[1] = '\\';
    return path;
}

// The HID product string, read without any access to the device's data: what Windows shows as
// the device's name. Empty for a device that is not HID or gives none.
std::string ProductName(const std::string& path) {
    if (path.empty()) return {};
    unique_file_handle device(CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!device) return {};
    wchar_t text[127] = {};  // the longest string a HID device can hold
    if (!HidD_GetProductString(device.get(), text, sizeof text - sizeof(wchar_t))) return {};
    char narrow[512] = {};
    const int bytes = WideCharToMultiByte(CP_ACP, 0, text, -1, narrow, sizeof narrow, nullptr, nullptr);
    return bytes > 0 ? std::string(narrow) : std::string();
}

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
        RawInputDevice d;
        d.handle = static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(list[i].hDevice));
        d.type = static_cast<std::uint32_t>(list[i].dwType);
        if (d.type == kRawInputTypeMouse) {
            d.path = DevicePath(list[i].hDevice);
            d.productName = ProductName(d.path);
        }
        devices.push_back(std::move(d));
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
    reporting_ = this;
    previous_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Win32RawInput::RawInputWindowProc)));
}

void Win32RawInput::stopReports() {
    if (!previous_) return;
    SetWindowLongPtrA(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous_));
    RemovePropA(window_, kAdapterProperty);
    if (reporting_ == this) reporting_ = nullptr;
    previous_ = nullptr;
    sink_ = nullptr;
}

LRESULT CALLBACK Win32RawInput::RawInputWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reporting_ && reporting_->window_ == window ? reporting_
                                                             : static_cast<Win32RawInput*>(GetPropA(window, kAdapterProperty));
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
        got == static_cast<UINT>(-1) ? RawInputRecord{} : ReadRawInputRecord(buffer.data(), std::min<std::size_t>(got, size), kLayout);
    if (record.kind != RawInputKind::Mouse) return CallWindowProcA(self->previous_, window, message, wParam, lParam);
    DefWindowProcA(window, message, wParam, lParam);  // lets the system clean up the report
    // A sink that runs a message loop while it takes a report gets the reports that loop brings
    // after the one in hand, in order, not inside it.
    self->waiting_.push_back(record.report);
    if (self->delivering_) return 0;
    self->delivering_ = true;
    while (!self->waiting_.empty() && self->sink_) {
        const RawMouseReport next = self->waiting_.front();
        self->waiting_.pop_front();
        self->sink_->onMouseReport(next);
    }
    self->waiting_.clear();  // the sink stopped listening meanwhile
    self->delivering_ = false;
    return 0;
}

}  // namespace vt2::win32
