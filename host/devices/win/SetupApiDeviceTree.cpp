// The device tree read with SetupAPI (which disk interface is which disk number) and the
// configuration manager (parents and properties). Built only for Windows.
// clang-format off
#include <windows.h>
#include <initguid.h>
#include <devpkey.h>
#include <setupapi.h>
#include <cfgmgr32.h>
#include <winioctl.h>
// clang-format on

#include <vector>

#include "host/devices/win/DeviceTree.h"

namespace host::win_drives {

namespace {

std::string utf8(const wchar_t* text) {
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (bytes <= 1) {
        return {};
    }
    std::string out(static_cast<std::size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), bytes, nullptr, nullptr);
    out.resize(static_cast<std::size_t>(bytes) - 1);
    return out;
}

std::string instanceId(DEVINST node) {
    char id[MAX_DEVICE_ID_LEN + 1] = {};
    return CM_Get_Device_IDA(node, id, MAX_DEVICE_ID_LEN, 0) == CR_SUCCESS ? std::string(id) : std::string();
}

bool locate(const std::string& id, DEVINST& node) {
    std::string copy = id;
    return CM_Locate_DevNodeA(&node, copy.data(), CM_LOCATE_DEVNODE_NORMAL) == CR_SUCCESS;
}

// The disk number of the disk interface at path; -1 when it cannot be read.
long diskNumberOf(const wchar_t* path) {
    const HANDLE handle =
        CreateFileW(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return -1;
    }
    STORAGE_DEVICE_NUMBER number{};
    DWORD returned = 0;
    const BOOL read = DeviceIoControl(handle, IOCTL_STORAGE_GET_DEVICE_NUMBER, nullptr, 0, &number, sizeof(number),
                                      &returned, nullptr);
    CloseHandle(handle);
    return read && returned >= sizeof(number) ? static_cast<long>(number.DeviceNumber) : -1;
}

class SetupApiDeviceTree : public DeviceTree {
public:
    std::string diskNode(uint32_t diskNumber) override {
        const HDEVINFO set =
            SetupDiGetClassDevsW(&GUID_DEVINTERFACE_DISK, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
        if (set == INVALID_HANDLE_VALUE) {
            return {};
        }
        std::string found;
        SP_DEVICE_INTERFACE_DATA face{};
        face.cbSize = sizeof(face);
        for (DWORD index = 0; found.empty() && SetupDiEnumDeviceInterfaces(set, nullptr, &GUID_DEVINTERFACE_DISK,
                                                                            index, &face);
             ++index) {
            DWORD needed = 0;
            SetupDiGetDeviceInterfaceDetailW(set, &face, nullptr, 0, &needed, nullptr);
            if (needed < sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W)) {
                continue;
            }
            std::vector<uint8_t> buffer(needed);
            auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_W*>(buffer.data());
            detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W);
            SP_DEVINFO_DATA device{};
            device.cbSize = sizeof(device);
            if (SetupDiGetDeviceInterfaceDetailW(set, &face, detail, needed, nullptr, &device) &&
                diskNumberOf(detail->DevicePath) == static_cast<long>(diskNumber)) {
                found = instanceId(device.DevInst);
            }
        }
        SetupDiDestroyDeviceInfoList(set);
        return found;
    }

    std::string parentOf(const std::string& node) override {
        DEVINST child = 0;
        DEVINST parent = 0;
        if (!locate(node, child) || CM_Get_Parent(&parent, child, 0) != CR_SUCCESS) {
            return {};
        }
        return instanceId(parent);
    }

    std::string property(const std::string& node, NodeProperty which) override {
        DEVINST instance = 0;
        if (!locate(node, instance)) {
            return {};
        }
        const DEVPROPKEY* key = &DEVPKEY_Device_DriverVersion;
        switch (which) {
            case NodeProperty::setupClass: key = &DEVPKEY_Device_Class; break;
            case NodeProperty::service: key = &DEVPKEY_Device_Service; break;
            case NodeProperty::driverProvider: key = &DEVPKEY_Device_DriverProvider; break;
            case NodeProperty::driverVersion: key = &DEVPKEY_Device_DriverVersion; break;
        }
        DEVPROPTYPE type = 0;
        ULONG size = 0;
        if (CM_Get_DevNode_PropertyW(instance, key, &type, nullptr, &size, 0) != CR_BUFFER_SMALL ||
            type != DEVPROP_TYPE_STRING || size < sizeof(wchar_t)) {
            return {};
        }
        std::vector<wchar_t> text(size / sizeof(wchar_t) + 1, L'\0');
        if (CM_Get_DevNode_PropertyW(instance, key, &type, reinterpret_cast<PBYTE>(text.data()), &size, 0) !=
            CR_SUCCESS) {
            return {};
        }
        text.back() = L'\0';
        return utf8(text.data());
    }
};

}  // namespace

std::unique_ptr<DeviceTree> systemDeviceTree() { return std::make_unique<SetupApiDeviceTree>(); }

}  // namespace host::win_drives
