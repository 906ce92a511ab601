#pragma once

#include <array>
#include <cstdint>
#include <stdexcept>
#include <string>

#include "device/module_outcome.h"

namespace sondrix {

// The exit status of each kind of failure: the one table the command line's
// exit codes, its --help and its manual page go by, and the number a program
// may hand on from a module error.
struct SModuleStatusRow {
    int status;
    EFailure failure;
    const char* meaning;
};

inline constexpr int kStatusOk = 0;
// Stopped by a signal, after a clean shutdown: 128 + its number (130 for
// Ctrl-C, 143 for SIGTERM), as shells report it.
inline constexpr int kStatusSignalBase = 128;

extern const std::array<SModuleStatusRow, 6> kModuleStatusTable;

// The exit status of a failure of this kind.
int ExitStatusOf(EFailure failure);

// What a call of the typed module interface throws when the work failed:
// the kind of failure, the module's result code where it answered one, and
// a message for people that says what went wrong and where.
class CModuleError : public std::runtime_error {
  public:
    CModuleError(EFailure failure, const std::string& message, uint32_t result = 0)
        : std::runtime_error(message), m_failure(failure), m_result(result) {}
    // Stopped by a signal (`signal` > 0) rather than by the module.
    static CModuleError Interrupted(int signal);
    // The same failure with `more` said after its message.
    CModuleError Saying(const std::string& more) const;

    EFailure Failure() const { return m_failure; }
    uint32_t Result() const { return m_result; }
    int Signal() const { return m_signal; }
    int ExitStatus() const;

  private:
    EFailure m_failure;
    uint32_t m_result;
    int m_signal = 0;
};

}  // namespace sondrix
