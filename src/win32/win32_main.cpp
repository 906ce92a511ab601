// sondrix.exe: the desktop tool for HLX fingerprint modules, as a Windows
// window.
#include <cstdio>
#include <string>
#include <vector>

#include "app/app_options.h"
#include "desk_program.h"
#include "platform/console.h"
#include "sim/sim_options.h"
#include "win32/win32_front_end.h"

int main(int argc, char** argv) {
    using namespace sondrix;
    // A window program has no console of its own: what it prints (--help,
    // --version, --headless) goes to the console it was started from.
    ReachParentConsole();
    UseUtf8Console();
    SSimConfig simConfig;
    SAppOptions options;
    std::string error;
    if (!ParseDeskOptions(ProgramArguments(argc, argv), simConfig, options, error)) {
        std::fprintf(stderr, "sondrix: %s\n", error.c_str());
        return 2;
    }
    return RunDeskProgram(options, simConfig, RunWin32Window, "");
}
