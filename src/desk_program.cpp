#include "desk_program.h"

#include <cstdio>
#include <fstream>
#include <iostream>

#include "app/app_options.h"
#include "app/headless_driver.h"
#include "platform/message_loop.h"
#include "platform/native_file.h"
#include "platform/port_map.h"
#include "platform/version.h"
#include "sim/sim_desk_ports.h"
#include "sim/sim_options.h"

namespace sondrix {

bool ParseDeskOptions(std::vector<std::string> args, SSimConfig& simConfig, SAppOptions& options,
                      std::string& error, std::vector<std::string>* others) {
    simConfig = {};
    options = {};
    const size_t count = args.size();
    // ParseSimOptions takes its own options out of `args`.
    if (!ParseSimOptions(args, simConfig, error) ||
        !ParseAppOptions(args, options, error, others)) {
        return false;
    }
    if (args.size() != count && !options.simulate) {
        error = "the simulated module's options work with --simulate only";
        return false;
    }
    return true;
}

int RunDeskProgram(const SAppOptions& options, const SSimConfig& simConfig,
                   const DeskWindow& window, const char* windowOptionsHelp) {
    if (options.help) {
        std::printf(
            "Usage: sondrix [options]\n\n%s%sOptions of the simulated module (with --simulate):\n%s"
            "  --help             show this text\n",
            AppOptionsHelp().c_str(), windowOptionsHelp, SimOptionsHelp().c_str());
        return 0;
    }
    if (options.version) {
        std::printf("%s\n", VersionLine("sondrix").c_str());
        return 0;
    }
    CPortMap ports;
    std::string error;
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
    simulated.SetPacing(!options.simFast);
    ISerialDeviceFactory& devices = options.simulate ? static_cast<ISerialDeviceFactory&>(simulated)
                                                     : static_cast<ISerialDeviceFactory&>(ports);
    if (options.simulate) {
        std::fprintf(stderr, "sondrix: simulated module on %s\n", CSimDeskPorts::kSimulatedPort);
    }
    if (!options.headless && window) {
        return window(loop, devices, ports, options.simulate ? &simulated : nullptr,
                      options.resetSettings);
    }
    if (options.script == "-") {
        return RunHeadless(loop, devices, std::cin, std::cout);
    }
    std::ifstream script(PathFromUtf8(options.script));
    if (!script) {
        std::fprintf(stderr, "sondrix: cannot read the script %s\n", options.script.c_str());
        return 2;
    }
    return RunHeadless(loop, devices, script, std::cout);
}

}  // namespace sondrix
