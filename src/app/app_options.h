#pragma once

#include <string>
#include <vector>

namespace sondrix {

// What the sondrix command line asks for.
struct SAppOptions {
    bool simulate = false;
    bool simFast = false;  // the simulated module answers at once, not at the line's pace
    bool headless = false;
    std::string script;                 // headless: script file, "-" for stdin
    std::vector<std::string> portMaps;  // "COMn=PATH"
    bool help = false;
    bool version = false;
    bool resetSettings = false;  // forget what the window kept from earlier runs
};

// Parses the options that are not the simulated module's own; false with a
// message on a bad option, or on one that would be ignored where it stands
// (--script without --headless, --sim-fast without --simulate). With
// `others`, arguments it does not know that have a single dash go there
// instead (the window's toolkit may know them); one with two dashes is
// always refused.
bool ParseAppOptions(const std::vector<std::string>& args, SAppOptions& options, std::string& error,
                     std::vector<std::string>* others = nullptr);
std::string AppOptionsHelp();

}  // namespace sondrix
