#include "sim/pty_simulator.h"

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>

#include "platform/termios_serial.h"
#include "sim/sim_loopback.h"

namespace sondrix {

CPtySimulator::CPtySimulator(SSimConfig config) : m_module(config) {}

CPtySimulator::~CPtySimulator() {
    Stop();
}

bool CPtySimulator::Available() {
    return true;
}

bool CPtySimulator::Start(std::string& error) {
    m_master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (m_master < 0 || ::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0) {
        error = std::string("cannot create a pseudo-terminal: ") + std::strerror(errno);
        Stop();
        return false;
    }
    return Serve(error);
}

bool CPtySimulator::StartOn(int master, std::string& error) {
    m_master = ::fcntl(master, F_DUPFD_CLOEXEC, 0);
    if (m_master < 0) {
        error = std::string("cannot take the pseudo-terminal: ") + std::strerror(errno);
        return false;
    }
    return Serve(error);
}

bool CPtySimulator::Serve(std::string& error) {
    char name[128] = {};
    if (::ptsname_r(m_master, name, sizeof name) != 0) {
        error = std::string("ptsname: ") + std::strerror(errno);
        Stop();
        return false;
    }
    m_slavePath = name;
    // Holding the slave open keeps the line up while no host has it open, and
    // raw mode from the start keeps the line discipline from echoing requests.
    m_slaveHold = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    uint32_t baud = 0;
    WithModule([&](CSimModule& module) { baud = module.Config().baudRate; });
    if (m_slaveHold < 0 || !CTermiosSerial::ConfigureRaw(m_slaveHold, baud)) {
        error = m_slavePath + ": " + std::strerror(errno);
        Stop();
        return false;
    }
    m_wake = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (m_wake < 0) {
        error = std::string("eventfd: ") + std::strerror(errno);
        Stop();
        return false;
    }
    // What the module says of its own accord goes out at once.
    WithModule([&](CSimModule& module) {
        module.SetSpontaneousSink(
            [this](SSimReply reply) { SendPaced(reply.bytes, m_module.Config().baudRate); });
    });
    m_running = true;
    m_thread = std::thread(&CPtySimulator::Run, this);
    return true;
}

void CPtySimulator::Stop() {
    WithModule([](CSimModule& module) { module.SetSpontaneousSink({}); });
    if (m_running.exchange(false) && m_wake >= 0) {
        const uint64_t one = 1;
        [[maybe_unused]] const ssize_t n = ::write(m_wake, &one, sizeof one);
    }
    if (m_thread.joinable()) {
        m_thread.join();
    }
    for (int* fd : {&m_master, &m_slaveHold, &m_wake}) {
        if (*fd >= 0) {
            ::close(*fd);
            *fd = -1;
        }
    }
}

bool CPtySimulator::Pause(int64_t ms) {
    if (ms <= 0) {
        return m_running;
    }
    struct pollfd wake {
        m_wake, POLLIN, 0
    };
    ::poll(&wake, 1, static_cast<int>(ms));
    return m_running;
}

void CPtySimulator::SendPaced(const std::vector<uint8_t>& bytes, uint32_t baudRate) {
    // Answers and what the module sends of its own accord never interleave.
    std::lock_guard lock(m_writeMutex);
    using Clock = std::chrono::steady_clock;
    const auto start = Clock::now();
    constexpr size_t kSlice = 64;
    for (size_t sent = 0; sent < bytes.size() && m_running;) {
        const size_t n = std::min(kSlice, bytes.size() - sent);
        if (m_pacing) {
            // Release each slice at the moment its last byte would be on the wire.
            const auto due = start + std::chrono::microseconds(WireTimeUs(sent + n, baudRate));
            const auto wait =
                std::chrono::duration_cast<std::chrono::milliseconds>(due - Clock::now());
            Pause(wait.count());
        }
        const ssize_t w = ::write(m_master, bytes.data() + sent, n);
        if (w < 0 && errno == EINTR) {
            continue;
        }
        if (w <= 0) {
            return;
        }
        sent += static_cast<size_t>(w);
    }
}

void CPtySimulator::Run() {
    uint8_t buffer[4096];
    while (m_running) {
        struct pollfd fds[2] = {{m_master, POLLIN, 0}, {m_wake, POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0) {
            if (errno == EINTR) {
                continue;
            }
            return;
        }
        if (!m_running || (fds[1].revents & POLLIN)) {
            return;
        }
        if (!(fds[0].revents & POLLIN)) {
            Pause(10);  // no host on the line yet
            continue;
        }
        const ssize_t n = ::read(m_master, buffer, sizeof buffer);
        if (n <= 0) {
            Pause(10);
            continue;
        }
        // The slave we hold open shows the line settings the host made.
        const uint32_t hostSpeed = CTermiosSerial::LineSpeed(m_slaveHold);
        std::vector<SSimReply> replies;
        uint32_t ownSpeed = 0;
        {
            std::lock_guard lock(m_moduleMutex);
            ownSpeed = m_module.Config().baudRate;
            if (hostSpeed == ownSpeed) {
                replies = m_module.Receive(buffer, static_cast<size_t>(n));
            }
        }
        if (m_pacing && !replies.empty()) {
            // The request itself needed its time on the wire before the
            // module could act on it.
            std::this_thread::sleep_for(
                std::chrono::microseconds(WireTimeUs(static_cast<size_t>(n), ownSpeed)));
        }
        for (const SSimReply& reply : replies) {
            if (!Pause(reply.delayMs)) {
                return;
            }
            SendPaced(reply.bytes, ownSpeed);
        }
    }
}

}  // namespace sondrix
