#pragma once

#include <array>
#include <string>

namespace sondrix {

// Exit status of sondrix-cli, one per class of outcome.
enum ECliStatus : int {
    kCliOk = 0,
    kCliModuleError = 1,  // the module answered with an error (its result text is shown)
    kCliUsage = 2,        // bad command line
    kCliPortError = 3,    // the serial port could not be opened, or the line went away
    kCliNoModule = 4,     // no module answered on the port (wrong rate, silent, unplugged)
    kCliFileError = 5,    // a file could not be read or written
    kCliTimeout = 6,      // the module stopped answering part-way through the work
    // Stopped by a signal, after a clean shutdown: 128 + its number (130 for
    // Ctrl-C, 143 for SIGTERM), as shells report it.
    kCliSignalBase = 128,
};

// A failure that ends the command, with its exit status and message.
struct SCliFailure {
    int status;
    std::string message;
};

// What happened, and the exit status it gives: the one table --help, the
// manual page and every failure of a command go by. A box the program core
// shows whose text begins with one of `boxTexts` (string ids, 0 unused) ends
// the command with that row's status; every other stop box is the module's
// error.
struct SCliStatusRow {
    int status;
    const char* meaning;
    std::array<int, 2> boxTexts;
};

extern const std::array<SCliStatusRow, 7> kCliStatusTable;

// The status a stop box with this text ends a command with.
int CliStatusOfBox(const std::string& text);
// The table as --help prints it: "  N  meaning" lines.
std::string CliStatusHelp();

}  // namespace sondrix
