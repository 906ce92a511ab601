#pragma once

#include "cli/cli_options.h"
#include "cli/cli_report.h"
#include "cli/cli_session.h"

namespace sondrix {

// Checks what a command needs before the module is touched (arguments,
// files to read, where files go); throws SCliFailure when it is not sound.
void CheckCliCommand(const SCliOptions& options);

// Carries out the command on a connected session and fills the report;
// throws SCliFailure when it fails.
void RunCliCommand(CCliSession& session, const SCliOptions& options, CCliReport& report);

}  // namespace sondrix
