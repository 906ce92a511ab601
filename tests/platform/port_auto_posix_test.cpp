// The port map on Linux: COMn's default devices, and "--port COMn=auto" on a
// fake /dev tree: which adapter it picks, and what it says when there is none.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "platform/port_map.h"
#include "platform/system_serial.h"

namespace sondrix {
namespace {

namespace fs = std::filesystem;

class PortAutoTest : public ::testing::Test {
  protected:
    PortAutoTest() {
        root = fs::temp_directory_path() / ("sondrix_port_auto_" + std::to_string(::getpid()));
        fs::remove_all(root);
        fs::create_directories(root / "dev");
        map.SetDeviceRoot(root.string());
    }
    ~PortAutoTest() override { fs::remove_all(root); }

    // A device node stands in as an empty file; only names matter here.
    void Make(const std::string& path) {
        fs::create_directories((root / path).parent_path());
        std::ofstream(root / path).put('\0');
    }
    std::string Under(const std::string& path) const { return (root / path).string(); }
    std::string Auto(const std::string& mapping = "COM2=auto") {
        error.clear();
        return map.Assign(mapping, error) ? map.DevicePath(mapping.substr(0, 4)) : std::string();
    }

    fs::path root;
    CPortMap map;
    std::string error;
};

TEST_F(PortAutoTest, PrefersStableNamesThenUsbThenAcmInNameOrder) {
    Make("dev/ttyS0");
    Make("dev/ttyACM0");
    EXPECT_EQ(Auto(), Under("dev/ttyACM0"));
    Make("dev/ttyUSB3");
    Make("dev/ttyUSB1");
    EXPECT_EQ(Auto(), Under("dev/ttyUSB1"));
    Make("dev/serial/by-id/usb-FTDI_FT232R-if00-port0");
    Make("dev/serial/by-id/usb-Acme_Bridge-if00");
    EXPECT_EQ(Auto("COM4=auto"), Under("dev/serial/by-id/usb-Acme_Bridge-if00"));
    // Other ports keep their default.
    EXPECT_EQ(map.DevicePath("COM1"), "/dev/ttyS0");
}

TEST_F(PortAutoTest, NoAdapterIsAClearErrorThatLeavesTheMap) {
    Make("dev/ttyS0");
    Make("dev/ttyUSB");  // the bare prefix is no device
    fs::create_directories(root / "dev/serial/by-path");
    EXPECT_EQ(Auto(), "");
    EXPECT_NE(error.find("no USB serial adapter found for COM2"), std::string::npos) << error;
    EXPECT_NE(error.find("/dev/ttyUSB*"), std::string::npos);
    EXPECT_EQ(map.DevicePath("COM2"), "/dev/ttyS1");
    // A path that merely contains the word is a path.
    EXPECT_TRUE(map.Assign("COM2=/dev/autodev", error));
    EXPECT_EQ(map.DevicePath("COM2"), "/dev/autodev");
}

TEST(PortMapPosix, ComPortsAreTheTtySDevicesAndMissingOnesSaySo) {
    EXPECT_EQ(DefaultSerialDevicePath(1), "/dev/ttyS0");
    EXPECT_EQ(DefaultSerialDevicePath(8), "/dev/ttyS7");
    CPortMap ports;
    ports.Assign(1, "/nonexistent/ttyS99");
    std::string error;
    EXPECT_FALSE(ports.Create("COM1")->Open(9600, error));
    EXPECT_EQ(error, "/nonexistent/ttyS99: No such file or directory");
}

}  // namespace
}  // namespace sondrix
