#pragma once

#include <iosfwd>
#include <string>

#include "cli/cli_options.h"
#include "cli/cli_session.h"
#include "cli/cli_trace.h"

namespace sondrix {

// sondrix-cli monitor: connects (or, with --attach, only opens the port and
// listens) and prints every packet on the line as it passes, one line each,
// as the Wireshark dissector's Info column shows it, until interrupted.
// `trace` (may be null) gets its raw line written as the run goes.
[[noreturn]] void RunMonitor(CCliSession& session, const SCliOptions& options,
                             const std::string& portName, std::ostream& out, CCliTrace* trace);

// The line monitor prints for a packet: its time, then its summary.
std::string MonitorLine(const STracedPacket& packet, bool json);

}  // namespace sondrix
