#include "app/app_options.h"

namespace sondrix {

bool ParseAppOptions(const std::vector<std::string>& args, SAppOptions& options, std::string& error,
                     std::vector<std::string>* others) {
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool hasValue = i + 1 < args.size();
        if (arg == "--help" || arg == "-h") {
            options.help = true;
        } else if (arg == "--version") {
            options.version = true;
        } else if (arg == "--simulate") {
            options.simulate = true;
        } else if (arg == "--sim-fast") {
            options.simFast = true;
        } else if (arg == "--headless") {
            options.headless = true;
        } else if (arg == "--script" || arg == "--port") {
            if (!hasValue) {
                error = arg + (arg == "--port" ? " needs a value: COMn=PATH"
                                               : " needs a file name (- for standard input)");
                return false;
            }
            if (arg == "--port") {
                options.portMaps.push_back(args[++i]);
            } else {
                options.script = args[++i];
            }
        } else if (arg == "--reset-settings") {
            options.resetSettings = true;
        } else if (others != nullptr && arg.rfind("--", 0) != 0) {
            // Perhaps the window toolkit's own: its options have one dash.
            others->push_back(arg);
        } else {
            error = "unknown option " + arg + " (see --help)";
            return false;
        }
    }
    // Options that would be ignored where they stand are mistakes.
    if (options.headless && options.script.empty()) {
        error = "--headless needs --script FILE (or - for standard input)";
        return false;
    }
    if (!options.headless && !options.script.empty()) {
        error = "--script works with --headless only";
        return false;
    }
    if (options.simFast && !options.simulate) {
        error = "--sim-fast works with --simulate only";
        return false;
    }
    return true;
}

std::string AppOptionsHelp() {
    return "  --simulate         put the built-in simulated module behind COM1 and show the\n"
           "                     panel that plays it (finger on the sensor, faults, model);\n"
           "                     it answers at the pace of the line speed, as a module does\n"
           "  --sim-fast         with --simulate: the module answers at once, not at the\n"
           "                     pace of the line (a capture takes no time)\n"
           "  --port COMn=PATH   map port COMn (1..8) to a device, e.g. --port COM2=/dev/ttyUSB0\n"
           "                     (by default COMn is /dev/ttyS<n-1>); PATH auto takes the\n"
           "                     first USB serial adapter found\n"
           "  --headless --script FILE\n"
           "                     run without a window, acting as the script says\n"
           "                     (FILE - reads the script from standard input)\n"
           "  --reset-settings   forget the window's size, port, folders and other choices\n"
           "                     kept from earlier runs\n"
           "  --version          print the version and stop\n";
}

}  // namespace sondrix
