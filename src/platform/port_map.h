#pragma once

#include <map>
#include <memory>
#include <string>

#include "platform/serial_device.h"

namespace sondrix {

// Turns the window's port names "COM1".."COM8" into device paths. By default
// COMn is /dev/ttyS<n-1>; "--port COMn=PATH" maps any of them to any device.
class CPortMap final : public ISerialDeviceFactory {
  public:
    static constexpr int kPortCount = 8;

    // Parses "COMn=PATH"; returns false (and leaves the map) when it is malformed.
    bool Assign(const std::string& mapping, std::string& error);
    void Assign(int portNumber, const std::string& path);
    std::string DevicePath(const std::string& portName) const;

    std::unique_ptr<ISerialDevice> Create(const std::string& portName) override;

    // "COM3" -> 3; 0 when the name is not COM1..COM8.
    static int PortNumber(const std::string& portName);

  private:
    std::map<int, std::string> m_paths;
};

}  // namespace sondrix
