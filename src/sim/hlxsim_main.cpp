// hlxsim: a simulated HLX module on a pseudo-terminal. Point any serial tool
// (or sondrix --port COM1=PATH) at the printed device path.
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <string>
#include <vector>

#include "platform/interrupt_watch.h"
#include "platform/version.h"
#include "sim/pty_simulator.h"
#include "sim/sim_options.h"

int main(int argc, char** argv) {
    using namespace sondrix;
    std::vector<std::string> args(argv + 1, argv + argc);
    bool pacing = false;
    for (auto it = args.begin(); it != args.end();) {
        if (*it == "--help" || *it == "-h") {
            std::printf(
                "Usage: hlxsim [options]\n"
                "Runs a simulated HLX fingerprint module on a pseudo-terminal and prints\n"
                "its device path. Stop it with Ctrl-C.\n\n%s"
                "  --pace             send answers at the pace of the line speed\n"
                "  --version          print the version and stop\n",
                SimOptionsHelp().c_str());
            return 0;
        }
        if (*it == "--version") {
            std::printf("%s\n", VersionLine("hlxsim").c_str());
            return 0;
        }
        if (*it == "--pace") {
            pacing = true;
            it = args.erase(it);
        } else {
            ++it;
        }
    }
    SSimConfig config;
    std::string error;
    if (!ParseSimOptions(args, config, error) || !args.empty()) {
        std::fprintf(stderr, "hlxsim: %s\n",
                     error.empty() ? ("unknown option " + args.front()).c_str() : error.c_str());
        return 2;
    }
    // Taken over before the module's thread starts, so that a stop request
    // ends the program through its normal path and the pty is closed.
    std::mutex mutex;
    std::condition_variable stopped;
    bool stopRequested = false;
    CInterruptWatch watch([&](int) {
        std::lock_guard lock(mutex);
        stopRequested = true;
        stopped.notify_all();
    });

    CPtySimulator simulator(config);
    simulator.SetPacing(pacing);
    if (!simulator.Start(error)) {
        std::fprintf(stderr, "hlxsim: %s\n", error.c_str());
        return 1;
    }
    const SModelInfo* model = FindModelByCode(config.modelCode);
    std::printf("%s\n", simulator.SlavePath().c_str());
    std::fprintf(stderr, "hlxsim: %s at %u bps, firmware %x.%02x, %u users on %s\n",
                 model ? std::string(model->name).c_str() : "module", config.baudRate,
                 config.firmwareVersion >> 8, config.firmwareVersion & 0xFF, config.userCount,
                 simulator.SlavePath().c_str());
    std::fflush(stdout);
    std::unique_lock lock(mutex);
    stopped.wait(lock, [&] { return stopRequested; });
    simulator.Stop();
    return 0;
}
