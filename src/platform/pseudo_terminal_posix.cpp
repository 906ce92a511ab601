#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/pseudo_terminal.h"
#include "platform/termios_serial.h"

namespace sondrix {

struct CPseudoTerminal::SHandles {
    int master = -1;
    int slaveHold = -1;
    int wake = -1;
};

CPseudoTerminal::CPseudoTerminal() : m_handles(std::make_unique<SHandles>()) {}

CPseudoTerminal::~CPseudoTerminal() {
    Close();
}

bool CPseudoTerminal::Available() {
    return true;
}

bool CPseudoTerminal::Open(uint32_t baudRate, std::string& error) {
    m_handles->master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (m_handles->master < 0 || ::grantpt(m_handles->master) != 0 ||
        ::unlockpt(m_handles->master) != 0) {
        error = std::string("cannot create a pseudo-terminal: ") + std::strerror(errno);
        Close();
        return false;
    }
    return Hold(baudRate, error);
}

bool CPseudoTerminal::Adopt(int master, uint32_t baudRate, std::string& error) {
    m_handles->master = ::fcntl(master, F_DUPFD_CLOEXEC, 0);
    if (m_handles->master < 0) {
        error = std::string("cannot take the pseudo-terminal: ") + std::strerror(errno);
        return false;
    }
    return Hold(baudRate, error);
}

bool CPseudoTerminal::Hold(uint32_t baudRate, std::string& error) {
    char name[128] = {};
    if (::ptsname_r(m_handles->master, name, sizeof name) != 0) {
        error = std::string("ptsname: ") + std::strerror(errno);
        Close();
        return false;
    }
    m_slavePath = name;
    // Raw mode from the start keeps the line discipline from echoing requests.
    m_handles->slaveHold = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (m_handles->slaveHold < 0 || !CTermiosSerial::ConfigureRaw(m_handles->slaveHold, baudRate)) {
        error = m_slavePath + ": " + std::strerror(errno);
        Close();
        return false;
    }
    m_handles->wake = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (m_handles->wake < 0) {
        error = std::string("eventfd: ") + std::strerror(errno);
        Close();
        return false;
    }
    return true;
}

void CPseudoTerminal::Close() {
    for (int* fd : {&m_handles->master, &m_handles->slaveHold, &m_handles->wake}) {
        if (*fd >= 0) {
            ::close(*fd);
            *fd = -1;
        }
    }
}

long CPseudoTerminal::Read(uint8_t* buffer, size_t size) {
    struct pollfd fds[2] = {{m_handles->master, POLLIN, 0}, {m_handles->wake, POLLIN, 0}};
    if (::poll(fds, 2, -1) < 0) {
        return errno == EINTR ? 0 : -1;
    }
    if (fds[1].revents & POLLIN) {
        return -1;
    }
    if (!(fds[0].revents & POLLIN)) {
        // No host on the line yet: the master reports a hang-up until one
        // opens the slave.
        return Pause(10) ? 0 : -1;
    }
    const ssize_t n = ::read(m_handles->master, buffer, size);
    if (n <= 0) {
        return Pause(10) ? 0 : -1;
    }
    return static_cast<long>(n);
}

bool CPseudoTerminal::Write(const uint8_t* bytes, size_t size) {
    for (size_t sent = 0; sent < size;) {
        const ssize_t w = ::write(m_handles->master, bytes + sent, size - sent);
        if (w < 0 && errno == EINTR) {
            continue;
        }
        if (w <= 0) {
            return false;
        }
        sent += static_cast<size_t>(w);
    }
    return true;
}

bool CPseudoTerminal::Pause(int64_t ms) {
    struct pollfd wake {
        m_handles->wake, POLLIN, 0
    };
    return ::poll(&wake, 1, static_cast<int>(ms > 0 ? ms : 0)) == 0;
}

void CPseudoTerminal::Wake() {
    if (m_handles->wake >= 0) {
        const uint64_t one = 1;
        [[maybe_unused]] const ssize_t n = ::write(m_handles->wake, &one, sizeof one);
    }
}

uint32_t CPseudoTerminal::HostLineSpeed() const {
    return CTermiosSerial::LineSpeed(m_handles->slaveHold);
}

}  // namespace sondrix
