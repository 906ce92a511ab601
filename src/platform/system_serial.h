#pragma once

#include <memory>
#include <string>

#include "platform/serial_device.h"

namespace sondrix {

// The serial device of this operating system for a device path or name
// ("/dev/ttyUSB0" on Linux, "COM3" on Windows); `portName` is the name the
// person chose, for messages.
std::unique_ptr<ISerialDevice> CreateSystemSerialDevice(const std::string& path,
                                                        const std::string& portName);

// The device the window's port COMn stands for when nothing maps it:
// /dev/ttyS<n-1> on Linux, COMn itself on Windows.
std::string DefaultSerialDevicePath(int portNumber);

}  // namespace sondrix
