#pragma once

#include <string>

#include "app/module_error.h"

namespace sondrix {

// Exit status of sondrix-cli, one per class of outcome: the typed module
// interface's table (app/module_error.h), which --help prints.
enum ECliStatus : int {
    kCliOk = kStatusOk,
    kCliModuleError = 1,  // the module answered with an error (its result text is shown)
    kCliUsage = 2,        // bad command line, or an argument this module cannot take
    kCliPortError = 3,    // the serial port could not be opened, or the line went away
    kCliNoModule = 4,     // no module answered on the port (wrong rate, silent, unplugged)
    kCliFileError = 5,    // a file could not be read or written
    kCliTimeout = 6,      // the module stopped answering part-way through the work
    kCliSignalBase = kStatusSignalBase,
};

// A failure that ends the command, with its exit status and message.
struct SCliFailure {
    int status;
    std::string message;
};

// The table as --help prints it: "  N  meaning" lines.
std::string CliStatusHelp();

}  // namespace sondrix
