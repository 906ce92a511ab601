// sondrix: the desktop tool for HLX fingerprint modules.
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "app/app_options.h"
#include "desk_program.h"
#include "qt/qt_front_end.h"
#include "sim/sim_options.h"

namespace {

// Reads the command line; false with the message on a bad option. With
// `others`, arguments that are not the program's own are collected there.
bool ParseOptions(int argc, char** argv, sondrix::SSimConfig& simConfig,
                  sondrix::SAppOptions& options, std::vector<std::string>* others) {
    std::string error;
    if (!sondrix::ParseDeskOptions({argv + 1, argv + argc}, simConfig, options, error, others)) {
        std::fprintf(stderr, "sondrix: %s\n", error.c_str());
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
    DeskWindow window;
    if (qt) {
        window = [&qt](CMessageLoop& loop, ISerialDeviceFactory& devices, const CPortMap& ports,
                       CSimDeskPorts* simulated, bool resetSettings) {
            return qt->Run(loop, devices, ports, simulated, resetSettings);
        };
    }
    return RunDeskProgram(options, simConfig, window,
                          "The window also takes Qt's own options: -platform NAME, -style NAME,\n"
                          "-geometry WxH+X+Y and the rest.\n");
}
