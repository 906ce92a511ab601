#pragma once

#include <gtest/gtest.h>

#include <string>

struct _UMockdevTestbed;

namespace sondrix::test {

// Serial devices faked with umockdev: libudev sees them, and their nodes are
// pseudo-terminals whose master side the test holds. Works only when the
// program runs under umockdev's preload (umockdev-wrapper).
class CFakeDevices {
  public:
    static constexpr const char* kFtdiTty =
        "/sys/devices/pci0000:00/0000:00:14.0/usb1/1-2/1-2:1.0/ttyUSB0/tty/ttyUSB0";
    static constexpr const char* kFtdiNode = "/dev/ttyUSB0";
    static constexpr const char* kFtdiById =
        "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A1B2C3-if00-port0";
    static constexpr const char* kFtdiLabel = "ttyUSB0 \u2014 FT232R USB UART (FTDI, A1B2C3)";

    static bool Preloaded();

    CFakeDevices();
    ~CFakeDevices();
    CFakeDevices(const CFakeDevices&) = delete;
    CFakeDevices& operator=(const CFakeDevices&) = delete;

    // Devices in umockdev's text form ("P:", "E:", "A:", "L:" lines).
    void Add(const std::string& description);
    // An FTDI FT232R adapter: the USB device with its descriptor strings, the
    // interface, the usb-serial port bound to ftdi_sio and its tty.
    void AddFtdiAdapter();
    // Tells libudev's monitors that a device came or went.
    void Uevent(const char* sysPath, const char* action);
    void Remove(const char* sysPath);
    // The master side of a faked node's pseudo-terminal.
    int Master(const char* node);
    // The adapter is pulled: its line hangs up.
    void HangUp(const char* node);

  private:
    _UMockdevTestbed* m_bed;
};

}  // namespace sondrix::test

#define SKIP_WITHOUT_UMOCKDEV()                                                  \
    if (!::sondrix::test::CFakeDevices::Preloaded()) {                           \
        GTEST_SKIP() << "runs only under umockdev-wrapper (umockdev's preload)"; \
    }
