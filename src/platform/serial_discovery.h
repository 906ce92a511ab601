#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/message_loop.h"

namespace sondrix {

// One serial device present on this machine.
struct SSerialPortInfo {
    std::string node;  // the device: "/dev/ttyUSB0" on Linux, "COM3" on Windows
    std::string byId;  // "/dev/serial/by-id/usb-FTDI_..." when udev made one
    std::string driver;
    uint16_t vendorId = 0;
    uint16_t productId = 0;
    std::string manufacturer;
    std::string product;  // on Windows the port's friendly name
    std::string serial;
};

// The serial devices present, in node order. Ports whose driver reports no
// hardware behind them (the phantom ttyS* of the 8250 driver) and terminals
// without a device (consoles, virtual terminals) are left out.
std::vector<SSerialPortInfo> DiscoverSerialPorts();

// True for USB adapters and CDC-ACM boards, the devices "auto" chooses from.
bool IsUsbSerialPort(const SSerialPortInfo& port);

// A USB vendor or product id as lsusb shows it: "0403".
std::string UsbIdText(uint16_t id);

// The name a person recognises: "ttyUSB0 — FT232R USB UART (FTDI, A1B2C3)".
std::string SerialPortLabel(const SSerialPortInfo& port);

// Follows serial devices coming and going: posts `message` to `window` on the
// loop after every change, from a thread that sleeps until the system reports
// one (the udev monitor on Linux, the registry's list of COM ports on
// Windows) or the monitor stops: no polling on a clock.
class CSerialPortMonitor {
  public:
    CSerialPortMonitor(CMessageLoop& loop, HWND window, uint32_t message);
    CSerialPortMonitor(const CSerialPortMonitor&) = delete;
    CSerialPortMonitor& operator=(const CSerialPortMonitor&) = delete;

    // False (with the reason) when the system's reports cannot be watched.
    bool Start(std::string& error);
    void Stop();

  private:
    // The system's watch and the thread that waits on it.
    struct SState;
    // Ends the thread and frees the watch.
    struct SStateEnd {
        void operator()(SState* state) const;
    };
    using StatePtr = std::unique_ptr<SState, SStateEnd>;
    // Makes the watch and starts its thread; null, with the reason, on failure.
    StatePtr Watch(std::string& error);

    CMessageLoop& m_loop;
    HWND m_window;
    uint32_t m_message;
    StatePtr m_state;
};

}  // namespace sondrix
