#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace sondrix {

// What a Windows device instance ID tells of a USB device:
// "USB\VID_0403&PID_6001\A50285BI" -> 0x0403, 0x6001, "A50285BI". Instance
// IDs of other buses, and generated serials (those with '&'), give zeros and
// an empty serial.
struct SUsbHardwareId {
    uint16_t vendorId = 0;
    uint16_t productId = 0;
    std::string serial;
};

SUsbHardwareId ParseUsbInstanceId(std::string_view instanceId);

}  // namespace sondrix
