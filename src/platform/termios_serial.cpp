#include "platform/termios_serial.h"

// termios2 lives in the kernel headers, which clash with <termios.h>; this file
// therefore speaks to the tty layer with ioctl only.
#include <asm/termbits.h>
#include <fcntl.h>
#include <grp.h>
#include <linux/serial.h>
#include <poll.h>
#include <pwd.h>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>
#include <vector>

namespace sondrix {

namespace {

// The line's ioctls go to the kernel directly. A preloaded library that fakes
// devices (umockdev, which our tests run under) answers ioctl() itself for
// every /dev node opened, pseudo-terminals included, and knows no termios2.
int LineIoctl(int fd, unsigned long request, unsigned long argument = 0) {
    return static_cast<int>(::syscall(SYS_ioctl, fd, request, argument));
}
int LineIoctl(int fd, unsigned long request, const void* argument) {
    return LineIoctl(fd, request, reinterpret_cast<unsigned long>(argument));
}

// The groups of this login, and those the group database gives the user now:
// a user added to a group is in the second list at once, in the first only
// after logging in again.
bool InSessionGroup(gid_t group) {
    if (::getegid() == group) {
        return true;
    }
    std::vector<gid_t> groups(static_cast<size_t>(std::max(::getgroups(0, nullptr), 0)));
    const int count = ::getgroups(static_cast<int>(groups.size()), groups.data());
    return std::find(groups.begin(), groups.begin() + std::max(count, 0), group) !=
           groups.begin() + std::max(count, 0);
}

bool InGroupDatabase(gid_t group) {
    const passwd* user = ::getpwuid(::getuid());
    if (user == nullptr) {
        return false;
    }
    int count = 64;
    std::vector<gid_t> groups(static_cast<size_t>(count));
    if (::getgrouplist(user->pw_name, user->pw_gid, groups.data(), &count) < 0) {
        groups.resize(static_cast<size_t>(count));
        if (::getgrouplist(user->pw_name, user->pw_gid, groups.data(), &count) < 0) {
            return false;
        }
    }
    return std::find(groups.begin(), groups.begin() + count, group) != groups.begin() + count;
}

// Permission help naming the group the device really belongs to.
std::string PermissionHelp(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        return {};
    }
    const group* owner = ::getgrgid(info.st_gid);
    const std::string name = owner != nullptr ? owner->gr_name : std::to_string(info.st_gid);
    if (InSessionGroup(info.st_gid)) {
        return " (the device belongs to the group '" + name +
               "', which you are in, yet it does not let the group read and write it)";
    }
    if (InGroupDatabase(info.st_gid)) {
        return " (you were added to the group '" + name +
               "' of the device, but this login started before: log out and in again)";
    }
    return " (the device belongs to the group '" + name + "': sudo usermod -aG " + name +
           " $USER, then log in again)";
}

// USB adapters gather received bytes for up to 16 ms before passing them on,
// which every request and answer would pay. Pseudo-terminals and drivers
// without the setting refuse, which is fine.
bool EnableLowLatency(int fd) {
    struct serial_struct serial {};
    if (LineIoctl(fd, TIOCGSERIAL, &serial) != 0) {
        return false;
    }
    if ((serial.flags & ASYNC_LOW_LATENCY) == 0) {
        serial.flags |= ASYNC_LOW_LATENCY;
        if (LineIoctl(fd, TIOCSSERIAL, &serial) != 0 || LineIoctl(fd, TIOCGSERIAL, &serial) != 0) {
            return false;
        }
    }
    return (serial.flags & ASYNC_LOW_LATENCY) != 0;
}

// Said once a run: without a lock file the line is still kept to ourselves
// by TIOCEXCL, only tools that look for lock files do not see it.
void NoteLockFolder() {
    static std::atomic<bool> noted{false};
    if (!noted.exchange(true)) {
        const std::string folder = CUucpLock::LockFolder();
        std::fprintf(stderr,
                     "%s: cannot write lock files in %s; serial ports are held with TIOCEXCL "
                     "only\n",
                     program_invocation_short_name,
                     folder.empty() ? "/run/lock or /var/lock" : folder.c_str());
    }
}

}  // namespace

CTermiosSerial::CTermiosSerial(std::string path, std::string portName)
    : m_path(std::move(path)), m_portName(std::move(portName)) {}

std::string CTermiosSerial::Who() const {
    return PortDescription(m_portName, m_path);
}

std::string CTermiosSerial::DescribeOpenError(int error) const {
    if (error == EISDIR) {
        return Who() + ": not a serial device";
    }
    if (error == EBUSY) {
        // Held with TIOCEXCL; a holder that also locks it can be named.
        if (const std::optional<SPortHolder> holder = FindLockHolder(m_path)) {
            return InUseBy(*holder);
        }
    }
    std::string text = Who() + ": " + std::strerror(error);
    if (error == EACCES || error == EPERM) {
        text += PermissionHelp(m_path);
    } else if (error == EBUSY) {
        text += " (the port is in use by another program)";
    }
    return text;
}

std::string CTermiosSerial::InUseBy(const SPortHolder& holder) const {
    return Who() + " is in use by " + holder.Text();
}

bool CTermiosSerial::Fail(int fd, std::string& error, std::string reason) {
    error = std::move(reason);
    if (fd >= 0) {
        LineIoctl(fd, TIOCNXCL);
        ::close(fd);
    }
    m_lock.Release();
    return false;
}

CTermiosSerial::~CTermiosSerial() {
    Close();
    if (m_wakeFd >= 0) {
        ::close(m_wakeFd);
    }
}

bool CTermiosSerial::ConfigureRaw(int fd, uint32_t baudRate) {
    struct termios2 tio {};
    if (LineIoctl(fd, TCGETS2, &tio) != 0) {
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
    return LineIoctl(fd, TCSETS2, &tio) == 0;
}

uint32_t CTermiosSerial::LineSpeed(int fd) {
    struct termios2 tio {};
    if (LineIoctl(fd, TCGETS2, &tio) != 0) {
        return 0;
    }
    return tio.c_ospeed;
}

bool CTermiosSerial::Open(uint32_t baudRate, std::string& error) {
    Close();
    m_rateRefused = false;
    if (m_wakeFd < 0) {
        m_wakeFd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
        if (m_wakeFd < 0) {
            error = std::string("eventfd: ") + std::strerror(errno);
            return false;
        }
    }
    // A file or a folder is never opened for writing, let alone configured.
    struct stat info {};
    if (::stat(m_path.c_str(), &info) != 0) {
        return Fail(-1, error, DescribeOpenError(errno));
    }
    if (!S_ISCHR(info.st_mode)) {
        return Fail(-1, error, Who() + ": not a serial device");
    }
    switch (m_lock.Acquire(m_path)) {
        case CUucpLock::EResult::HeldByOther:
            return Fail(-1, error, InUseBy(m_lock.Holder()));
        case CUucpLock::EResult::NoFolder:
            NoteLockFolder();
            break;
        case CUucpLock::EResult::Taken:
            break;
    }
    const int fd = ::open(m_path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return Fail(-1, error, DescribeOpenError(errno));
    }
    struct termios2 tio {};
    if (LineIoctl(fd, TCGETS2, &tio) != 0) {
        return Fail(fd, error, Who() + ": not a serial device");
    }
    // Tools that write no lock file (Debian's picocom) lock the open line
    // with flock, which root must respect too. Taken before anything changes
    // on the line: a line someone else uses is left as it is.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK) {
        const std::optional<SPortHolder> holder = FindLockHolder(m_path);
        return Fail(fd, error, holder ? InUseBy(*holder) : Who() + " is in use by another program");
    }
    // Nobody else may open the line while we use it (root still may).
    if (LineIoctl(fd, TIOCEXCL) != 0) {
        return Fail(fd, error, Who() + ": " + std::strerror(errno));
    }
    // Raise RTS; a pseudo-terminal has no modem lines and refuses, which is fine.
    int rts = TIOCM_RTS;
    if (LineIoctl(fd, TIOCMBIS, &rts) != 0 && errno != ENOTTY && errno != EINVAL) {
        return Fail(fd, error, Who() + ": cannot raise RTS: " + std::strerror(errno));
    }
    if (!ConfigureRaw(fd, baudRate)) {
        m_rateRefused = true;
        return Fail(fd, error,
                    Who() + ": cannot set " + std::to_string(baudRate) +
                        " bps 8N1: " + std::strerror(errno));
    }
    m_lowLatency = EnableLowLatency(fd);
    LineIoctl(fd, TCFLSH, TCIOFLUSH);
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
    LineIoctl(m_fd, TCFLSH, TCIOFLUSH);
    // A pseudo-terminal whose other end stays open (a simulator, a socat
    // link) keeps the flag after the close, and would refuse everyone
    // else, our own next open included.
    LineIoctl(m_fd, TIOCNXCL);
    ::close(m_fd);
    m_fd = -1;
    m_lowLatency = false;
    m_lock.Release();
}

void CTermiosSerial::Purge() {
    if (m_fd >= 0) {
        LineIoctl(m_fd, TCFLSH, TCIOFLUSH);
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
