// Discovery through libudev on faked devices.
#include <gtest/gtest.h>

#include "fake_devices.h"
#include "platform/port_map.h"
#include "platform/serial_discovery.h"

namespace sondrix {
namespace {

using test::CFakeDevices;

// A motherboard port with its UART, one of the 8250 driver's phantom ports
// (type 0: no hardware), a virtual terminal, and a CDC-ACM board whose
// strings only udev's database knows.
void AddOtherTerminals(CFakeDevices& devices) {
    devices.Add(
        "P: /devices/pnp0/00:04\nE: SUBSYSTEM=pnp\nL: driver=../../../bus/pnp/drivers/serial\n\n"
        "P: /devices/pnp0/00:04/tty/ttyS0\nN: ttyS0\nE: SUBSYSTEM=tty\nE: DEVNAME=/dev/ttyS0\n"
        "A: type=4\n\n"
        "P: /devices/platform/serial8250\nE: SUBSYSTEM=platform\n"
        "L: driver=../../../bus/platform/drivers/serial8250\n\n"
        "P: /devices/platform/serial8250/tty/ttyS5\nN: ttyS5\nE: SUBSYSTEM=tty\n"
        "E: DEVNAME=/dev/ttyS5\nA: type=0\n\n"
        "P: /devices/virtual/tty/tty3\nN: tty3\nE: SUBSYSTEM=tty\nE: DEVNAME=/dev/tty3\n\n"
        "P: /devices/pci0000:00/0000:00:14.0/usb1/1-3/1-3:1.0\nE: SUBSYSTEM=usb\n"
        "E: DEVTYPE=usb_interface\nL: driver=../../../../../../bus/usb/drivers/cdc_acm\n\n"
        "P: /devices/pci0000:00/0000:00:14.0/usb1/1-3/1-3:1.0/tty/ttyACM0\nN: ttyACM0\n"
        "E: SUBSYSTEM=tty\nE: DEVNAME=/dev/ttyACM0\nE: ID_VENDOR=Acme_Labs\n"
        "E: ID_MODEL=Bridge_Board\nE: ID_VENDOR_ID=2e8a\nE: ID_MODEL_ID=000a\n"
        "E: ID_SERIAL_SHORT=E66038\n");
}

TEST(SerialDiscovery, ListsAdaptersWithTheirStringsAndLeavesOutPhantoms) {
    SKIP_WITHOUT_UMOCKDEV();
    CFakeDevices devices;
    devices.AddFtdiAdapter();
    AddOtherTerminals(devices);
    const std::vector<SSerialPortInfo> ports = DiscoverSerialPorts();
    ASSERT_EQ(ports.size(), 3u);
    EXPECT_EQ(ports[0].node, "/dev/ttyACM0");
    EXPECT_EQ(ports[1].node, "/dev/ttyS0");
    EXPECT_EQ(ports[1].driver, "serial");
    EXPECT_EQ(ports[1].vendorId, 0);

    const SSerialPortInfo& ftdi = ports[2];
    EXPECT_EQ(ftdi.node, CFakeDevices::kFtdiNode);
    EXPECT_EQ(ftdi.byId, CFakeDevices::kFtdiById);
    EXPECT_EQ(ftdi.driver, "ftdi_sio");
    EXPECT_EQ(ftdi.vendorId, 0x0403);
    EXPECT_EQ(ftdi.productId, 0x6001);
    EXPECT_EQ(ftdi.manufacturer, "FTDI");
    EXPECT_EQ(ftdi.product, "FT232R USB UART");
    EXPECT_EQ(ftdi.serial, "A1B2C3");
    EXPECT_EQ(SerialPortLabel(ftdi), CFakeDevices::kFtdiLabel);

    // Strings from udev's database, underscores back to spaces.
    const SSerialPortInfo& acm = ports[0];
    EXPECT_EQ(acm.driver, "cdc_acm");
    EXPECT_EQ(acm.vendorId, 0x2e8a);
    EXPECT_EQ(acm.productId, 0x000a);
    EXPECT_EQ(SerialPortLabel(acm), "ttyACM0 \u2014 Bridge Board (Acme Labs, E66038)");
}

TEST(SerialDiscovery, MappedDevicesStayCOMnAndAutoTakesTheFirstUsbAdapter) {
    SKIP_WITHOUT_UMOCKDEV();
    CFakeDevices devices;
    devices.AddFtdiAdapter();
    AddOtherTerminals(devices);
    CPortMap map;
    std::string error;
    // ttyS0 is COM1 by default; the adapter is mapped by its stable path.
    ASSERT_TRUE(map.Assign(std::string("COM3=") + CFakeDevices::kFtdiById, error)) << error;
    const std::vector<SSerialPortInfo> ports = DiscoverSerialPorts();
    EXPECT_EQ(map.MappedName(ports[1]), "COM1");
    EXPECT_EQ(map.MappedName(ports[2]), "COM3");
    const std::vector<SPortChoice> choices = map.Choices(ports);
    ASSERT_EQ(choices.size(), 1u);
    EXPECT_EQ(choices[0].portName, "ttyACM0");
    EXPECT_EQ(map.DevicePath(choices[0].portName), "/dev/ttyACM0");
    EXPECT_EQ(choices[0].detail, "/dev/ttyACM0\nDriver: cdc_acm\nUSB id: 2e8a:000a");

    // "auto": the ACM board comes first by name and has no stable path.
    ASSERT_TRUE(map.Assign("COM2=auto", error)) << error;
    EXPECT_EQ(map.DevicePath("COM2"), "/dev/ttyACM0");
}

TEST(SerialDiscovery, AutoPrefersTheStablePathAndSaysWhenThereIsNoAdapter) {
    SKIP_WITHOUT_UMOCKDEV();
    CFakeDevices devices;
    CPortMap map;
    std::string error;
    EXPECT_FALSE(map.Assign("COM2=auto", error));
    EXPECT_EQ(error, "no USB serial adapter found for COM2");
    EXPECT_EQ(map.DevicePath("COM2"), "/dev/ttyS1") << "the map is left as it was";
    devices.AddFtdiAdapter();
    ASSERT_TRUE(map.Assign("COM2=auto", error)) << error;
    EXPECT_EQ(map.DevicePath("COM2"), CFakeDevices::kFtdiById);
}

}  // namespace
}  // namespace sondrix
