#include "platform/serial_discovery.h"

#include <libudev.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <sstream>

namespace sondrix {

namespace {

struct SUdevUnref {
    void operator()(udev* u) const { udev_unref(u); }
    void operator()(udev_enumerate* e) const { udev_enumerate_unref(e); }
    void operator()(udev_device* d) const { udev_device_unref(d); }
};
template <class T>
using UdevPtr = std::unique_ptr<T, SUdevUnref>;

std::string Text(const char* value) {
    return value != nullptr ? std::string(value) : std::string();
}

// udev's own properties write spaces as underscores ("FT232R_USB_UART").
std::string PropertyText(udev_device* device, const char* name) {
    std::string text = Text(udev_device_get_property_value(device, name));
    std::replace(text.begin(), text.end(), '_', ' ');
    return text;
}

uint16_t HexId(const std::string& text) {
    if (text.empty() || text.size() > 4 ||
        text.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos) {
        return 0;
    }
    return static_cast<uint16_t>(std::stoul(text, nullptr, 16));
}

// The USB strings come from the device's own descriptors where they can be
// read, else from what udev's database gathered about it.
void FillUsbDetails(udev_device* tty, SSerialPortInfo& port) {
    udev_device* usb = udev_device_get_parent_with_subsystem_devtype(tty, "usb", "usb_device");
    const auto pick = [&](const char* attribute, const char* property, bool spaces) {
        std::string text =
            usb != nullptr ? Text(udev_device_get_sysattr_value(usb, attribute)) : "";
        if (text.empty()) {
            text = spaces ? PropertyText(tty, property)
                          : Text(udev_device_get_property_value(tty, property));
        }
        return text;
    };
    port.vendorId = HexId(pick("idVendor", "ID_VENDOR_ID", false));
    port.productId = HexId(pick("idProduct", "ID_MODEL_ID", false));
    port.manufacturer = pick("manufacturer", "ID_VENDOR", true);
    port.product = pick("product", "ID_MODEL", true);
    port.serial = pick("serial", "ID_SERIAL_SHORT", false);
}

std::string DriverOf(udev_device* tty) {
    for (udev_device* device = udev_device_get_parent(tty); device != nullptr;
         device = udev_device_get_parent(device)) {
        // The serial core's own "port" and "ctrl" devices say nothing about
        // the hardware; the driver above them does.
        const std::string driver = Text(udev_device_get_driver(device));
        if (!driver.empty() && driver != "port" && driver != "ctrl") {
            return driver;
        }
    }
    return Text(udev_device_get_property_value(tty, "ID_USB_DRIVER"));
}

std::string StableLink(udev_device* tty) {
    std::vector<std::string> links;
    udev_list_entry* entry = nullptr;
    udev_list_entry_foreach(entry, udev_device_get_devlinks_list_entry(tty)) {
        links.push_back(Text(udev_list_entry_get_name(entry)));
    }
    // Without udev's database the links are only in the device's properties.
    if (links.empty()) {
        std::istringstream words(Text(udev_device_get_property_value(tty, "DEVLINKS")));
        for (std::string link; words >> link;) {
            links.push_back(link);
        }
    }
    for (const std::string& link : links) {
        if (link.starts_with("/dev/serial/by-id/")) {
            return link;
        }
    }
    return {};
}

// A terminal without a parent device is a console or a virtual terminal; a
// port whose driver reports the type "unknown" (0) has no hardware behind it.
bool HasHardware(udev_device* tty) {
    if (udev_device_get_parent(tty) == nullptr) {
        return false;
    }
    const char* type = udev_device_get_sysattr_value(tty, "type");
    return type == nullptr || std::strcmp(type, "0") != 0;
}

// "ttyUSB10" after "ttyUSB9": the trailing numbers compare as numbers.
bool NodeBefore(const std::string& a, const std::string& b) {
    const auto split = [](const std::string& s) {
        const size_t digits = s.find_last_not_of("0123456789") + 1;
        return std::make_pair(s.substr(0, digits), digits < s.size() && s.size() - digits < 9
                                                       ? std::stoul(s.substr(digits))
                                                       : 0ul);
    };
    return split(a) < split(b);
}

}  // namespace

std::vector<SSerialPortInfo> DiscoverSerialPorts() {
    std::vector<SSerialPortInfo> ports;
    UdevPtr<udev> context(udev_new());
    if (!context) {
        return ports;
    }
    UdevPtr<udev_enumerate> scan(udev_enumerate_new(context.get()));
    if (!scan || udev_enumerate_add_match_subsystem(scan.get(), "tty") < 0 ||
        udev_enumerate_scan_devices(scan.get()) < 0) {
        return ports;
    }
    udev_list_entry* entry = nullptr;
    udev_list_entry_foreach(entry, udev_enumerate_get_list_entry(scan.get())) {
        UdevPtr<udev_device> tty(
            udev_device_new_from_syspath(context.get(), udev_list_entry_get_name(entry)));
        if (!tty || udev_device_get_devnode(tty.get()) == nullptr || !HasHardware(tty.get())) {
            continue;
        }
        SSerialPortInfo port;
        port.node = udev_device_get_devnode(tty.get());
        port.byId = StableLink(tty.get());
        port.driver = DriverOf(tty.get());
        FillUsbDetails(tty.get(), port);
        ports.push_back(std::move(port));
    }
    std::sort(ports.begin(), ports.end(), [](const SSerialPortInfo& a, const SSerialPortInfo& b) {
        return NodeBefore(a.node, b.node);
    });
    return ports;
}

bool IsUsbSerialPort(const SSerialPortInfo& port) {
    return port.vendorId != 0 || port.node.starts_with("/dev/ttyUSB") ||
           port.node.starts_with("/dev/ttyACM");
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

CSerialPortMonitor::CSerialPortMonitor(CMessageLoop& loop, HWND window, uint32_t message)
    : m_loop(loop), m_window(window), m_message(message) {}

CSerialPortMonitor::~CSerialPortMonitor() {
    Stop();
}

bool CSerialPortMonitor::Start(std::string& error) {
    Stop();
    m_udev = udev_new();
    m_monitor = m_udev != nullptr ? udev_monitor_new_from_netlink(m_udev, "udev") : nullptr;
    if (m_monitor == nullptr ||
        udev_monitor_filter_add_match_subsystem_devtype(m_monitor, "tty", nullptr) < 0 ||
        udev_monitor_enable_receiving(m_monitor) < 0) {
        error = std::string("cannot watch for serial devices: ") + std::strerror(errno);
        Stop();
        return false;
    }
    m_wakeFd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (m_wakeFd < 0) {
        error = std::string("eventfd: ") + std::strerror(errno);
        Stop();
        return false;
    }
    m_thread = std::thread(&CSerialPortMonitor::Run, this);
    return true;
}

void CSerialPortMonitor::Stop() {
    if (m_thread.joinable()) {
        const uint64_t one = 1;
        [[maybe_unused]] const ssize_t n = ::write(m_wakeFd, &one, sizeof one);
        m_thread.join();
    }
    if (m_wakeFd >= 0) {
        ::close(m_wakeFd);
        m_wakeFd = -1;
    }
    if (m_monitor != nullptr) {
        udev_monitor_unref(m_monitor);
        m_monitor = nullptr;
    }
    if (m_udev != nullptr) {
        udev_unref(m_udev);
        m_udev = nullptr;
    }
}

void CSerialPortMonitor::Run() {
    struct pollfd fds[2] = {{udev_monitor_get_fd(m_monitor), POLLIN, 0}, {m_wakeFd, POLLIN, 0}};
    for (;;) {
        if (::poll(fds, 2, -1) < 0) {
            if (errno == EINTR) {
                continue;
            }
            return;
        }
        if (fds[1].revents != 0 || (fds[0].revents & (POLLERR | POLLHUP | POLLNVAL))) {
            return;
        }
        // Take every event that is waiting, then say once that the set changed.
        bool changed = false;
        while (udev_device* device = udev_monitor_receive_device(m_monitor)) {
            udev_device_unref(device);
            changed = true;
        }
        if (changed) {
            m_loop.Post(m_window, m_message);
        }
    }
}

}  // namespace sondrix
