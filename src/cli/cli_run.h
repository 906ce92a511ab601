#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace sondrix {

// The whole of sondrix-cli: parses the command line, connects to the module
// (or the simulated one), carries out the command and prints its results to
// `out` and its progress and failures to `err` (a terminal when
// `errIsTerminal`). Returns the exit status.
int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
           bool errIsTerminal = false);

}  // namespace sondrix
