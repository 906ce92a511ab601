#pragma once

#include <functional>
#include <memory>
#include <string>

namespace sondrix {

// Turns the requests to stop that the system sends a console program
// (SIGINT and SIGTERM; on Windows Ctrl-C and Ctrl-Break as SIGINT, closing
// the console, log-off and shut-down as SIGTERM) into calls of `handler` on
// a thread other than the program's: never in signal context, so the handler
// may lock, post to a message loop or write files. The program then ends
// through its normal path, and every destructor (port, lock file, trace) runs.
// Windows ends the process once a close event's handling returns, so that
// waits (a few seconds at most) until the watch is gone.
//
// While the watch exists those signals no longer end the process; its
// destructor restores what was there before. One watch at a time.
class CInterruptWatch {
  public:
    explicit CInterruptWatch(std::function<void(int signalNumber)> handler);
    ~CInterruptWatch();
    CInterruptWatch(const CInterruptWatch&) = delete;
    CInterruptWatch& operator=(const CInterruptWatch&) = delete;

    // False (with the reason) when the signals could not be taken over; the
    // program then keeps the system's default behaviour.
    bool Active() const;
    const std::string& Error() const;

  private:
    struct SState;
    std::unique_ptr<SState> m_state;
};

}  // namespace sondrix
