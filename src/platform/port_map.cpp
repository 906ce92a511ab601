#include "platform/port_map.h"

#include <cctype>

#include "platform/system_serial.h"

namespace sondrix {

int CPortMap::PortNumber(const std::string& name) {
    const std::string portName = ComName(name);
    if (portName.size() != 4 || portName.compare(0, 3, "COM") != 0) {
        return 0;
    }
    const char digit = portName[3];
    if (digit < '1' || digit > '0' + kPortCount) {
        return 0;
    }
    return digit - '0';
}

bool CPortMap::IsComName(const std::string& portName) {
    auto upper = [](char c) {
        return static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    };
    return portName.size() > 3 && upper(portName[0]) == 'C' && upper(portName[1]) == 'O' &&
           upper(portName[2]) == 'M' &&
           portName.find_first_not_of("0123456789", 3) == std::string::npos;
}

std::string CPortMap::ComName(const std::string& portName) {
    return IsComName(portName) ? "COM" + portName.substr(3) : portName;
}

bool CPortMap::Assign(const std::string& mapping, std::string& error) {
    const auto equals = mapping.find('=');
    const int number = equals == std::string::npos ? 0 : PortNumber(mapping.substr(0, equals));
    if (number == 0 || equals + 1 >= mapping.size()) {
        error = "expected COMn=PATH with n from 1 to 8, got \"" + mapping + "\"";
        return false;
    }
    std::string path = mapping.substr(equals + 1);
    if (path == kAutoPath) {
        path = FirstUsbSerialDevice(DiscoverSerialPorts());
        if (path.empty()) {
            error = "no USB serial adapter found for " + mapping.substr(0, equals);
            return false;
        }
    }
    Assign(number, path);
    return true;
}

std::string CPortMap::FirstUsbSerialDevice(const std::vector<SSerialPortInfo>& ports) {
    for (const SSerialPortInfo& port : ports) {
        if (IsUsbSerialPort(port)) {
            return port.byId.empty() ? port.node : port.byId;
        }
    }
    return {};
}

void CPortMap::Assign(int portNumber, const std::string& path) {
    m_paths[portNumber] = path;
}

std::string CPortMap::DevicePath(const std::string& portName) const {
    const int number = PortNumber(portName);
    if (number != 0) {
        auto it = m_paths.find(number);
        return it != m_paths.end() ? it->second : DefaultSerialDevicePath(number);
    }
    return SystemDevicePath(portName);
}

std::string CPortMap::MappedNames() const {
    std::string names;
    for (int number = 1; number <= kPortCount; ++number) {
        const std::string name = "COM" + std::to_string(number);
        names += (number > 1 ? ", " : "") + PortDescription(name, DevicePath(name));
    }
    return names;
}

std::string CPortMap::MappedName(const SSerialPortInfo& port) const {
    for (int number = 1; number <= kPortCount; ++number) {
        const std::string name = "COM" + std::to_string(number);
        const std::string path = DevicePath(name);
        if (path == port.node || (!port.byId.empty() && path == port.byId)) {
            return name;
        }
    }
    return {};
}

std::vector<SPortChoice> CPortMap::Choices(const std::vector<SSerialPortInfo>& ports) const {
    std::vector<SPortChoice> choices;
    for (const SSerialPortInfo& port : ports) {
        if (!MappedName(port).empty()) {
            continue;
        }
        SPortChoice choice;
        choice.portName = port.node.substr(port.node.rfind('/') + 1);
        choice.label = SerialPortLabel(port);
        choice.byId = port.byId;
        choice.detail = port.byId.empty() ? port.node : port.byId;
        if (!port.driver.empty()) {
            choice.detail += "\nDriver: " + port.driver;
        }
        if (port.vendorId != 0) {
            choice.detail +=
                "\nUSB id: " + UsbIdText(port.vendorId) + ":" + UsbIdText(port.productId);
        }
        choices.push_back(std::move(choice));
    }
    return choices;
}

std::unique_ptr<ISerialDevice> CPortMap::Create(const std::string& portName) {
    const std::string path = DevicePath(portName);
    if (path.empty()) {
        return nullptr;
    }
    return CreateSystemSerialDevice(path, portName);
}

std::string CPortMap::Notes(const std::string& builtIn) const {
    std::string notes;
    for (int number = 1; number <= kPortCount; ++number) {
        const std::string name = "COM" + std::to_string(number);
        notes += (number > 1 ? "\n" : "") + name + ": " +
                 (name == builtIn ? std::string("the simulated module") : DevicePath(name));
    }
    return notes;
}

}  // namespace sondrix
