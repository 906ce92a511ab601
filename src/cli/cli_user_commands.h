#pragma once

#include <string>

#include "cli/cli_options.h"
#include "cli/cli_report.h"
#include "cli/cli_session.h"

namespace sondrix {

// The commands of the person at the module: enroll, verify, identify,
// delete, master, status and cancel, each driving the pages the window
// uses. One row per command: what it checks before the module is touched,
// and what it does once connected.
struct SCliUserCommand {
    const char* name;
    void (*check)(const SCliOptions& options);
    void (*run)(CCliSession& session, const SCliOptions& options, CCliReport& report);
};

// The row of `name`, or nothing when it is not one of these commands.
const SCliUserCommand* FindCliUserCommand(const std::string& name);

}  // namespace sondrix
