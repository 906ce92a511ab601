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

// The device of a name beyond the window's COM1..COM8: on Linux a path as it
// is, a bare name ("ttyUSB0") in /dev, and COM9 and above nothing (empty); on
// Windows every name is the system's own ("COM12", "\\.\CNCA0").
std::string SystemDevicePath(const std::string& name);

// What the command line's help and reports say differently on each system.
struct SSystemWords {
    const char* portHelp;      // the --port choices, two lines of help
    const char* pluginFolder;  // where a user's own Wireshark plugins go
    const char* processList;   // where a password on the command line shows
    bool lowLatency;           // USB adapters have a low-latency mode to report
};
const SSystemWords& SystemWords();

}  // namespace sondrix
