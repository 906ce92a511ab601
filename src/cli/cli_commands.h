#pragma once

#include <string>

#include "app/module.h"
#include "cli/cli_options.h"
#include "cli/cli_report.h"

namespace sondrix {

// A command of the command line: what it checks before the port is opened
// (throwing SCliFailure), and what it does with the connected module
// (throwing SCliFailure or CModuleError), filling the report.
struct SCliCommand {
    const char* name;
    void (*check)(const SCliOptions& options);
    void (*run)(CModule& module, const SCliOptions& options, CCliReport& report);
};

// The command of that name, or nothing: those of the module's data here,
// those of the person at the module in cli_user_commands.
const SCliCommand* FindCliCommand(const std::string& name);
const SCliCommand* FindCliUserCommand(const std::string& name);

// Shared checks of the commands' arguments.
[[noreturn]] void CliFail(int status, const std::string& message);
void NeedArguments(const SCliOptions& options, size_t low, size_t high, const char* usage);

}  // namespace sondrix
