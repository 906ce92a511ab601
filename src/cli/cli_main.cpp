// sondrix-cli: the command-line front end for HLX fingerprint modules.
#include <iostream>

#include "cli/cli_run.h"
#include "platform/console.h"
#include "platform/terminal.h"

int main(int argc, char** argv) {
    sondrix::UseUtf8Console();
    return sondrix::RunCli(sondrix::ProgramArguments(argc, argv), std::cout, std::cerr,
                           sondrix::StderrIsTerminal());
}
