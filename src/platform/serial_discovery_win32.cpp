#include <algorithm>
#include <functional>
#include <string>
#include <thread>

#include "platform/serial_discovery.h"
#include "platform/usb_hardware_id.h"
#include "platform/win32_api.h"
#include "platform/win32_text.h"

namespace sondrix {

namespace {

// The registry keys where the serial drivers list the COM ports present.
constexpr const wchar_t* kDeviceMap = L"HARDWARE\\DEVICEMAP";
constexpr const wchar_t* kSerialComm = L"HARDWARE\\DEVICEMAP\\SERIALCOMM";

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
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kSerialComm, 0, KEY_READ, &key) != ERROR_SUCCESS) {
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

// The serial drivers list every COM port present under SERIALCOMM, so a
// change of that key is a port coming or going. Until a first port makes
// the key, its parent is watched for it.
struct CSerialPortMonitor::SState {
    HANDLE changed = nullptr;
    HANDLE stop = nullptr;
    std::thread thread;

    ~SState() {
        for (HANDLE event : {changed, stop}) {
            if (event != nullptr) {
                ::CloseHandle(event);
            }
        }
    }

    // Asks for the next change; the request lasts while this thread lives.
    HKEY Arm() {
        HKEY key = nullptr;
        bool subtree = false;
        if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kSerialComm, 0, KEY_NOTIFY, &key) !=
            ERROR_SUCCESS) {
            subtree = true;
            if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kDeviceMap, 0, KEY_NOTIFY, &key) !=
                ERROR_SUCCESS) {
                return nullptr;
            }
        }
        if (::RegNotifyChangeKeyValue(key, subtree ? TRUE : FALSE,
                                      REG_NOTIFY_CHANGE_NAME | REG_NOTIFY_CHANGE_LAST_SET, changed,
                                      TRUE) != ERROR_SUCCESS) {
            ::RegCloseKey(key);
            return nullptr;
        }
        return key;
    }

    void Run(CMessageLoop& loop, HWND window, uint32_t message) {
        const HANDLE events[2] = {stop, changed};
        for (;;) {
            const HKEY key = Arm();
            if (key == nullptr) {
                return;
            }
            const DWORD woken = ::WaitForMultipleObjects(2, events, FALSE, INFINITE);
            ::RegCloseKey(key);
            if (woken != WAIT_OBJECT_0 + 1) {
                return;
            }
            loop.Post(window, message);
        }
    }
};

CSerialPortMonitor::StatePtr CSerialPortMonitor::Watch(std::string& error) {
    auto state = std::make_unique<SState>();
    state->changed = ::CreateEventW(nullptr, FALSE, FALSE, nullptr);
    state->stop = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (state->changed == nullptr || state->stop == nullptr) {
        error = "cannot watch for serial ports: " + SystemErrorText(::GetLastError());
        return nullptr;
    }
    HKEY probe = nullptr;
    const LONG opened = ::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kDeviceMap, 0, KEY_NOTIFY, &probe);
    if (opened != ERROR_SUCCESS) {
        error = "cannot watch for serial ports: " + SystemErrorText(static_cast<DWORD>(opened));
        return nullptr;
    }
    ::RegCloseKey(probe);
    state->thread = std::thread(&SState::Run, state.get(), std::ref(m_loop), m_window, m_message);
    return StatePtr(state.release());
}

void CSerialPortMonitor::SStateEnd::operator()(SState* state) const {
    if (state->thread.joinable()) {
        ::SetEvent(state->stop);
        state->thread.join();
    }
    delete state;
}

}  // namespace sondrix
