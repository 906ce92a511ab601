#include "sim/pty_simulator.h"

// Systems without pseudo-terminals (Windows) have no line to put the
// simulated module behind: Start says so. sondrix-cli then keeps the module
// inside the process, as the window does.

namespace sondrix {

CPtySimulator::CPtySimulator(SSimConfig config) : m_module(config) {}

CPtySimulator::~CPtySimulator() = default;

bool CPtySimulator::Available() {
    return false;
}

bool CPtySimulator::Start(std::string& error) {
    error =
        "this system has no pseudo-terminals; connect a module (or hlxsim on a Linux machine) to "
        "a serial port and name it with --port";
    return false;
}

void CPtySimulator::Stop() {}

}  // namespace sondrix
