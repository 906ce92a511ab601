#include "app/headless_driver.h"

#include <ostream>
#include <string>
#include <vector>

#include "app/headless_log.h"
#include "app/headless_runner.h"
#include "app/headless_script.h"
#include "app/headless_ui_host.h"
#include "app/sondrix_dlg.h"

namespace sondrix {

int RunHeadless(CMessageLoop& loop, ISerialDeviceFactory& devices, std::istream& script,
                std::ostream& out) {
    CHeadlessLog log(loop, out);
    CHeadlessUiHost ui(log);
    CSondrixDlg dialog(loop, devices, ui);
    CHeadlessRunner::SWindow window{&dialog, CSondrixDlg::kTabs, CSondrixDlg::kMessageLine, {}};
    for (int tab = 0; tab < CSondrixDlg::kTabCount; ++tab) {
        window.pages.push_back(&dialog.Page(tab));
    }
    CHeadlessRunner runner(loop, ui, log, std::move(window));

    // The whole script is checked before its first step, so that a typing
    // error near the end does not strike half-way through a run on a module.
    std::vector<SScriptCommand> commands;
    const std::vector<std::string> errors = ParseScript(script, runner.PageNames(), commands);
    if (!errors.empty()) {
        for (const std::string& error : errors) {
            out << error << '\n';
        }
        out << "script not run: " << errors.size() << " malformed lines" << std::endl;
        return 2;
    }
    dialog.OnInitDialog();
    return runner.Run(commands);
}

}  // namespace sondrix
