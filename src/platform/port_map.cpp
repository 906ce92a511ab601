#include "platform/port_map.h"

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <vector>

#include "platform/system_serial.h"

namespace sondrix {

int CPortMap::PortNumber(const std::string& portName) {
    if (portName.size() != 4 || portName.compare(0, 3, "COM") != 0) {
        return 0;
    }
    const char digit = portName[3];
    if (digit < '1' || digit > '0' + kPortCount) {
        return 0;
    }
    return digit - '0';
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
        path = FindUsbSerialDevice(m_deviceRoot);
        if (path.empty()) {
            error = "no USB serial adapter found for " + mapping.substr(0, equals) +
                    " (looked for /dev/serial/by-id/*, /dev/ttyUSB* and /dev/ttyACM*)";
            return false;
        }
    }
    Assign(number, path);
    return true;
}

std::string CPortMap::FindUsbSerialDevice(const std::string& root) {
    namespace fs = std::filesystem;
    // Each entry: a folder and the name prefix of the devices in it.
    const std::pair<const char*, const char*> places[] = {
        {"/dev/serial/by-id", ""}, {"/dev", "ttyUSB"}, {"/dev", "ttyACM"}};
    for (const auto& [folder, prefix] : places) {
        std::vector<std::string> found;
        std::error_code error;
        for (const fs::directory_entry& entry : fs::directory_iterator(root + folder, error)) {
            const std::string name = entry.path().filename().string();
            if (name.starts_with(prefix) && name.size() > std::char_traits<char>::length(prefix)) {
                found.push_back(entry.path().string());
            }
        }
        if (!found.empty()) {
            return *std::min_element(found.begin(), found.end());
        }
    }
    return {};
}

void CPortMap::Assign(int portNumber, const std::string& path) {
    m_paths[portNumber] = path;
}

std::string CPortMap::DevicePath(const std::string& portName) const {
    const int number = PortNumber(portName);
    if (number == 0) {
        return {};
    }
    auto it = m_paths.find(number);
    return it != m_paths.end() ? it->second : DefaultSerialDevicePath(number);
}

std::unique_ptr<ISerialDevice> CPortMap::Create(const std::string& portName) {
    const std::string path = DevicePath(portName);
    if (path.empty()) {
        return nullptr;
    }
    return CreateSystemSerialDevice(path);
}

}  // namespace sondrix
