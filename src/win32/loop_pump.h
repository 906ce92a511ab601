#pragma once

#include <atomic>
#include <cstdint>
#include <functional>

#include "win32/win32_handles.h"

namespace sondrix {

class CMessageLoop;

// Drives the program's message loop from the system's. The loop's wake hook
// (called from any thread when a message is posted or the timer schedule
// moves) posts one message to a hidden window; a system timer waits for the
// next window timer. Nothing polls: an idle program sleeps in the system
// until a message arrives or its own timer is due.
//
// The system hands posted messages out before input, so a module that
// answers at once would keep the keyboard and mouse waiting for ever if
// every turn of the program's loop came as a posted message. RunUntil, the
// program's own loop, therefore takes every window message first (input and
// painting included) and then one turn. Inside the system's modal loops
// (message boxes, file dialogs) the posted message runs a turn, and the next
// one waits behind input on a timer.
//
// Anything that may post to the loop from another thread (the receive
// thread) must be stopped before the pump goes.
class CLoopPump {
  public:
    explicit CLoopPump(CMessageLoop& loop);
    ~CLoopPump();
    CLoopPump(const CLoopPump&) = delete;
    CLoopPump& operator=(const CLoopPump&) = delete;

    // Runs window messages and the program's loop until `done` holds
    // (checked after every message and turn) or, with a time-out, that many
    // milliseconds have passed; false when the program is to end (the quit
    // message is left for the outer loops) or the time ran out.
    bool RunUntil(const std::function<bool()>& done, int64_t timeoutMs = -1);
    // Keys of the main window's menu, taken before the controls see them.
    void SetAccelerators(WinHandle window, void* accelerators);

    // The hidden window's messages.
    long long OnMessage(unsigned int message, unsigned long long wparam, long long lparam);

  private:
    void Turn();
    void ArmTimer();
    void RequestPump();

    CMessageLoop& m_loop;
    WinHandle m_window = nullptr;
    WinHandle m_acceleratorWindow = nullptr;
    void* m_accelerators = nullptr;
    std::atomic<bool> m_pumpQueued{false};
};

}  // namespace sondrix
