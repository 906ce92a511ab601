#include "sim/pty_simulator.h"

// Systems without pseudo-terminals (Windows) have no line to put the
// simulated module behind: Start says so, and the person connects a module,
// or hlxsim running elsewhere, to a real port instead.

namespace sondrix {

CPtySimulator::CPtySimulator(SSimConfig config) : m_module(config) {}

CPtySimulator::~CPtySimulator() = default;

bool CPtySimulator::Start(std::string& error) {
    error =
        "this system has no pseudo-terminals; connect a module (or hlxsim on a Linux machine) to "
        "a serial port and name it with --port";
    return false;
}

void CPtySimulator::Stop() {}

}  // namespace sondrix
