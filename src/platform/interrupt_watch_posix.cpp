#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <string>
#include <thread>

#include "platform/interrupt_watch.h"

namespace sondrix {

namespace {

constexpr std::array<int, 2> kSignals = {SIGINT, SIGTERM};

// The write end of the pipe the signal handler reports to. The handler may
// only do what is safe in signal context: one write of the signal's number.
std::atomic<int> g_signalPipe{-1};

void OnSignal(int signalNumber) {
    const int saved = errno;
    const int fd = g_signalPipe.load();
    if (fd >= 0) {
        const unsigned char byte = static_cast<unsigned char>(signalNumber);
        [[maybe_unused]] const ssize_t written = write(fd, &byte, 1);
    }
    errno = saved;
}

bool MakePipe(int (&fds)[2], std::string& error) {
    if (pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0) {
        error = std::string("cannot create a pipe: ") + std::strerror(errno);
        return false;
    }
    return true;
}

void ClosePipe(int (&fds)[2]) {
    for (int& fd : fds) {
        if (fd >= 0) {
            close(fd);
            fd = -1;
        }
    }
}

}  // namespace

struct CInterruptWatch::SState {
    std::function<void(int)> handler;
    int signals[2] = {-1, -1};  // the handler writes, the watch thread reads
    int wake[2] = {-1, -1};     // the destructor ends the watch thread
    std::array<struct sigaction, kSignals.size()> previous{};
    bool installed = false;
    std::string error;
    std::thread thread;

    void Watch() {
        std::array<pollfd, 2> fds = {pollfd{signals[0], POLLIN, 0}, pollfd{wake[0], POLLIN, 0}};
        while (true) {
            if (poll(fds.data(), fds.size(), -1) < 0) {
                if (errno == EINTR) {
                    continue;
                }
                return;
            }
            if (fds[1].revents != 0) {
                return;
            }
            unsigned char byte = 0;
            while (read(signals[0], &byte, 1) == 1) {
                handler(byte);
            }
        }
    }
};

CInterruptWatch::CInterruptWatch(std::function<void(int)> handler)
    : m_state(std::make_unique<SState>()) {
    SState& s = *m_state;
    s.handler = std::move(handler);
    if (g_signalPipe.load() >= 0) {
        s.error = "another interrupt watch is active";
        return;
    }
    if (!MakePipe(s.signals, s.error) || !MakePipe(s.wake, s.error)) {
        ClosePipe(s.signals);
        ClosePipe(s.wake);
        return;
    }
    try {
        s.thread = std::thread(&SState::Watch, &s);
    } catch (const std::system_error& e) {
        s.error = std::string("cannot start the interrupt watch: ") + e.what();
        ClosePipe(s.signals);
        ClosePipe(s.wake);
        return;
    }
    g_signalPipe = s.signals[1];
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    // Blocking calls of other threads go on where they were (SA_RESTART);
    // the program learns of the request through the handler.
    action.sa_flags = SA_RESTART;
    for (size_t i = 0; i < kSignals.size(); ++i) {
        sigaction(kSignals[i], &action, &s.previous[i]);
    }
    s.installed = true;
}

CInterruptWatch::~CInterruptWatch() {
    SState& s = *m_state;
    if (s.installed) {
        for (size_t i = 0; i < kSignals.size(); ++i) {
            sigaction(kSignals[i], &s.previous[i], nullptr);
        }
        g_signalPipe = -1;
    }
    if (s.thread.joinable()) {
        const unsigned char byte = 0;
        [[maybe_unused]] const ssize_t written = write(s.wake[1], &byte, 1);
        s.thread.join();
    }
    ClosePipe(s.signals);
    ClosePipe(s.wake);
}

bool CInterruptWatch::Active() const {
    return m_state->installed;
}

const std::string& CInterruptWatch::Error() const {
    return m_state->error;
}

}  // namespace sondrix
