#include "adapters/win32/win32_serial_port_list.h"

#include <windows.h>
#include <initguid.h>
#include <devguid.h>
#include <setupapi.h>
#include <cfgmgr32.h>

#include <string>

#include "adapters/win32/unique_handle.h"

namespace vt2::win32 {

namespace {

struct DeviceListTraits {
    using pointer = HDEVINFO;
    static pointer invalid() { return INVALID_HANDLE_VALUE; }
    static bool valid(pointer h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void close(pointer h) { SetupDiDestroyDeviceInfoList(h); }
};

struct RegistryKeyTraits {
    using pointer = HKEY;
    static pointer invalid() { return nullptr; }
    static bool valid(pointer h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void close(pointer h) { RegCloseKey(h); }
};

// The port's "COM<n>" from its device key; 0 for any other name (LPT, a modem's own).
int ComNumberOf(HDEVINFO list, SP_DEVINFO_DATA& device) {
    const unique_handle<RegistryKeyTraits> key(SetupDiOpenDevRegKey(list, &device, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_READ));
    if (!key) return 0;
    char name[32] = {};
    DWORD size = sizeof name - 1;
    DWORD type = 0;
    if (RegQueryValueExA(key.get(), "PortName", nullptr, &type, reinterpret_cast<BYTE*>(name), &size) != ERROR_SUCCESS || type != REG_SZ) {
        return 0;
    }
    const std::string text(name);
    if (text.size() < 4 || _strnicmp(text.c_str(), "COM", 3) != 0) return 0;
    int number = 0;
    for (char c : text.substr(3)) {
        if (c < '0' || c > '9' || number > 255) return 0;
        number = number * 10 + (c - '0');
    }
    return number;
}

}  // namespace

std::vector<ListedSerialPort> ListSerialPorts() {
    std::vector<ListedSerialPort> ports;
    const unique_handle<DeviceListTraits> list(SetupDiGetClassDevsA(&GUID_DEVCLASS_PORTS, nullptr, nullptr, DIGCF_PRESENT));
    if (!list) return ports;
    SP_DEVINFO_DATA device{};
    device.cbSize = sizeof device;
    for (DWORD i = 0; SetupDiEnumDeviceInfo(list.get(), i, &device); ++i) {
        ListedSerialPort port;
        port.com = ComNumberOf(list.get(), device);
        if (port.com == 0) continue;
        char id[MAX_DEVICE_ID_LEN + 1] = {};
        if (SetupDiGetDeviceInstanceIdA(list.get(), &device, id, sizeof id, nullptr)) port.instanceIds.emplace_back(id);
        DEVINST parent = 0;
        char parentId[MAX_DEVICE_ID_LEN + 1] = {};
        if (CM_Get_Parent(&parent, device.DevInst, 0) == CR_SUCCESS && CM_Get_Device_IDA(parent, parentId, MAX_DEVICE_ID_LEN, 0) == CR_SUCCESS) {
            port.instanceIds.emplace_back(parentId);
        }
        ports.push_back(std::move(port));
    }
    return ports;
}

}  // namespace vt2::win32
