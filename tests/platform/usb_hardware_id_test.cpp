// Windows device instance IDs of serial ports, as SetupAPI reports them.
#include "platform/usb_hardware_id.h"

#include <gtest/gtest.h>

namespace sondrix {
namespace {

TEST(UsbHardwareIdTest, UsbAdaptersGiveTheirIdsAndSerial) {
    const SUsbHardwareId ftdi = ParseUsbInstanceId("USB\\VID_0403&PID_6001\\A50285BI");
    EXPECT_EQ(ftdi.vendorId, 0x0403);
    EXPECT_EQ(ftdi.productId, 0x6001);
    EXPECT_EQ(ftdi.serial, "A50285BI");

    // A port of a composite device: the interface suffix stays out of the ids.
    const SUsbHardwareId acm = ParseUsbInstanceId("USB\\VID_2341&PID_8036&MI_00\\6&3A1B2C&0&0000");
    EXPECT_EQ(acm.vendorId, 0x2341);
    EXPECT_EQ(acm.productId, 0x8036);
    EXPECT_EQ(acm.serial, "") << "Windows made that serial up";

    const SUsbHardwareId lower = ParseUsbInstanceId("USB\\VID_10c4&PID_ea60\\0001");
    EXPECT_EQ(lower.vendorId, 0x10C4);
    EXPECT_EQ(lower.productId, 0xEA60);
}

TEST(UsbHardwareIdTest, OtherBusesAndBrokenIdsGiveNothing) {
    for (const char* id :
         {"ACPI\\PNP0501\\1", "FTDIBUS\\VID_0403+PID_6001+A5\\0000", "USB\\VID_04&PID_6001\\X",
          "USB\\VID_0403", "USB\\", "", "USB\\VID_04G3&PID_6001\\X"}) {
        const SUsbHardwareId parsed = ParseUsbInstanceId(id);
        EXPECT_EQ(parsed.vendorId, 0) << id;
        EXPECT_EQ(parsed.productId, 0) << id;
        EXPECT_EQ(parsed.serial, "") << id;
    }
}

}  // namespace
}  // namespace sondrix
