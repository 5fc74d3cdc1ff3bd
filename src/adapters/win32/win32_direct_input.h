#pragma once
// Joysticks through DirectInput 8, called from C++.

#define DIRECTINPUT_VERSION 0x0800
#include <windows.h>
#include <dinput.h>

#include <array>
#include <vector>

#include "platform/joystick_system.h"
#include "adapters/win32/unique_handle.h"

namespace vt2::win32 {

// A small owner of a COM interface pointer.
template <typename T>
class com_ptr {
public:
    com_ptr() = default;
    ~com_ptr() { reset(); }
    com_ptr(const com_ptr&) = delete;
    com_ptr& operator=(const com_ptr&) = delete;
    T* get() const { return p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }
    T** put() {
        reset();
        return &p_;
    }
    void reset() {
        if (p_) p_->Release();
        p_ = nullptr;
    }

private:
    T* p_ = nullptr;
};

class Win32DirectInput final : public JoystickSystem {
public:
    explicit Win32DirectInput(HWND window) : window_(window) {}

    bool createDirectX() override;
    bool createDirectInput() override;
    void release() override;
    int attachedControllers() override;
    std::vector<JoystickDescription> describeControllers() override;
    std::array<std::uintptr_t, 2> createEvents() override;
    void unacquire(std::size_t player) override;
    void forget(std::size_t player) override;
    bool createDevice(std::size_t player, int joyId) override;
    AxisFlags identifyAxes(std::size_t player) override;
    void attachEvent(std::size_t player) override;
    void setRange(std::size_t player, std::int32_t minimum, std::int32_t maximum) override;
    void acquire(std::size_t player) override;
    bool poll(std::size_t player) override;
    JoystickRead readState(std::size_t player, JoystickState& state) override;
    std::vector<std::uintptr_t> signalledEvents() override;

private:
    HWND window_;
    com_ptr<IDirectInput8A> directInput_;
    std::vector<GUID> controllers_;
    std::array<com_ptr<IDirectInputDevice8A>, 2> devices_;
    std::array<unique_kernel_handle, 2> events_;
};

}  // namespace vt2::win32
