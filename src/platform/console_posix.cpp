#include "platform/console.h"

namespace sondrix {

std::vector<std::string> ProgramArguments(int argc, char** argv) {
    return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
}

void UseUtf8Console() {
    // Terminals take the program's UTF-8 as it is.
}

void ReachParentConsole() {
    // A program started from a terminal has it already.
}

}  // namespace sondrix
