#include "platform/pseudo_terminal.h"

// Windows has no pseudo-terminals, so there is no line to put a simulated
// module behind: Open says what to do instead. The programs then keep the
// module inside the process, as the window does.

namespace sondrix {

struct CPseudoTerminal::SHandles {};

CPseudoTerminal::CPseudoTerminal() : m_handles(std::make_unique<SHandles>()) {}

CPseudoTerminal::~CPseudoTerminal() = default;

bool CPseudoTerminal::Available() {
    return false;
}

bool CPseudoTerminal::Open(uint32_t, std::string& error) {
    error =
        "this system has no pseudo-terminals; connect a module (or hlxsim on a Linux machine) to "
        "a serial port and name it with --port";
    return false;
}

bool CPseudoTerminal::Adopt(int, uint32_t baudRate, std::string& error) {
    return Open(baudRate, error);
}

void CPseudoTerminal::Close() {}

long CPseudoTerminal::Read(uint8_t*, size_t) {
    return -1;
}

bool CPseudoTerminal::Write(const uint8_t*, size_t) {
    return false;
}

bool CPseudoTerminal::Pause(int64_t) {
    return false;
}

void CPseudoTerminal::Wake() {}

uint32_t CPseudoTerminal::HostLineSpeed() const {
    return 0;
}

}  // namespace sondrix
