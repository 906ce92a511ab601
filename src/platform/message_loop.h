#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <unordered_map>
#include <vector>

#include "platform/message_numbers.h"

namespace sondrix {

// Window handles are plain numbers that are never reused, so a message posted
// to a window that has since been destroyed finds no receiver and is dropped.
using HWND = uint32_t;
using WPARAM = uintptr_t;
using LPARAM = intptr_t;
using LRESULT = intptr_t;

constexpr HWND kNoWindow = 0;

class CWindow;

// The program's message loop: posted and sent messages, per-window periodic
// timers and Sleep, on the real steady clock or on a virtual clock that tests
// advance. Everything but Post runs on the thread that owns the loop.
class CMessageLoop {
  public:
    enum class EClock { Real, Virtual };
    using Clock = std::chrono::steady_clock;
    using Duration = std::chrono::milliseconds;

    explicit CMessageLoop(EClock clock = EClock::Real);
    ~CMessageLoop();
    CMessageLoop(const CMessageLoop&) = delete;
    CMessageLoop& operator=(const CMessageLoop&) = delete;

    bool IsVirtual() const { return m_clock == EClock::Virtual; }
    // Milliseconds since the loop was created (virtual or real).
    int64_t NowMs() const;

    // Thread-safe: queue a message for the window; delivered in order by the loop.
    void Post(HWND window, uint32_t message, WPARAM wparam = 0, LPARAM lparam = 0);
    // Direct call of the window's handler on the caller's (the UI) thread.
    LRESULT Send(HWND window, uint32_t message, WPARAM wparam = 0, LPARAM lparam = 0);

    // Window timers: periodic, one pending tick at most, re-arming replaces.
    void SetTimer(HWND window, uint32_t id, uint32_t periodMs);
    void KillTimer(HWND window, uint32_t id);
    bool HasTimer(HWND window, uint32_t id) const;

    // Blocks the UI thread (real clock) or moves virtual time on without
    // delivering anything, as a blocking sleep would.
    void Sleep(uint32_t ms);

    // One turn of the loop: delivers the messages that were queued when it
    // began (not those they post in turn) and then, if one is due, a window
    // timer. A module that answers at once keeps the queue from ever running
    // empty, so a turn must end for the toolkit, the timers and a script's
    // clock to get theirs. Returns the number of deliveries.
    size_t ProcessPending();
    // Runs the loop for the given time: on the virtual clock time jumps from
    // deadline to deadline; on the real clock the thread waits for messages.
    void RunFor(uint32_t ms);
    // Runs until the predicate holds (checked after every delivery) or the
    // time-out passes (checked after every turn, so also while the queue
    // never runs empty); returns whether the predicate held.
    bool RunUntil(const std::function<bool()>& predicate, uint32_t timeoutMs);
    // Runs until Quit (the real-clock main loop of the headless front end).
    int Run();
    void Quit(int exitCode = 0);

    // Milliseconds until the next timer is due (0 if due now), or none.
    std::optional<int64_t> MsUntilNextTimer() const;
    bool HasPostedMessages() const;
    // Called, from any thread, whenever a message is posted or the timer
    // schedule changes; a GUI toolkit uses it to schedule a pump.
    void SetWakeHook(std::function<void()> hook);

  private:
    friend class CWindow;
    struct SMessage {
        HWND window;
        uint32_t message;
        WPARAM wparam;
        LPARAM lparam;
    };
    struct STimer {
        HWND window;
        uint32_t id;
        uint32_t periodMs;
        int64_t dueMs;
    };

    HWND Register(CWindow* window);
    void Unregister(HWND window);
    CWindow* Find(HWND window) const;
    bool DeliverOneMessage();
    bool FireOneDueTimer();
    // ProcessPending's turn; stops early once `stop` holds after a delivery.
    size_t DeliverTurn(const std::function<bool()>& stop, bool& stopped);
    void Wake();
    void WaitForWork(int64_t untilMs);

    EClock m_clock;
    Clock::time_point m_start;
    int64_t m_virtualNowMs = 0;

    // Posted messages in a ring that only ever grows, so that a steady flow
    // of messages allocates nothing.
    bool QueueEmpty() const { return m_queueCount == 0; }
    void QueuePush(const SMessage& message);
    SMessage QueuePop();

    mutable std::mutex m_queueMutex;
    std::condition_variable m_queueCondition;
    std::vector<SMessage> m_queue = std::vector<SMessage>(64);
    size_t m_queueHead = 0;
    size_t m_queueCount = 0;
    std::shared_ptr<const std::function<void()>> m_wakeHook;

    std::unordered_map<HWND, CWindow*> m_windows;
    HWND m_nextHandle = 1;
    std::vector<STimer> m_timers;
    // Set when a turn ended with a timer due but the queue not empty: like
    // window timers they yield to posted messages, but for one turn only.
    bool m_timerYielded = false;
    std::atomic<bool> m_quit{false};
    int m_exitCode = 0;
};

// Base of everything that receives messages or timers. Registers itself with
// the loop on construction and unregisters (killing its timers) on destruction.
class CWindow {
  public:
    explicit CWindow(CMessageLoop& loop);
    virtual ~CWindow();
    CWindow(const CWindow&) = delete;
    CWindow& operator=(const CWindow&) = delete;

    HWND Handle() const { return m_handle; }
    CMessageLoop& Loop() const { return m_loop; }

    void SetTimer(uint32_t id, uint32_t periodMs) { m_loop.SetTimer(m_handle, id, periodMs); }
    void KillTimer(uint32_t id) { m_loop.KillTimer(m_handle, id); }
    void PostMessage(uint32_t message, WPARAM wparam = 0, LPARAM lparam = 0) {
        m_loop.Post(m_handle, message, wparam, lparam);
    }

    virtual LRESULT WindowProc(uint32_t message, WPARAM wparam, LPARAM lparam);
    virtual void OnTimer(uint32_t id);

  private:
    CMessageLoop& m_loop;
    HWND m_handle;
};

}  // namespace sondrix
