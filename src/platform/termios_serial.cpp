#include "platform/termios_serial.h"

// termios2 lives in the kernel headers, which clash with <termios.h>; this file
// therefore speaks to the tty layer with ioctl only.
#include <asm/termbits.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace sondrix {

namespace {

std::string DescribeOpenError(const std::string& path, int error) {
    std::string text = path + ": " + std::strerror(error);
    if (error == EACCES || error == EPERM) {
        text +=
            " (add your user to the 'dialout' group: sudo usermod -aG dialout $USER, then log in "
            "again)";
    } else if (error == EBUSY) {
        text += " (the port is in use by another program)";
    }
    return text;
}

}  // namespace

CTermiosSerial::CTermiosSerial(std::string path) : m_path(std::move(path)) {}

CTermiosSerial::~CTermiosSerial() {
    Close();
    if (m_wakeFd >= 0) {
        ::close(m_wakeFd);
    }
}

bool CTermiosSerial::ConfigureRaw(int fd, uint32_t baudRate) {
    struct termios2 tio {};
    if (::ioctl(fd, TCGETS2, &tio) != 0) {
        return false;
    }
    tio.c_iflag &=
        ~(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON | IXOFF | IXANY | INPCK);
    tio.c_oflag &= ~OPOST;
    tio.c_lflag &= ~(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
    tio.c_cflag &= ~(CSIZE | PARENB | CSTOPB | CRTSCTS | CBAUD | (CBAUD << IBSHIFT));
    tio.c_cflag |= CS8 | CREAD | CLOCAL | BOTHER | (BOTHER << IBSHIFT);
    tio.c_ispeed = baudRate;
    tio.c_ospeed = baudRate;
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    tio.c_cc[VSTART] = 0;
    tio.c_cc[VSTOP] = 0;
    return ::ioctl(fd, TCSETS2, &tio) == 0;
}

uint32_t CTermiosSerial::LineSpeed(int fd) {
    struct termios2 tio {};
    if (::ioctl(fd, TCGETS2, &tio) != 0) {
        return 0;
    }
    return tio.c_ospeed;
}

bool CTermiosSerial::Open(uint32_t baudRate, std::string& error) {
    Close();
    if (m_wakeFd < 0) {
        m_wakeFd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
        if (m_wakeFd < 0) {
            error = std::string("eventfd: ") + std::strerror(errno);
            return false;
        }
    }
    const int fd = ::open(m_path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        error = DescribeOpenError(m_path, errno);
        return false;
    }
    // Nobody else may open the line while we use it.
    if (::ioctl(fd, TIOCEXCL) != 0) {
        error = m_path + ": " + std::strerror(errno);
        ::close(fd);
        return false;
    }
    // Raise RTS; a pseudo-terminal has no modem lines and refuses, which is fine.
    int rts = TIOCM_RTS;
    if (::ioctl(fd, TIOCMBIS, &rts) != 0 && errno != ENOTTY && errno != EINVAL) {
        error = m_path + ": cannot raise RTS: " + std::strerror(errno);
        ::close(fd);
        return false;
    }
    if (!ConfigureRaw(fd, baudRate)) {
        error = m_path + ": cannot set " + std::to_string(baudRate) +
                " bps 8N1: " + std::strerror(errno);
        ::close(fd);
        return false;
    }
    ::ioctl(fd, TCFLSH, TCIOFLUSH);
    m_fd = fd;
    // A wake-up left over from an earlier Close must not end the first wait.
    uint64_t drained = 0;
    while (::read(m_wakeFd, &drained, sizeof drained) > 0) {
    }
    return true;
}

void CTermiosSerial::Close() {
    if (m_fd < 0) {
        return;
    }
    ::ioctl(m_fd, TCFLSH, TCIOFLUSH);
    ::close(m_fd);
    m_fd = -1;
}

void CTermiosSerial::Purge() {
    if (m_fd >= 0) {
        ::ioctl(m_fd, TCFLSH, TCIOFLUSH);
    }
}

size_t CTermiosSerial::Write(const uint8_t* bytes, size_t count) {
    size_t written = 0;
    while (m_fd >= 0 && written < count) {
        const ssize_t n = ::write(m_fd, bytes + written, count - written);
        if (n > 0) {
            written += static_cast<size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0 && errno == EAGAIN) {
            // The driver's buffer is full: wait until it drains.
            struct pollfd out {
                m_fd, POLLOUT, 0
            };
            if (::poll(&out, 1, 1000) < 0 && errno != EINTR) {
                break;
            }
            if (out.revents & (POLLERR | POLLHUP | POLLNVAL)) {
                break;
            }
            continue;
        }
        break;
    }
    return written;
}

size_t CTermiosSerial::Read(uint8_t* buffer, size_t capacity) {
    if (m_fd < 0) {
        return 0;
    }
    for (;;) {
        const ssize_t n = ::read(m_fd, buffer, capacity);
        if (n > 0) {
            return static_cast<size_t>(n);
        }
        if (n < 0 && errno == EINTR) {
            continue;
        }
        return 0;
    }
}

ISerialDevice::EWait CTermiosSerial::WaitForInput(int timeoutMs) {
    if (m_fd < 0) {
        return EWait::Hangup;
    }
    struct pollfd fds[2] = {{m_fd, POLLIN, 0}, {m_wakeFd, POLLIN, 0}};
    for (;;) {
        const int ready = ::poll(fds, 2, timeoutMs);
        if (ready < 0 && errno == EINTR) {
            continue;
        }
        if (ready < 0) {
            return EWait::Hangup;
        }
        if (ready == 0) {
            return EWait::Timeout;
        }
        if (fds[1].revents & POLLIN) {
            uint64_t value = 0;
            [[maybe_unused]] const ssize_t n = ::read(m_wakeFd, &value, sizeof value);
            return EWait::Woken;
        }
        // A device that went away (adapter pulled, other end of a pty closed)
        // also reports itself readable, yet every read fails: hang-up first.
        if (fds[0].revents & (POLLHUP | POLLERR | POLLNVAL)) {
            return EWait::Hangup;
        }
        return (fds[0].revents & POLLIN) ? EWait::Data : EWait::Timeout;
    }
}

void CTermiosSerial::Wake() {
    if (m_wakeFd >= 0) {
        const uint64_t one = 1;
        [[maybe_unused]] const ssize_t n = ::write(m_wakeFd, &one, sizeof one);
    }
}

}  // namespace sondrix
