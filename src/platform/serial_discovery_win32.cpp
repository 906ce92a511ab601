#include <windows.h>
// After <windows.h>, which they need.
#include <setupapi.h>

#include <algorithm>
#include <string>

#include "platform/serial_discovery.h"
#include "platform/usb_hardware_id.h"
#include "platform/win32_text.h"

namespace sondrix {

namespace {

// GUID_DEVINTERFACE_COMPORT: the device interface of every COM port.
constexpr GUID kComPortInterface = {
    0x86E0D1E0, 0x8089, 0x11D0, {0x9C, 0xE4, 0x08, 0x00, 0x3E, 0x30, 0x1F, 0x73}};

std::string RegistryText(HDEVINFO devices, SP_DEVINFO_DATA& device, DWORD property) {
    wchar_t buffer[512] = {};
    if (!::SetupDiGetDeviceRegistryPropertyW(devices, &device, property, nullptr,
                                             reinterpret_cast<BYTE*>(buffer), sizeof buffer - 2,
                                             nullptr)) {
        return {};
    }
    return Utf8FromWide(buffer);
}

std::string PortNameOf(HDEVINFO devices, SP_DEVINFO_DATA& device) {
    const HKEY key =
        ::SetupDiOpenDevRegKey(devices, &device, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_READ);
    if (key == INVALID_HANDLE_VALUE) {
        return {};
    }
    wchar_t name[64] = {};
    DWORD size = sizeof name - 2;
    DWORD type = 0;
    const LONG read =
        ::RegQueryValueExW(key, L"PortName", nullptr, &type, reinterpret_cast<BYTE*>(name), &size);
    ::RegCloseKey(key);
    return read == ERROR_SUCCESS && type == REG_SZ ? Utf8FromWide(name) : std::string();
}

// The ports Plug and Play knows, with their friendly names and USB ids.
void AddPlugAndPlayPorts(std::vector<SSerialPortInfo>& ports) {
    const HDEVINFO devices = ::SetupDiGetClassDevsW(&kComPortInterface, nullptr, nullptr,
                                                    DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
    if (devices == INVALID_HANDLE_VALUE) {
        return;
    }
    SP_DEVINFO_DATA device{};
    device.cbSize = sizeof device;
    for (DWORD i = 0; ::SetupDiEnumDeviceInfo(devices, i, &device); ++i) {
        SSerialPortInfo port;
        port.node = PortNameOf(devices, device);
        if (port.node.empty()) {
            continue;
        }
        port.product = RegistryText(devices, device, SPDRP_FRIENDLYNAME);
        port.manufacturer = RegistryText(devices, device, SPDRP_MFG);
        port.driver = RegistryText(devices, device, SPDRP_SERVICE);
        wchar_t instance[512] = {};
        if (::SetupDiGetDeviceInstanceIdW(devices, &device, instance, 511, nullptr)) {
            const SUsbHardwareId usb = ParseUsbInstanceId(Utf8FromWide(instance));
            port.vendorId = usb.vendorId;
            port.productId = usb.productId;
            port.serial = usb.serial;
        }
        ports.push_back(std::move(port));
    }
    ::SetupDiDestroyDeviceInfoList(devices);
}

// Ports the serial drivers announce that Plug and Play did not list (legacy
// ports, virtual ones).
void AddAnnouncedPorts(std::vector<SSerialPortInfo>& ports) {
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_READ,
                        &key) != ERROR_SUCCESS) {
        return;
    }
    for (DWORD i = 0;; ++i) {
        wchar_t device[256] = {};
        wchar_t name[64] = {};
        DWORD deviceLength = 255;
        DWORD nameSize = sizeof name - 2;
        DWORD type = 0;
        const LONG read = ::RegEnumValueW(key, i, device, &deviceLength, nullptr, &type,
                                          reinterpret_cast<BYTE*>(name), &nameSize);
        if (read == ERROR_NO_MORE_ITEMS) {
            break;
        }
        if (read != ERROR_SUCCESS || type != REG_SZ) {
            continue;
        }
        const std::string node = Utf8FromWide(name);
        const bool known =
            std::any_of(ports.begin(), ports.end(),
                        [&](const SSerialPortInfo& port) { return port.node == node; });
        if (!known) {
            SSerialPortInfo port;
            port.node = node;
            port.driver = Utf8FromWide(device);  // the kernel device, "\Device\Serial0"
            ports.push_back(std::move(port));
        }
    }
    ::RegCloseKey(key);
}

}  // namespace

std::vector<SSerialPortInfo> DiscoverSerialPorts() {
    std::vector<SSerialPortInfo> ports;
    AddPlugAndPlayPorts(ports);
    AddAnnouncedPorts(ports);
    // COM2 before COM10.
    std::sort(ports.begin(), ports.end(), [](const SSerialPortInfo& a, const SSerialPortInfo& b) {
        return a.node.size() != b.node.size() ? a.node.size() < b.node.size() : a.node < b.node;
    });
    return ports;
}

}  // namespace sondrix
