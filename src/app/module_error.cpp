#include "app/module_error.h"

#include <algorithm>

namespace sondrix {

const std::array<SModuleStatusRow, 6> kModuleStatusTable = {{
    {1, EFailure::Module, "the module answered with an error (its text is shown)"},
    {2, EFailure::Usage,
     "bad command line or argument, or one the connected module cannot take (found before "
     "anything that depends on it is sent)"},
    {3, EFailure::Port, "the serial port could not be opened, or the line went away"},
    {4, EFailure::NoModule, "no module answered (wrong port or rate, module silent)"},
    {5, EFailure::File, "a file could not be read or written"},
    {6, EFailure::Timeout, "the module answered, then stopped answering part-way through"},
}};

int ExitStatusOf(EFailure failure) {
    // A cancelled piece of work is the module's refusal to go on, for the exit status.
    const EFailure kind = failure == EFailure::Cancelled ? EFailure::Module : failure;
    const auto* row = std::find_if(kModuleStatusTable.begin(), kModuleStatusTable.end(),
                                   [kind](const SModuleStatusRow& r) { return r.failure == kind; });
    return row->status;
}

CModuleError CModuleError::Interrupted(int signal) {
    CModuleError error(EFailure::Cancelled, "interrupted by signal " + std::to_string(signal));
    error.m_signal = signal;
    return error;
}

CModuleError CModuleError::Saying(const std::string& more) const {
    CModuleError error(m_failure, what() + more, m_result);
    error.m_signal = m_signal;
    return error;
}

int CModuleError::ExitStatus() const {
    return m_signal > 0 ? kStatusSignalBase + m_signal : ExitStatusOf(m_failure);
}

}  // namespace sondrix
