#pragma once

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "sim/pty_simulator.h"
#include "sim/sim_module.h"

namespace sondrix {

// sondrix.Simulator: a simulated HLX module for scripts and their tests,
// served on a pseudo-terminal (a port like any other, through the real
// serial code) or, where there are none, inside the process.
class CPythonSimulator {
  public:
    struct SSetup {
        std::string model = "HLX-M18";
        uint32_t users = 0;
        std::vector<std::pair<uint32_t, uint32_t>> fingers;  // (person, finger), one a scan
        bool pace = false;
        uint32_t baud = 115200;
        std::string firmware = "3.01";
        bool pty = true;
    };

    // Throws CModuleError (usage) for a setup no module has, (port) when the
    // pseudo-terminal cannot be made.
    explicit CPythonSimulator(const SSetup& setup);
    ~CPythonSimulator();
    CPythonSimulator(const CPythonSimulator&) = delete;
    CPythonSimulator& operator=(const CPythonSimulator&) = delete;

    // The pseudo-terminal's device; empty inside the process.
    std::string Port() const;
    bool Pacing() const { return m_pacing; }
    // The module inside the process, or none on a pseudo-terminal.
    CSimModule* InProcess() { return m_inProcess.get(); }
    // Runs `action` on the module, out of the simulator thread's way.
    void With(const std::function<void(CSimModule&)>& action);
    void Stop();

  private:
    bool m_pacing;
    std::unique_ptr<CPtySimulator> m_pty;
    std::unique_ptr<CSimModule> m_inProcess;
};

}  // namespace sondrix
