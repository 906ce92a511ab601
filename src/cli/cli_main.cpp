// sondrix-cli: the command-line front end for HLX fingerprint modules.
#include <iostream>
#include <string>
#include <vector>

#include "cli/cli_run.h"
#include "platform/terminal.h"

int main(int argc, char** argv) {
    return sondrix::RunCli(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr,
                           sondrix::StderrIsTerminal());
}
