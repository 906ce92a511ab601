#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/serial_device.h"
#include "platform/serial_discovery.h"

namespace sondrix {

// A discovered device offered after COM1..COM8 in the Port combo.
struct SPortChoice {
    std::string portName;  // what the factory opens: the node's name, "ttyUSB0"
    std::string label;     // "ttyUSB0 — FT232R USB UART (FTDI, A1B2C3)"
    std::string byId;      // stable path, the key the last choice is kept by
    std::string detail;    // tooltip lines: stable path, driver and USB ids
};

// Turns port names into device paths. "COM1".."COM8" are the window's names:
// by default COMn is the system's device of that port (/dev/ttyS<n-1> on
// Linux, COMn on Windows); "--port COMn=PATH" maps any of them to
// any device, and "--port COMn=auto" to the first USB serial adapter. Any
// other name is a device: a path as it is, a bare name ("ttyUSB0") in /dev.
class CPortMap final : public ISerialDeviceFactory {
  public:
    static constexpr int kPortCount = 8;
    static constexpr const char* kAutoPath = "auto";

    // Parses "COMn=PATH" (PATH "auto": the first USB serial adapter); returns
    // false (and leaves the map) when it is malformed or no adapter is found.
    bool Assign(const std::string& mapping, std::string& error);
    void Assign(int portNumber, const std::string& path);
    // The device behind a port name; empty for a COM name beyond COM8 where
    // the system does not name its ports COMn itself.
    std::string DevicePath(const std::string& portName) const;

    std::unique_ptr<ISerialDevice> Create(const std::string& portName) override;

    // "COM3" -> 3; 0 when the name is not COM1..COM8.
    static int PortNumber(const std::string& portName);
    // "COM" and digits: a name of the window's kind, mapped or not. Windows
    // takes its port names in any case, so "com12" is one too.
    static bool IsComName(const std::string& portName);
    // A COM name as the program writes it ("com12" gives "COM12"); any other
    // name as it is.
    static std::string ComName(const std::string& portName);
    // "COM1 (/dev/ttyS0), COM2 (/dev/ttyS1), ...": what the COM names mean.
    std::string MappedNames() const;
    // One line a port for the Port box's tooltip: "COM2: /dev/ttyS1"; the
    // port `builtIn` (if any) holds the simulated module.
    std::string Notes(const std::string& builtIn = {}) const;

    // The COMn a discovered device is mapped to, or empty.
    std::string MappedName(const SSerialPortInfo& port) const;
    // Every discovered device not mapped to a COMn, as the Port combo shows it.
    std::vector<SPortChoice> Choices(const std::vector<SSerialPortInfo>& ports) const;

    // The stable path (else the node) of the first USB serial adapter or
    // CDC-ACM board among `ports`; empty when there is none.
    static std::string FirstUsbSerialDevice(const std::vector<SSerialPortInfo>& ports);

  private:
    std::map<int, std::string> m_paths;
};

}  // namespace sondrix
