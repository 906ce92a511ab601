#include <chrono>
#include <condition_variable>
#include <csignal>
#include <mutex>

#include "platform/interrupt_watch.h"
#include "platform/win32_api.h"
#include "platform/win32_text.h"

namespace sondrix {

namespace {

// A console program's control handler runs on a thread the system starts for
// each event, never in signal context, so it can call the handler directly.
std::mutex g_mutex;
std::condition_variable g_ended;
std::function<void(int)>* g_handler = nullptr;

// After a close, log-off or shut-down event returns, the system ends the
// process; it allows about five seconds, which the program gets to end
// through its normal path (port closed, lock file and trace written).
constexpr auto kCloseGrace = std::chrono::milliseconds(4500);

BOOL WINAPI OnConsoleControl(DWORD event) {
    int signalNumber = 0;
    switch (event) {
        case CTRL_C_EVENT:
        case CTRL_BREAK_EVENT:
            signalNumber = SIGINT;
            break;
        case CTRL_CLOSE_EVENT:
        case CTRL_LOGOFF_EVENT:
        case CTRL_SHUTDOWN_EVENT:
            signalNumber = SIGTERM;
            break;
        default:
            return FALSE;
    }
    std::unique_lock lock(g_mutex);
    if (g_handler == nullptr) {
        return FALSE;
    }
    (*g_handler)(signalNumber);
    if (signalNumber == SIGTERM) {
        g_ended.wait_for(lock, kCloseGrace, [] { return g_handler == nullptr; });
    }
    return TRUE;
}

}  // namespace

struct CInterruptWatch::SState {
    std::function<void(int)> handler;
    bool installed = false;
    std::string error;
};

CInterruptWatch::CInterruptWatch(std::function<void(int)> handler)
    : m_state(std::make_unique<SState>()) {
    SState& s = *m_state;
    s.handler = std::move(handler);
    std::lock_guard lock(g_mutex);
    if (g_handler != nullptr) {
        s.error = "another interrupt watch is active";
        return;
    }
    if (!::SetConsoleCtrlHandler(OnConsoleControl, TRUE)) {
        s.error = "cannot watch for Ctrl-C: " + SystemErrorText(::GetLastError());
        return;
    }
    g_handler = &s.handler;
    s.installed = true;
}

CInterruptWatch::~CInterruptWatch() {
    if (!m_state->installed) {
        return;
    }
    ::SetConsoleCtrlHandler(OnConsoleControl, FALSE);
    {
        std::lock_guard lock(g_mutex);
        g_handler = nullptr;
    }
    g_ended.notify_all();
}

bool CInterruptWatch::Active() const {
    return m_state->installed;
}

const std::string& CInterruptWatch::Error() const {
    return m_state->error;
}

}  // namespace sondrix
