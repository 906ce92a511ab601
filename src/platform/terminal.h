#pragma once

#include <string>

namespace sondrix {

// The controlling terminal of a command-line program, as far as it needs
// one: whether its standard streams are terminals, and reading a line from
// standard input, with or without echo (for secrets).
bool StdinIsTerminal();
bool StderrIsTerminal();
// Writes `prompt` to standard error and reads one line from standard input
// (without its line end); with `hidden` the terminal does not echo it.
// False at the end of input.
bool ReadTerminalLine(const std::string& prompt, bool hidden, std::string& line);

}  // namespace sondrix
