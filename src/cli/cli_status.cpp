#include "cli/cli_status.h"

#include <algorithm>

#include "ui/strings.h"
#include "ui/strings_database.h"
#include "ui/strings_extra.h"

namespace sondrix {

const std::array<SCliStatusRow, 7> kCliStatusTable = {{
    {kCliOk, "success", {0, 0}},
    {kCliModuleError, "the module answered with an error (its text is shown)", {0, 0}},
    {kCliUsage, "bad command line or argument (found before the port is opened)", {0, 0}},
    {kCliPortError,
     "the serial port could not be opened, or the line went away",
     {IDS_CANNOT_OPEN_PORT, IDS_PORT_LOST}},
    {kCliNoModule,
     "no module answered (wrong port or rate, module silent)",
     {IDS_CONNECTION_FAILED, 0}},
    {kCliFileError,
     "a file could not be read or written",
     {IDS_DB_RECORD_WRITE_FAILED, IDS_EXTRA_LOG_NOT_WRITTEN}},
    {kCliTimeout, "the module answered, then stopped answering part-way through", {0, 0}},
}};

int CliStatusOfBox(const std::string& text) {
    for (const SCliStatusRow& row : kCliStatusTable) {
        const bool matches = std::any_of(row.boxTexts.begin(), row.boxTexts.end(), [&](int id) {
            return id != 0 && text.rfind(LoadString(id), 0) == 0;
        });
        if (matches) {
            return row.status;
        }
    }
    return kCliModuleError;
}

std::string CliStatusHelp() {
    std::string help;
    for (const SCliStatusRow& row : kCliStatusTable) {
        help += "  " + std::to_string(row.status) + "  " + row.meaning + "\n";
    }
    return help +
           "  130, 143  stopped by Ctrl-C (SIGINT) or SIGTERM; the port was closed and the trace\n"
           "            completed first\n";
}

}  // namespace sondrix
