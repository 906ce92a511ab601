#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "cli/cli_status.h"
#include "sim/sim_module.h"

namespace sondrix {

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
    std::string masterPasswordFile;
    // A user's password (enroll, verify --password): wanted, and where it comes from.
    bool password = false;
    std::string passwordValue;  // --password=P
    std::string passwordFile;
    uint32_t fingerCount = 1;    // enroll --finger N: fingers to enrol
    bool all = false;            // delete --all
    int answer = -1;             // --yes 1, --no 0: the answer to the questions; -1 ask
    uint32_t timeoutMs = 30000;  // longest wait for one answer or step
    bool stayMaster = false;     // --stay-master: leave the module in master mode
    // The options given, as named on the command line ("-o", "--all"), for the
    // checks of what goes with what.
    std::vector<std::string> given;
    bool help = false;
    bool version = false;
};

// Parses the whole command line (without the program name); false with a
// message when it is not sound: an unknown option or command, a value that
// is missing or out of range, two options that contradict each other, or an
// option the command does not take.
bool ParseCliOptions(const std::vector<std::string>& args, SCliOptions& options,
                     std::string& error);
std::string CliHelp();

}  // namespace sondrix
