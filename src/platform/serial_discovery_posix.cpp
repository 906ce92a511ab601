#include <libudev.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <functional>
#include <memory>
#include <sstream>
#include <thread>

#include "platform/serial_discovery.h"

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

struct CSerialPortMonitor::SState {
    UdevPtr<udev> context;
    udev_monitor* monitor = nullptr;
    int wakeFd = -1;
    std::thread thread;

    ~SState() {
        if (wakeFd >= 0) {
            ::close(wakeFd);
        }
        if (monitor != nullptr) {
            udev_monitor_unref(monitor);
        }
    }

    // Takes every event that is waiting, then says once that the set changed.
    void Run(CMessageLoop& loop, HWND window, uint32_t message) {
        struct pollfd fds[2] = {{udev_monitor_get_fd(monitor), POLLIN, 0}, {wakeFd, POLLIN, 0}};
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
            bool changed = false;
            while (udev_device* device = udev_monitor_receive_device(monitor)) {
                udev_device_unref(device);
                changed = true;
            }
            if (changed) {
                loop.Post(window, message);
            }
        }
    }
};

CSerialPortMonitor::StatePtr CSerialPortMonitor::Watch(std::string& error) {
    auto state = std::make_unique<SState>();
    state->context.reset(udev_new());
    state->monitor =
        state->context ? udev_monitor_new_from_netlink(state->context.get(), "udev") : nullptr;
    if (state->monitor == nullptr ||
        udev_monitor_filter_add_match_subsystem_devtype(state->monitor, "tty", nullptr) < 0 ||
        udev_monitor_enable_receiving(state->monitor) < 0) {
        error = std::string("cannot watch for serial devices: ") + std::strerror(errno);
        return nullptr;
    }
    state->wakeFd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (state->wakeFd < 0) {
        error = std::string("eventfd: ") + std::strerror(errno);
        return nullptr;
    }
    state->thread = std::thread(&SState::Run, state.get(), std::ref(m_loop), m_window, m_message);
    return StatePtr(state.release());
}

void CSerialPortMonitor::SStateEnd::operator()(SState* state) const {
    if (state->thread.joinable()) {
        const uint64_t one = 1;
        [[maybe_unused]] const ssize_t n = ::write(state->wakeFd, &one, sizeof one);
        state->thread.join();
    }
    delete state;
}

}  // namespace sondrix
