#pragma once

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

#include "sim/sim_module.h"

namespace sondrix {

// Runs a simulated module behind a pseudo-terminal, on a thread of its own:
// the program (or any terminal tool) opens the slave path like a serial port.
// The module reads the line speed the host set on the slave and stays silent
// while it differs from its own, as a real module hears only noise then.
class CPtySimulator {
  public:
    explicit CPtySimulator(SSimConfig config = {});
    ~CPtySimulator();
    CPtySimulator(const CPtySimulator&) = delete;
    CPtySimulator& operator=(const CPtySimulator&) = delete;

    // Whether this system has pseudo-terminals (Windows has none).
    static bool Available();

    bool Start(std::string& error);
    // Serves on a pseudo-terminal made elsewhere (the one behind a faked
    // device node), given its master; the descriptor is duplicated.
    bool StartOn(int master, std::string& error);
    void Stop();
    const std::string& SlavePath() const { return m_slavePath; }

    // Answers take the time their bytes need on the wire at the line speed.
    void SetPacing(bool pacing) { m_pacing = pacing; }
    // Runs `action` on the module while the simulator thread keeps off it.
    void WithModule(const std::function<void(CSimModule&)>& action) {
        std::lock_guard lock(m_moduleMutex);
        action(m_module);
    }

  private:
    // Opens and holds the slave of m_master, then runs the module's thread.
    bool Serve(std::string& error);
    void Run();
    // Waits up to `ms`, returning early (false) when Stop was called.
    bool Pause(int64_t ms);
    void SendPaced(const std::vector<uint8_t>& bytes, uint32_t baudRate);

    CSimModule m_module;
    std::mutex m_moduleMutex;
    std::mutex m_writeMutex;
    std::string m_slavePath;
    int m_master = -1;
    int m_slaveHold = -1;
    int m_wake = -1;
    std::atomic<bool> m_running{false};
    std::atomic<bool> m_pacing{false};
    std::thread m_thread;
};

}  // namespace sondrix
