#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace sondrix {

// A serial device present on this computer, with what the system knows of it.
struct SSerialPortInfo {
    std::string node;  // the device: "/dev/ttyUSB0" on Linux, "COM3" on Windows
    std::string byId;  // the stable /dev/serial/by-id name (Linux), else empty
    std::string driver;
    uint16_t vendorId = 0;  // USB ids, 0 for other devices
    uint16_t productId = 0;
    std::string manufacturer;
    std::string product;  // on Windows the port's friendly name
    std::string serial;
};

// The serial devices present now.
std::vector<SSerialPortInfo> DiscoverSerialPorts();

}  // namespace sondrix
