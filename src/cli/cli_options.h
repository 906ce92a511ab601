#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "sim/sim_module.h"

namespace sondrix {

constexpr const char* kCliVersion = "2.20";

// Exit status of sondrix-cli, one per class of failure.
enum ECliStatus : int {
    kCliOk = 0,
    kCliModuleError = 1,  // the module answered with an error (its result text is shown)
    kCliUsage = 2,        // bad command line
    kCliPortError = 3,    // the serial port could not be opened
    kCliNoModule = 4,     // no module answered on the port (wrong rate, silent, unplugged)
    kCliFileError = 5,    // a file could not be read or written
    kCliTimeout = 6,      // the module stopped answering part-way through the work
    // Stopped by a signal, after a clean shutdown: 128 + its number (130 for
    // Ctrl-C, 143 for SIGTERM), as shells report it.
    kCliSignalBase = 128,
};

// What the command line asks for.
struct SCliOptions {
    std::string command;
    std::vector<std::string> arguments;  // the command's own words
    std::string output;                  // -o FILE
    std::string logOption = "all";       // log --option
    uint32_t logCount = 1;               // log --option nth N
    std::string port;                    // COMn, COMn=PATH or a device path
    uint32_t baud = 0;                   // 0: search every rate
    bool simulate = false;
    SSimConfig simConfig;
    bool json = false;
    bool quiet = false;
    std::string trace;
    bool traceRaw = false;  // --trace-raw: the raw line too
    bool attach = false;    // monitor --attach: listen without connecting
    bool installWiresharkPlugin = false;
    // Master credentials, for a module that has masters or a device password.
    std::string masterId;
    std::string masterPassword;
    uint32_t timeoutMs = 30000;  // longest wait for one answer or step
    bool help = false;
    bool version = false;
};

// Parses the whole command line (without the program name); false with a
// message when it is not sound.
bool ParseCliOptions(const std::vector<std::string>& args, SCliOptions& options,
                     std::string& error);
std::string CliHelp();

}  // namespace sondrix
