#include "cli/cli_status.h"

namespace sondrix {

static_assert(kCliModuleError == 1 && kCliTimeout == 6, "the exit statuses are a contract");

std::string CliStatusHelp() {
    std::string help = "  0  success\n";
    for (const SModuleStatusRow& row : kModuleStatusTable) {
        help += "  " + std::to_string(row.status) + "  " + row.meaning + "\n";
    }
    return help +
           "  130, 143  stopped by Ctrl-C (SIGINT) or SIGTERM; the port was closed, master mode\n"
           "            left and the trace completed first\n";
}

}  // namespace sondrix
