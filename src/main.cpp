// sondrix: the desktop tool for HLX fingerprint modules.
#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "app/app_options.h"
#include "app/headless_driver.h"
#include "platform/message_loop.h"
#include "platform/port_map.h"
#include "qt/qt_front_end.h"
#include "sim/pty_simulator.h"
#include "sim/sim_options.h"

int main(int argc, char** argv) {
    using namespace sondrix;
    std::vector<std::string> args(argv + 1, argv + argc);
    std::string error;
    SSimConfig simConfig;
    SAppOptions options;
    if (!ParseSimOptions(args, simConfig, error) || !ParseAppOptions(args, options, error)) {
        std::fprintf(stderr, "sondrix: %s\n", error.c_str());
        return 2;
    }
    if (options.help) {
        std::printf(
            "Usage: sondrix [options]\n\n%sOptions of the simulated module (with --simulate):\n%s"
            "  --help             show this text\n",
            AppOptionsHelp().c_str(), SimOptionsHelp().c_str());
        return 0;
    }
    CPortMap ports;
    for (const std::string& map : options.portMaps) {
        if (!ports.Assign(map, error)) {
            std::fprintf(stderr, "sondrix: --port %s\n", error.c_str());
            return 2;
        }
    }
    CPtySimulator simulator(simConfig);
    if (options.simulate) {
        if (!simulator.Start(error)) {
            std::fprintf(stderr, "sondrix: cannot start the simulated module: %s\n", error.c_str());
            return 1;
        }
        ports.Assign(1, simulator.SlavePath());
        std::fprintf(stderr, "sondrix: simulated module on %s (COM1)\n",
                     simulator.SlavePath().c_str());
    }
    CMessageLoop loop(CMessageLoop::EClock::Real);
    if (!options.headless) {
        return RunQtFrontEnd(argc, argv, loop, ports);
    }
    if (options.script == "-") {
        return RunHeadless(loop, ports, std::cin, std::cout);
    }
    std::ifstream script(options.script);
    if (!script) {
        std::fprintf(stderr, "sondrix: cannot read the script %s\n", options.script.c_str());
        return 2;
    }
    return RunHeadless(loop, ports, script, std::cout);
}
