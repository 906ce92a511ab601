// sondrix: the desktop tool for HLX fingerprint modules.
#include <cstdio>
#include <fstream>
#include <iostream>
#include <memory>
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

namespace {

// Reads the command line; false with the message on a bad option. With
// `others`, arguments that are not the program's own are collected there.
bool ParseOptions(int argc, char** argv, sondrix::SSimConfig& simConfig,
                  sondrix::SAppOptions& options, std::vector<std::string>* others) {
    std::vector<std::string> args(argv + 1, argv + argc);
    std::string error;
    simConfig = {};
    options = {};
    const size_t count = args.size();
    // ParseSimOptions takes its own options out of `args`.
    if (!ParseSimOptions(args, simConfig, error) ||
        !ParseAppOptions(args, options, error, others)) {
        std::fprintf(stderr, "sondrix: %s\n", error.c_str());
        return false;
    }
    if (args.size() != count && !options.simulate) {
        std::fprintf(stderr, "sondrix: the simulated module's options work with --simulate only\n");
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace sondrix;
    SSimConfig simConfig;
    SAppOptions options;
    std::vector<std::string> others;
    if (!ParseOptions(argc, argv, simConfig, options, &others)) {
        return 2;
    }
    // The window's toolkit takes its own options (-platform, -style,
    // -geometry, ...) out of the command line before the rest is read
    // strictly. Without a window (--headless, or only --help or --version)
    // it is never started, so no display is needed.
    std::unique_ptr<CQtApplication> qt;
    if (!options.headless && (!others.empty() || (!options.help && !options.version))) {
        std::string error;
        qt = CQtApplication::Create(argc, argv, error);
        if (!qt) {
            std::fprintf(stderr, "sondrix: %s\n", error.c_str());
            return 2;
        }
    }
    if (!ParseOptions(argc, argv, simConfig, options, nullptr)) {
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
    if (qt) {
        return qt->Run(loop, devices, ports, options.simulate ? &simulated : nullptr,
                       options.resetSettings);
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
