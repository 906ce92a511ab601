#include "platform/serial_discovery.h"

#include <cstdio>

namespace sondrix {

bool IsUsbSerialPort(const SSerialPortInfo& port) {
    return port.vendorId != 0 || port.node.starts_with("/dev/ttyUSB") ||
           port.node.starts_with("/dev/ttyACM");
}

CSerialPortMonitor::CSerialPortMonitor(CMessageLoop& loop, HWND window, uint32_t message)
    : m_loop(loop), m_window(window), m_message(message) {}

bool CSerialPortMonitor::Start(std::string& error) {
    Stop();
    m_state = Watch(error);
    return m_state != nullptr;
}

void CSerialPortMonitor::Stop() {
    m_state.reset();
}

std::string UsbIdText(uint16_t id) {
    char text[8];
    std::snprintf(text, sizeof text, "%04x", id);
    return text;
}

std::string SerialPortLabel(const SSerialPortInfo& port) {
    std::string label = port.node.substr(port.node.rfind('/') + 1);
    const std::string& what = port.product.empty() ? port.driver : port.product;
    if (!what.empty()) {
        label += " \u2014 " + what;
    }
    std::string details = port.manufacturer;
    if (!port.serial.empty()) {
        details += (details.empty() ? "" : ", ") + port.serial;
    }
    if (!details.empty()) {
        label += " (" + details + ")";
    }
    return label;
}

}  // namespace sondrix
