#include "platform/message_loop.h"

#include <algorithm>
#include <thread>

namespace sondrix {

CMessageLoop::CMessageLoop(EClock clock) : m_clock(clock), m_start(Clock::now()) {}

CMessageLoop::~CMessageLoop() = default;

int64_t CMessageLoop::NowMs() const {
    if (m_clock == EClock::Virtual) {
        return m_virtualNowMs;
    }
    return std::chrono::duration_cast<Duration>(Clock::now() - m_start).count();
}

void CMessageLoop::QueuePush(const SMessage& message) {
    if (m_queueCount == m_queue.size()) {
        std::vector<SMessage> larger(m_queue.size() * 2);
        for (size_t i = 0; i < m_queueCount; ++i) {
            larger[i] = m_queue[(m_queueHead + i) % m_queue.size()];
        }
        m_queue = std::move(larger);
        m_queueHead = 0;
    }
    m_queue[(m_queueHead + m_queueCount) % m_queue.size()] = message;
    ++m_queueCount;
}

CMessageLoop::SMessage CMessageLoop::QueuePop() {
    const SMessage message = m_queue[m_queueHead];
    m_queueHead = (m_queueHead + 1) % m_queue.size();
    --m_queueCount;
    return message;
}

void CMessageLoop::Post(HWND window, uint32_t message, WPARAM wparam, LPARAM lparam) {
    {
        std::lock_guard lock(m_queueMutex);
        QueuePush({window, message, wparam, lparam});
    }
    m_queueCondition.notify_one();
    Wake();
}

LRESULT CMessageLoop::Send(HWND window, uint32_t message, WPARAM wparam, LPARAM lparam) {
    CWindow* target = Find(window);
    return target ? target->WindowProc(message, wparam, lparam) : 0;
}

void CMessageLoop::SetTimer(HWND window, uint32_t id, uint32_t periodMs) {
    if (!Find(window)) {
        return;
    }
    const int64_t due = NowMs() + periodMs;
    auto it = std::find_if(m_timers.begin(), m_timers.end(),
                           [&](const STimer& t) { return t.window == window && t.id == id; });
    if (it != m_timers.end()) {
        it->periodMs = periodMs;
        it->dueMs = due;
    } else {
        m_timers.push_back({window, id, periodMs, due});
    }
    Wake();
}

void CMessageLoop::KillTimer(HWND window, uint32_t id) {
    std::erase_if(m_timers, [&](const STimer& t) { return t.window == window && t.id == id; });
    Wake();
}

bool CMessageLoop::HasTimer(HWND window, uint32_t id) const {
    return std::any_of(m_timers.begin(), m_timers.end(),
                       [&](const STimer& t) { return t.window == window && t.id == id; });
}

void CMessageLoop::Sleep(uint32_t ms) {
    if (m_clock == EClock::Virtual) {
        m_virtualNowMs += ms;
    } else {
        std::this_thread::sleep_for(Duration(ms));
    }
}

bool CMessageLoop::DeliverOneMessage() {
    SMessage message;
    {
        std::lock_guard lock(m_queueMutex);
        if (QueueEmpty()) {
            return false;
        }
        message = QueuePop();
    }
    if (CWindow* target = Find(message.window)) {
        target->WindowProc(message.message, message.wparam, message.lparam);
    }
    return true;
}

bool CMessageLoop::FireOneDueTimer() {
    const int64_t now = NowMs();
    auto due = std::min_element(m_timers.begin(), m_timers.end(),
                                [](const STimer& a, const STimer& b) { return a.dueMs < b.dueMs; });
    if (due == m_timers.end() || due->dueMs > now) {
        return false;
    }
    // Like window timers, a late timer ticks once and its period restarts now.
    due->dueMs = now + due->periodMs;
    const HWND window = due->window;
    const uint32_t id = due->id;
    if (CWindow* target = Find(window)) {
        target->OnTimer(id);
    }
    return true;
}

size_t CMessageLoop::DeliverTurn(const std::function<bool()>& stop, bool& stopped) {
    size_t batch = 0;
    {
        std::lock_guard lock(m_queueMutex);
        batch = m_queueCount;
    }
    size_t delivered = 0;
    stopped = false;
    while (delivered < batch && DeliverOneMessage()) {
        ++delivered;
        if (stop && stop()) {
            stopped = true;
            return delivered;
        }
    }
    if (m_quit) {
        return delivered;
    }
    // A timer ticks when the queue is empty, as window timers do; when the
    // queue never runs empty, a due timer still ticks after one more turn.
    const bool due = MsUntilNextTimer() == 0;
    if (due && HasPostedMessages() && !m_timerYielded) {
        m_timerYielded = true;
        return delivered;
    }
    m_timerYielded = false;
    if (FireOneDueTimer()) {
        ++delivered;
        stopped = stop && stop();
    }
    return delivered;
}

size_t CMessageLoop::ProcessPending() {
    bool stopped = false;
    return DeliverTurn({}, stopped);
}

std::optional<int64_t> CMessageLoop::MsUntilNextTimer() const {
    if (m_timers.empty()) {
        return std::nullopt;
    }
    const auto next =
        std::min_element(m_timers.begin(), m_timers.end(),
                         [](const STimer& a, const STimer& b) { return a.dueMs < b.dueMs; });
    return std::max<int64_t>(0, next->dueMs - NowMs());
}

bool CMessageLoop::HasPostedMessages() const {
    std::lock_guard lock(m_queueMutex);
    return !QueueEmpty();
}

void CMessageLoop::WaitForWork(int64_t untilMs) {
    std::unique_lock lock(m_queueMutex);
    const int64_t now = NowMs();
    int64_t waitMs = untilMs - now;
    if (auto timer = MsUntilNextTimer()) {
        waitMs = std::min(waitMs, *timer);
    }
    if (waitMs <= 0) {
        return;
    }
    m_queueCondition.wait_for(lock, Duration(waitMs), [&] { return !QueueEmpty() || m_quit; });
}

void CMessageLoop::RunFor(uint32_t ms) {
    RunUntil([] { return false; }, ms);
}

bool CMessageLoop::RunUntil(const std::function<bool()>& predicate, uint32_t timeoutMs) {
    const int64_t end = NowMs() + timeoutMs;
    for (;;) {
        bool held = false;
        DeliverTurn(predicate, held);
        if (held || predicate()) {
            return true;
        }
        // What is due at the deadline itself still happens; past it, nothing
        // more does, even when the queue never runs empty.
        const bool workNow = HasPostedMessages() || MsUntilNextTimer() == 0;
        const int64_t now = NowMs();
        if (m_quit || now > end || (now == end && !workNow)) {
            return false;
        }
        if (workNow) {
            continue;
        }
        if (m_clock == EClock::Virtual) {
            // Nothing is due: jump to the next timer deadline or to the end.
            int64_t next = end;
            if (auto timer = MsUntilNextTimer()) {
                next = std::min(end, NowMs() + *timer);
            }
            m_virtualNowMs = next;
        } else {
            WaitForWork(end);
        }
    }
}

int CMessageLoop::Run() {
    m_quit = false;
    while (!m_quit) {
        ProcessPending();
        if (!m_quit) {
            WaitForWork(NowMs() + 1000);
        }
    }
    return m_exitCode;
}

void CMessageLoop::Quit(int exitCode) {
    m_exitCode = exitCode;
    m_quit = true;
    Wake();
    m_queueCondition.notify_all();
}

void CMessageLoop::SetWakeHook(std::function<void()> hook) {
    auto shared = hook ? std::make_shared<const std::function<void()>>(std::move(hook)) : nullptr;
    std::lock_guard lock(m_queueMutex);
    m_wakeHook = std::move(shared);
}

void CMessageLoop::Wake() {
    std::shared_ptr<const std::function<void()>> hook;
    {
        std::lock_guard lock(m_queueMutex);
        hook = m_wakeHook;
    }
    if (hook) {
        (*hook)();
    }
}

HWND CMessageLoop::Register(CWindow* window) {
    const HWND handle = m_nextHandle++;
    m_windows.emplace(handle, window);
    return handle;
}

void CMessageLoop::Unregister(HWND window) {
    m_windows.erase(window);
    std::erase_if(m_timers, [&](const STimer& t) { return t.window == window; });
}

CWindow* CMessageLoop::Find(HWND window) const {
    auto it = m_windows.find(window);
    return it == m_windows.end() ? nullptr : it->second;
}

CWindow::CWindow(CMessageLoop& loop) : m_loop(loop), m_handle(loop.Register(this)) {}

CWindow::~CWindow() {
    m_loop.Unregister(m_handle);
}

LRESULT CWindow::WindowProc(uint32_t, WPARAM, LPARAM) {
    return 0;
}

void CWindow::OnTimer(uint32_t) {}

}  // namespace sondrix
