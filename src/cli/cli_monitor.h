#pragma once

#include <string>

#include "app/module.h"
#include "app/packet_tracer.h"
#include "cli/cli_options.h"
#include "cli/cli_trace.h"

namespace sondrix {

// The rate monitor --attach listens at without --baud.
inline constexpr uint32_t kAttachBaud = 115200;

// sondrix-cli monitor: connects (or, with --attach, only opens the port and
// listens, never writing to it) and lets every packet on the line pass to
// the observer until interrupted. `trace` (may be null) gets its raw line
// written as the run goes.
void RunMonitor(CModule& module, const SCliOptions& options, const std::string& portName,
                CCliTrace* trace);

// The line monitor prints for a packet: its time, then its summary.
std::string MonitorLine(const STracedPacket& packet, bool json);

}  // namespace sondrix
