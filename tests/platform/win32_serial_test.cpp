// The Win32 serial device where no module is needed: port names, and what an
// open of a port that is not there reports. The line itself is tested end to
// end against hlxsim under Wine (tests/windows).
#include "platform/win32_serial.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "platform/port_map.h"
#include "platform/serial_discovery.h"
#include "platform/system_serial.h"
#include "platform/win32_api.h"
#include "platform/win32_text.h"

namespace sondrix {
namespace {

TEST(Win32SerialTest, EveryComPortIsReachedThroughTheDeviceNamespace) {
    EXPECT_EQ(CWin32Serial::DeviceName("COM1"), "\\\\.\\COM1");
    // COM10 and above exist only as \\.\COMn.
    EXPECT_EQ(CWin32Serial::DeviceName("COM12"), "\\\\.\\COM12");
    EXPECT_EQ(CWin32Serial::DeviceName("COM256"), "\\\\.\\COM256");
    // Full device names and other names stay as they are.
    EXPECT_EQ(CWin32Serial::DeviceName("\\\\.\\CNCA0"), "\\\\.\\CNCA0");
    EXPECT_EQ(CWin32Serial::DeviceName("COM"), "COM");
    EXPECT_EQ(CWin32Serial::DeviceName("COMX1"), "COMX1");
    // The window's COMn are the system's own ports, not devices mapped onto
    // them, and so is every COM name beyond them.
    EXPECT_EQ(DefaultSerialDevicePath(3), "COM3");
    CPortMap ports;
    EXPECT_EQ(ports.DevicePath("COM3"), "COM3");
    EXPECT_EQ(ports.DevicePath("COM12"), "COM12");
    EXPECT_EQ(ports.DevicePath("\\\\.\\CNCA0"), "\\\\.\\CNCA0");
    EXPECT_EQ(ports.MappedNames().rfind("COM1, COM2, COM3", 0), 0u) << ports.MappedNames();
}

TEST(Win32SerialTest, AnAbsentPortFailsWithTheSystemsReasonAndItsName) {
    CWin32Serial port("COM199");
    std::string error;
    EXPECT_FALSE(port.Open(115200, error));
    EXPECT_FALSE(port.IsOpen());
    EXPECT_EQ(error.rfind("COM199: ", 0), 0u) << error;
    EXPECT_NE(error.find("(no such port on this computer)"), std::string::npos) << error;
    EXPECT_GT(error.size(), std::string("COM199: ").size() + 32) << "the system's own text";
    // Nothing to wait for on a port that is not open; nothing is written.
    EXPECT_EQ(port.WaitForInput(0), ISerialDevice::EWait::Hangup);
    const uint8_t byte = 0x7E;
    EXPECT_EQ(port.Write(&byte, 1), 0u);
}

TEST(Win32SerialTest, DiscoveredPortsCarryTheirComNamesInNumberOrder) {
    const std::vector<SSerialPortInfo> ports = DiscoverSerialPorts();
    int previous = 0;
    for (const SSerialPortInfo& port : ports) {
        ASSERT_EQ(port.node.rfind("COM", 0), 0u) << port.node;
        const int number = std::stoi(port.node.substr(3));
        EXPECT_GT(number, previous) << port.node;
        previous = number;
        EXPECT_TRUE(port.byId.empty()) << "by-id names are a Linux thing";
    }
}

// A port coming or going: what a driver writes to SERIALCOMM when a USB
// adapter is plugged in or pulled.
TEST(Win32SerialTest, TheMonitorReportsPortsComingAndGoingAndStopsAtOnce) {
    HKEY key = nullptr;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_LOCAL_MACHINE, L"HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, nullptr,
                                REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    const std::wstring device = L"\\Device\\SondrixTest" + std::to_wstring(::GetCurrentProcessId());
    const wchar_t port[] = L"COM77";

    CMessageLoop loop(CMessageLoop::EClock::Virtual);
    CSerialPortMonitor monitor(loop, 5, WM_USER + 9);
    std::string error;
    ASSERT_TRUE(monitor.Start(error)) << error;
    const auto posted = [&] {
        for (int i = 0; i < 500 && !loop.HasPostedMessages(); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        const bool any = loop.HasPostedMessages();
        loop.ProcessPending();
        return any;
    };
    // Nothing is reported while nothing changes.
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_FALSE(loop.HasPostedMessages());

    ASSERT_EQ(::RegSetValueExW(key, device.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(port),
                               sizeof port),
              ERROR_SUCCESS);
    EXPECT_TRUE(posted()) << "no report of the new port";
    const std::vector<SSerialPortInfo> ports = DiscoverSerialPorts();
    EXPECT_TRUE(std::any_of(ports.begin(), ports.end(),
                            [](const SSerialPortInfo& p) { return p.node == "COM77"; }));

    ASSERT_EQ(::RegDeleteValueW(key, device.c_str()), ERROR_SUCCESS);
    EXPECT_TRUE(posted()) << "no report of the port going";
    ::RegCloseKey(key);

    const auto before = std::chrono::steady_clock::now();
    monitor.Stop();
    EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::seconds(1));
}

}  // namespace
}  // namespace sondrix
