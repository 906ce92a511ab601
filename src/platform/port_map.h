#pragma once

#include <map>
#include <memory>
#include <string>

#include "platform/serial_device.h"

namespace sondrix {

// Turns the window's port names "COM1".."COM8" into device paths. By default
// COMn is the system's device of that port (/dev/ttyS<n-1> on Linux, COMn on
// Windows); "--port COMn=PATH" maps any of them to any device,
// and "--port COMn=auto" to the first USB serial adapter plugged in.
class CPortMap final : public ISerialDeviceFactory {
  public:
    static constexpr int kPortCount = 8;
    static constexpr const char* kAutoPath = "auto";

    // Parses "COMn=PATH" (PATH "auto": the first USB serial adapter); returns
    // false (and leaves the map) when it is malformed or no adapter is found.
    bool Assign(const std::string& mapping, std::string& error);
    void Assign(int portNumber, const std::string& path);
    std::string DevicePath(const std::string& portName) const;

    std::unique_ptr<ISerialDevice> Create(const std::string& portName) override;

    // "COM3" -> 3; 0 when the name is not COM1..COM8.
    static int PortNumber(const std::string& portName);

    // The first USB serial adapter under `root` (a directory standing for
    // "/", "" for the machine's own): /dev/serial/by-id/* first, as those
    // names stay with the adapter, then /dev/ttyUSB*, then /dev/ttyACM*, each
    // in name order. Empty when there is none.
    static std::string FindUsbSerialDevice(const std::string& root = {});
    // Where "auto" looks (tests pass a fake /dev tree).
    void SetDeviceRoot(std::string root) { m_deviceRoot = std::move(root); }

  private:
    std::map<int, std::string> m_paths;
    std::string m_deviceRoot;
};

}  // namespace sondrix
