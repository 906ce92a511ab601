// sondrix: the desktop tool for HLX fingerprint modules.
#include <signal.h>

#include <cstdio>
#include <string>
#include <vector>

#include "platform/port_map.h"
#include "sim/pty_simulator.h"
#include "sim/sim_options.h"

namespace {

void PrintHelp() {
    std::printf(
        "Usage: sondrix [options]\n\n"
        "  --simulate         start the built-in simulated module on a pseudo-terminal\n"
        "                     and map COM1 to it\n"
        "  --port COMn=PATH   map port COMn (1..8) to a device, e.g. --port COM2=/dev/ttyUSB0\n"
        "                     (by default COMn is /dev/ttyS<n-1>)\n"
        "Options of the simulated module (with --simulate):\n%s"
        "  --help             show this text\n",
        sondrix::SimOptionsHelp().c_str());
}

}  // namespace

int main(int argc, char** argv) {
    using namespace sondrix;
    std::vector<std::string> args(argv + 1, argv + argc);
    CPortMap ports;
    bool simulate = false;
    std::string error;
    SSimConfig simConfig;
    if (!ParseSimOptions(args, simConfig, error)) {
        std::fprintf(stderr, "sondrix: %s\n", error.c_str());
        return 2;
    }
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--help" || args[i] == "-h") {
            PrintHelp();
            return 0;
        }
        if (args[i] == "--simulate") {
            simulate = true;
        } else if (args[i] == "--port" && i + 1 < args.size()) {
            if (!ports.Assign(args[++i], error)) {
                std::fprintf(stderr, "sondrix: --port %s\n", error.c_str());
                return 2;
            }
        } else {
            std::fprintf(stderr, "sondrix: unknown option %s (see --help)\n", args[i].c_str());
            return 2;
        }
    }

    sigset_t stop;
    sigemptyset(&stop);
    sigaddset(&stop, SIGINT);
    sigaddset(&stop, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stop, nullptr);

    CPtySimulator simulator(simConfig);
    if (simulate) {
        if (!simulator.Start(error)) {
            std::fprintf(stderr, "sondrix: cannot start the simulated module: %s\n", error.c_str());
            return 1;
        }
        ports.Assign(1, simulator.SlavePath());
    }
    for (int n = 1; n <= CPortMap::kPortCount; ++n) {
        const std::string name = "COM" + std::to_string(n);
        std::printf("%s -> %s\n", name.c_str(), ports.DevicePath(name).c_str());
    }
    if (!simulate) {
        return 0;
    }
    std::printf("Simulated module running on %s; press Ctrl-C to stop.\n",
                simulator.SlavePath().c_str());
    std::fflush(stdout);
    int signal = 0;
    sigwait(&stop, &signal);
    simulator.Stop();
    return 0;
}
