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
#include "platform/version.h"
#include "qt/qt_front_end.h"
#include "sim/sim_desk_ports.h"
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
    if (options.version) {
        std::printf("%s\n", VersionLine("sondrix").c_str());
        return 0;
    }
    CPortMap ports;
    for (const std::string& map : options.portMaps) {
        if (!ports.Assign(map, error)) {
            std::fprintf(stderr, "sondrix: --port %s\n", error.c_str());
            return 2;
        }
    }
    CMessageLoop loop(CMessageLoop::EClock::Real);
    // The simulated module lives on the program's own loop: its answers and
    // the Auto-On results it sends unasked come in like a real line's, and
    // the panel plays it without a thread in between.
    CSimModule module(simConfig);
    CSimDeskPorts simulated(loop, module, ports);
    ISerialDeviceFactory& devices = options.simulate ? static_cast<ISerialDeviceFactory&>(simulated)
                                                     : static_cast<ISerialDeviceFactory&>(ports);
    if (options.simulate) {
        std::fprintf(stderr, "sondrix: simulated module on %s\n", CSimDeskPorts::kSimulatedPort);
    }
    if (!options.headless) {
        return RunQtFrontEnd(argc, argv, loop, devices, ports,
                             options.simulate ? &simulated : nullptr);
    }
    if (options.script == "-") {
        return RunHeadless(loop, devices, std::cin, std::cout);
    }
    std::ifstream script(options.script);
    if (!script) {
        std::fprintf(stderr, "sondrix: cannot read the script %s\n", options.script.c_str());
        return 2;
    }
    return RunHeadless(loop, devices, script, std::cout);
}
