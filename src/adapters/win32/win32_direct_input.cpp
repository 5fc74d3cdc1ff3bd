#include "adapters/win32/win32_direct_input.h"

namespace vt2::win32 {

namespace {

BOOL CALLBACK CollectController(LPCDIDEVICEINSTANCEA instance, LPVOID list) {
    static_cast<std::vector<GUID>*>(list)->push_back(instance->guidInstance);
    return DIENUM_CONTINUE;
}

BOOL CALLBACK DescribeController(LPCDIDEVICEINSTANCEA instance, LPVOID list) {
    static_cast<std::vector<DIDEVICEINSTANCEA>*>(list)->push_back(*instance);
    return DIENUM_CONTINUE;
}

BOOL CALLBACK MarkAxis(LPCDIDEVICEOBJECTINSTANCEA object, LPVOID flags) {
    AxisFlags& axes = *static_cast<AxisFlags*>(flags);
    const GUID& type = object->guidType;
    if (IsEqualGUID(type, GUID_XAxis)) axes[1] = true;
    if (IsEqualGUID(type, GUID_YAxis)) axes[2] = true;
    if (IsEqualGUID(type, GUID_ZAxis)) axes[3] = true;
    if (IsEqualGUID(type, GUID_RxAxis)) axes[4] = true;
    if (IsEqualGUID(type, GUID_RyAxis)) axes[5] = true;
    if (IsEqualGUID(type, GUID_RzAxis)) axes[6] = true;
    if (IsEqualGUID(type, GUID_Slider)) axes[7] = axes[8] = true;
    return DIENUM_CONTINUE;
}

}  // namespace

// The DirectInput object is the root of everything joysticks need here; there is no separate
// automation root object in C++.
bool Win32DirectInput::createDirectX() { return true; }

bool Win32DirectInput::createDirectInput() {
    if (directInput_) return true;
    return SUCCEEDED(DirectInput8Create(GetModuleHandleA(nullptr), DIRECTINPUT_VERSION, IID_IDirectInput8A,
                                        reinterpret_cast<void**>(directInput_.put()), nullptr));
}

void Win32DirectInput::release() {
    for (auto& device : devices_) {
        if (device) device->Unacquire();
        device.reset();
    }
    directInput_.reset();
    for (auto& event : events_) event.reset();
}

int Win32DirectInput::attachedControllers() {
    controllers_.clear();
    if (!directInput_) return 0;
    directInput_->EnumDevices(DI8DEVCLASS_GAMECTRL, CollectController, &controllers_, DIEDFL_ATTACHEDONLY);
    return static_cast<int>(controllers_.size());
}

std::vector<JoystickDescription> Win32DirectInput::describeControllers() {
    std::vector<JoystickDescription> described;
    if (!createDirectInput()) return described;
    std::vector<DIDEVICEINSTANCEA> found;
    directInput_->EnumDevices(DI8DEVCLASS_GAMECTRL, DescribeController, &found, DIEDFL_ATTACHEDONLY);
    for (const DIDEVICEINSTANCEA& instance : found) {
        JoystickDescription d;
        d.name = instance.tszProductName;
        // A HID controller's product GUID holds its ids: the vendor in the low word, the product above.
        d.vendorId = LOWORD(instance.guidProduct.Data1);
        d.productId = HIWORD(instance.guidProduct.Data1);
        com_ptr<IDirectInputDevice8A> device;
        if (SUCCEEDED(directInput_->CreateDevice(instance.guidInstance, device.put(), nullptr))) {
            DIPROPGUIDANDPATH property{};
            property.diph.dwSize = sizeof property;
            property.diph.dwHeaderSize = sizeof property.diph;
            property.diph.dwHow = DIPH_DEVICE;
            if (SUCCEEDED(device->GetProperty(DIPROP_GUIDANDPATH, &property.diph))) {
                char path[MAX_PATH] = {};
                WideCharToMultiByte(CP_ACP, 0, property.wszPath, -1, path, sizeof path, nullptr, nullptr);
                d.path = path;
            }
        }
        described.push_back(std::move(d));
    }
    return described;
}

std::array<std::uintptr_t, 2> Win32DirectInput::createEvents() {
    for (auto& event : events_) event.reset(CreateEventA(nullptr, FALSE, FALSE, nullptr));
    return {reinterpret_cast<std::uintptr_t>(events_[0].get()), reinterpret_cast<std::uintptr_t>(events_[1].get())};
}

void Win32DirectInput::unacquire(std::size_t player) {
    if (devices_[player]) devices_[player]->Unacquire();
}

void Win32DirectInput::forget(std::size_t player) { devices_[player].reset(); }

bool Win32DirectInput::createDevice(std::size_t player, int joyId) {
    if (!directInput_ || joyId < 1 || static_cast<std::size_t>(joyId) > controllers_.size()) return false;
    com_ptr<IDirectInputDevice8A>& device = devices_[player];
    if (FAILED(directInput_->CreateDevice(controllers_[static_cast<std::size_t>(joyId - 1)], device.put(), nullptr))) {
        return false;
    }
    device->SetDataFormat(&c_dfDIJoystick);
    device->SetCooperativeLevel(window_, DISCL_BACKGROUND | DISCL_NONEXCLUSIVE);
    return true;
}

AxisFlags Win32DirectInput::identifyAxes(std::size_t player) {
    AxisFlags axes{};
    if (devices_[player]) devices_[player]->EnumObjects(MarkAxis, &axes, DIDFT_AXIS);
    return axes;
}

void Win32DirectInput::attachEvent(std::size_t player) {
    if (devices_[player]) devices_[player]->SetEventNotification(events_[player].get());
}

void Win32DirectInput::setRange(std::size_t player, std::int32_t minimum, std::int32_t maximum) {
    if (!devices_[player]) return;
    DIPROPRANGE range{};
    range.diph.dwSize = sizeof range;
    range.diph.dwHeaderSize = sizeof range.diph;
    range.diph.dwObj = 0;
    range.diph.dwHow = DIPH_DEVICE;
    range.lMin = minimum;
    range.lMax = maximum;
    devices_[player]->SetProperty(DIPROP_RANGE, &range.diph);
}

void Win32DirectInput::acquire(std::size_t player) {
    if (devices_[player]) devices_[player]->Acquire();
}

bool Win32DirectInput::poll(std::size_t player) {
    return devices_[player] && SUCCEEDED(devices_[player]->Poll());
}

JoystickRead Win32DirectInput::readState(std::size_t player, JoystickState& state) {
    if (!devices_[player]) return JoystickRead::Failed;
    DIJOYSTATE joystick{};
    const HRESULT result = devices_[player]->GetDeviceState(sizeof joystick, &joystick);
    if (result == DIERR_INPUTLOST) return JoystickRead::InputLost;
    if (result == DIERR_NOTACQUIRED) return JoystickRead::NotAcquired;
    if (FAILED(result)) return JoystickRead::Failed;
    state.axes = {joystick.lX, joystick.lY, joystick.lZ, joystick.lRx, joystick.lRy, joystick.lRz};
    for (std::size_t i = 0; i < state.buttons.size(); ++i) state.buttons[i] = joystick.rgbButtons[i];
    return JoystickRead::Ok;
}

std::vector<std::uintptr_t> Win32DirectInput::signalledEvents() {
    std::vector<std::uintptr_t> signalled;
    for (const auto& event : events_) {
        if (event && WaitForSingleObject(event.get(), 0) == WAIT_OBJECT_0) {
            signalled.push_back(reinterpret_cast<std::uintptr_t>(event.get()));
        }
    }
    return signalled;
}

}  // namespace vt2::win32
