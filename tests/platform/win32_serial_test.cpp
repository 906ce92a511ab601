// The Win32 serial device where no module is needed: port names, and what an
// open of a port that is not there reports. The line itself is tested end to
// end against hlxsim under Wine (tests/windows).
#include "platform/win32_serial.h"

#include <gtest/gtest.h>

#include "platform/serial_discovery.h"
#include "platform/system_serial.h"

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
    // The window's COMn are the system's own ports, not devices mapped onto them.
    EXPECT_EQ(DefaultSerialDevicePath(3), "COM3");
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

}  // namespace
}  // namespace sondrix
