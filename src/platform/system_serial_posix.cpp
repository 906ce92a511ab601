#include "platform/port_map.h"
#include "platform/system_serial.h"
#include "platform/termios_serial.h"

namespace sondrix {

std::unique_ptr<ISerialDevice> CreateSystemSerialDevice(const std::string& path,
                                                        const std::string& portName) {
    return std::make_unique<CTermiosSerial>(path, portName);
}

std::string DefaultSerialDevicePath(int portNumber) {
    return "/dev/ttyS" + std::to_string(portNumber - 1);
}

const SSystemWords& SystemWords() {
    static const SSystemWords words{
        "COM1..COM8, COMn=PATH, a device path, a /dev/serial/by-id\n"
        "                        path, a device name such as ttyUSB0, or auto for the\n"
        "                        first USB serial adapter (default COM1)\n",
        "~/.local/lib/wireshark/plugins", "ps", true};
    return words;
}

std::string SystemDevicePath(const std::string& name) {
    if (name.empty() || CPortMap::IsComName(name)) {
        return {};
    }
    return name.find('/') == std::string::npos ? "/dev/" + name : name;
}

}  // namespace sondrix
