#include "platform/usb_hardware_id.h"

#include <charconv>

namespace sondrix {

namespace {

// The four hex digits after `key` ("VID_") in `text`; false when they are not there.
bool HexAfter(std::string_view text, std::string_view key, uint16_t& value) {
    const size_t at = text.find(key);
    if (at == std::string_view::npos || text.size() - at - key.size() < 4) {
        return false;
    }
    const char* first = text.data() + at + key.size();
    const auto [end, error] = std::from_chars(first, first + 4, value, 16);
    return error == std::errc() && end == first + 4;
}

}  // namespace

SUsbHardwareId ParseUsbInstanceId(std::string_view instanceId) {
    SUsbHardwareId id;
    // "USB\VID_xxxx&PID_yyyy\SERIAL"; composite devices sit below "USB\...&MI_nn".
    if (instanceId.substr(0, 4) != "USB\\" && instanceId.substr(0, 4) != "usb\\") {
        return id;
    }
    const size_t second = instanceId.find('\\', 4);
    const std::string_view hardware = instanceId.substr(4, second - 4);
    uint16_t vendor = 0;
    uint16_t product = 0;
    if (!HexAfter(hardware, "VID_", vendor) || !HexAfter(hardware, "PID_", product)) {
        return id;
    }
    id.vendorId = vendor;
    id.productId = product;
    if (second != std::string_view::npos) {
        const std::string_view serial = instanceId.substr(second + 1);
        // Windows makes up "6&2A1B3C&0&1" for devices without a serial number.
        if (!serial.empty() && serial.find('&') == std::string_view::npos) {
            id.serial = serial;
        }
    }
    return id;
}

}  // namespace sondrix
