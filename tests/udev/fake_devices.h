#pragma once

#include <fcntl.h>
#include <gtest/gtest.h>
#include <umockdev.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

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

    static bool Preloaded() {
        const char* preload = std::getenv("LD_PRELOAD");
        return preload != nullptr && std::string(preload).find("umockdev") != std::string::npos;
    }

    CFakeDevices() : m_bed(umockdev_testbed_new()) {}
    ~CFakeDevices() { g_object_unref(m_bed); }
    CFakeDevices(const CFakeDevices&) = delete;
    CFakeDevices& operator=(const CFakeDevices&) = delete;

    // Devices in umockdev's text form ("P:", "E:", "A:", "S:" lines).
    void Add(const std::string& description) {
        GError* error = nullptr;
        if (!umockdev_testbed_add_from_string(m_bed, description.c_str(), &error)) {
            ADD_FAILURE() << error->message;
            g_error_free(error);
        }
    }

    // An FTDI FT232R adapter: the USB device with its descriptor strings, the
    // interface, the usb-serial port bound to ftdi_sio and its tty.
    void AddFtdiAdapter() {
        const std::string file = SONDRIX_TESTDATA_DIR "/udev/ftdi_adapter.umockdev";
        GError* error = nullptr;
        if (!umockdev_testbed_add_from_file(m_bed, file.c_str(), &error)) {
            ADD_FAILURE() << file << ": " << error->message;
            g_error_free(error);
        }
    }

    // Tells libudev's monitors that a device came or went.
    void Uevent(const char* sysPath, const char* action) {
        umockdev_testbed_uevent(m_bed, sysPath, action);
    }
    void Remove(const char* sysPath) {
        Uevent(sysPath, "remove");
        umockdev_testbed_remove_device(m_bed, sysPath);
    }

    // The master side of a faked node's pseudo-terminal.
    int Master(const char* node) { return umockdev_testbed_get_dev_fd(m_bed, node); }
    // The adapter is pulled: its line hangs up. The testbed's master goes
    // (the descriptor number stays taken, so the testbed's own close later
    // cannot hit anything else).
    void HangUp(const char* node) {
        const int master = Master(node);
        const int null = ::open("/dev/null", O_RDWR | O_CLOEXEC);
        if (master >= 0 && null >= 0) {
            ::dup2(null, master);
        }
        if (null >= 0) {
            ::close(null);
        }
    }

  private:
    UMockdevTestbed* m_bed;
};

}  // namespace sondrix::test

#define SKIP_WITHOUT_UMOCKDEV()                                                  \
    if (!::sondrix::test::CFakeDevices::Preloaded()) {                           \
        GTEST_SKIP() << "runs only under umockdev-wrapper (umockdev's preload)"; \
    }
