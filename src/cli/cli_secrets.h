#pragma once

#include "cli/cli_options.h"

namespace sondrix {

// Environment variables a script can hand the passwords in, where `ps`
// does not show them.
inline constexpr const char* kMasterPasswordVariable = "SONDRIX_MASTER_PASSWORD";
inline constexpr const char* kPasswordVariable = "SONDRIX_PASSWORD";

// Fills in the master password and the user's password the command needs,
// from (in this order) the file named, the command line, the environment
// variable, or a prompt without echo when standard input is a terminal.
// Throws SCliFailure (usage, or a file that cannot be read) before anything
// is opened.
void TakeSecrets(SCliOptions& options);

}  // namespace sondrix
